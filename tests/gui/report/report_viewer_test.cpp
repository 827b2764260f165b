// The report viewer as a user meets it: the report it opens on, a change
// typed in and kept under a name of the user's, the report sent to the
// host, its print preview, and printing to a PDF through the desktop's
// print dialog.
#include "report/wx/report_viewer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/prntbase.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/gtk_print_dialog.h"
#include "gui/user_input.h"
#include "platform/dynamic_library.h"
#include "report/report_api.h"
#include "report/wx/viewer_options_dialog.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::DialogScript;

class ReportViewerTest : public ::testing::Test {
 protected:
  ReportViewerTest() {
    testing::FailOnWxAssertions();
    data_.Write("rview.ini", "degsym=0\n");
    data_.Write("tobrrprt.tmp",
                "Traverse  closure\n\nAngle 12\xB0"
                "30'\n");
  }
  ReportViewer* Open() {
    viewer_ = new ReportViewer(nullptr, {data_.Path(), save_.Path(), data_ / "tobrrprt.tmp"});
    viewer_->SetFilePicker([this](const std::string& title, const std::filesystem::path& suggested, bool save) {
      picked_.push_back(title + " " + suggested.string() + (save ? " (save)" : ""));
      return answer_;
    });
    return viewer_;
  }
  void Choose(int command) {
    wxCommandEvent menu(wxEVT_MENU, command);
    viewer_->ProcessWindowEvent(menu);
  }
  ~ReportViewerTest() override {
    if (viewer_ != nullptr) viewer_->Destroy();
  }

  testing::TempDir data_, save_;
  ReportViewer* viewer_ = nullptr;
  std::vector<std::string> picked_;
  std::filesystem::path answer_;
};

TEST_F(ReportViewerTest, AChangedReportIsKeptUnderANameOfTheUsersOwnWhenLeft) {
  Open();
  answer_ = save_ / "closure.txt";
  DialogScript script;
  script.Answer<wxMessageDialog>([](wxMessageDialog& question) {
    EXPECT_EQ(FromWx(question.GetMessage()), "Save Changes to Report?");
    EXPECT_EQ(FromWx(question.GetTitle()), "Confirm Exit");
    return static_cast<int>(wxID_YES);
  });
  int result = -1;
  viewer_->CallAfter([&] {
    EXPECT_EQ(FromWx(viewer_->GetTitle()), "Report Edit : " + (data_ / "tobrrprt.tmp").string());
    EXPECT_EQ(FromWx(viewer_->Text()->GetValue()), "Traverse  closure\n\nAngle 12d30'\n");
    testing::UserInput input;
    viewer_->Text()->SetFocus();
    viewer_->Text()->SetInsertionPointEnd();
    EXPECT_TRUE(input.Key('Z'));
    EXPECT_TRUE(viewer_->Text()->IsModified());
    viewer_->Close();  // the close box
  });
  result = viewer_->Run();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(picked_, std::vector<std::string>{"File to Save As " + (save_ / "Traverse.txt").string() + " (save)"});
  EXPECT_EQ(testing::Contents(save_ / "closure.txt"), "Traverse  closure\n\nAngle 12d30'\nz");
  EXPECT_EQ(testing::Contents(data_ / "tobrrprt.tmp"),
            "Traverse  closure\n\nAngle 12\xB0"
            "30'\n")
      << "the formatter's report is never overwritten";
}

TEST_F(ReportViewerTest, ScreenSendsTheReportToTheHost) {
  Open();
  viewer_->CallAfter([this] { Choose(ReportViewer::kScreen); });
  EXPECT_EQ(viewer_->Run(), ReportViewer::kSentToHost);
  EXPECT_EQ(testing::Contents(data_ / "tobrrprt.scr"), "Traverse  closure\n\nAngle 12d30'\n");
}

TEST_F(ReportViewerTest, SearchAndAppendWorkOnTheText) {
  Open();
  answer_ = save_ / "log.txt";
  save_.Write("log.txt", "earlier\n");
  DialogScript script;
  script.Answer<wxDialog>([](wxDialog& box) {
    EXPECT_NE(FromWx(box.GetTitle()).find("Report Viewer"), std::string::npos);
    return static_cast<int>(wxID_OK);
  });
  script.Answer<wxMessageDialog>([](wxMessageDialog&) { return static_cast<int>(wxID_NO); });
  viewer_->CallAfter([this] {
    Choose(ReportViewer::kAppendTo);
    // Replace all "Angle" by "Bearing" through the replace window.
    Choose(ReportViewer::kReplace);
    wxFindDialogEvent replace_all(wxEVT_FIND_REPLACE_ALL, wxID_ANY);
    replace_all.SetFindString("angle");
    replace_all.SetReplaceString("Bearing");
    viewer_->ProcessWindowEvent(replace_all);
    Choose(ReportViewer::kExit);
  });
  viewer_->Run();
  EXPECT_EQ(testing::Contents(save_ / "log.txt"), "earlier\nTraverse  closure\n\nAngle 12d30'\n");
  EXPECT_EQ(FromWx(viewer_->Text()->GetValue()), "Traverse  closure\n\nBearing 12d30'\n");
}

TEST_F(ReportViewerTest, OptionsAreKeptInTheDataFolder) {
  Open();
  DialogScript script;
  script.Show<ViewerOptionsDialog>([](ViewerOptionsDialog& options) {
    EXPECT_EQ(FromWx(options.GetTitle()), "Report Viewer Options");
    EXPECT_EQ(FromWx(options.EditorFontLabel()->GetLabel()), "Editor Font: Courier New 10pt");
    EXPECT_EQ(FromWx(options.PrinterFontLabel()->GetLabel()), "Printer Font: Courier New 12pt");
    EXPECT_FALSE(options.DegreeSymbols()->GetValue()) << "as rview.ini says";
    options.PrintFormat()->SetValue(true);
    options.LinesPerPage()->SetValue(40);
    testing::Click(wxDynamicCast(options.FindWindow(wxID_OK), wxButton));
  });
  viewer_->CallAfter([this] {
    Choose(ReportViewer::kOptions);
    Choose(ReportViewer::kExit);
  });
  viewer_->Run();
  EXPECT_TRUE(script.Done());
  const std::string written = testing::Contents(data_ / "rview.ini");
  EXPECT_EQ(written.rfind("pformat=1\npageno=1\nln_pg=40\n", 0), 0u) << written;
  EXPECT_NE(written.find("degsym=0\n"), std::string::npos) << written;
}

TEST_F(ReportViewerTest, PrintPreviewShowsThePagesOverTheViewerUntilClosed) {
  data_.Write("rview.ini", "pformat=1\npageno=1\nln_pg=3\n");
  data_.Write("tobrrprt.tmp", "Levels\n\n1\n2\n3\n4\n5\n");
  Open();
  int pages = 0;
  bool viewer_blocked = false, viewer_back = false;
  viewer_->CallAfter([&] {
    Choose(ReportViewer::kPrintPreview);
    wxPreviewFrame* frame = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
      if (auto* preview = dynamic_cast<wxPreviewFrame*>(window); preview != nullptr && preview->IsShown())
        frame = preview;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(FromWx(frame->GetTitle()), "Report Printout");
    viewer_blocked = !viewer_->IsEnabled();
    wxPreviewControlBar* bar = nullptr;
    for (wxWindow* child : frame->GetChildren())
      if (auto* controls = dynamic_cast<wxPreviewControlBar*>(child)) bar = controls;
    ASSERT_NE(bar, nullptr);
    // The pages are laid out once the first one is drawn.
    testing::RunUntil([&] { return bar->GetPrintPreview()->GetMaxPage() > 1; }, 5);
    pages = bar->GetPrintPreview()->GetMaxPage();
    testing::Click(wxDynamicCast(frame->FindWindow(wxID_PREVIEW_CLOSE), wxButton));
    viewer_back = testing::RunUntil([this] { return viewer_->IsEnabled(); });
    Choose(ReportViewer::kExit);
  });
  viewer_->Run();
  EXPECT_EQ(pages, 3) << "seven lines, three to a page";
  EXPECT_TRUE(viewer_blocked) << "the preview is modal over the viewer";
  EXPECT_TRUE(viewer_back);
}

// The text of a PDF, page by page, as poppler's pdftotext reads it.
std::vector<std::string> PdfPages(const std::filesystem::path& pdf) {
  std::string text;
  if (FILE* reader = ::popen(("pdftotext -layout '" + pdf.string() + "' - 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, reader)) > 0;) text.append(buffer, got);
    if (::pclose(reader) != 0) return {"pdftotext failed: " + text};
  }
  std::vector<std::string> pages;
  for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
    pages.push_back(text.substr(start, end - start));
  return pages;
}

// Printing as a user does it on this desktop: File > Print opens GTK's print
// dialog, whose "Print to File" (the one printer of a machine without a
// print server) offers a PDF named after the report where the user's
// reports are saved; "Print" writes the report's pages into it.
TEST_F(ReportViewerTest, PrintMakesAPdfOfThePagesThroughTheDesktopsPrintDialog) {
  data_.Write("tobrrprt.tmp", "Levels\n\nBM1 102.345\n\f\nBM2 108.912\n");
  const std::filesystem::path pdf = save_ / "Levels.pdf";
  Open();
  wxUIActionSimulator keys;
  testing::GtkPrintDialogState dialog;
  bool print_pressed = false, gave_up = false;
  int moves_down = 0;
  const auto complete = [&] {
    const std::string written = std::filesystem::exists(pdf) ? testing::Contents(pdf) : "";
    return written.find("%%EOF", written.size() > 16 ? written.size() - 16 : 0) != std::string::npos;
  };
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  wxTimer watch;
  watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const testing::GtkPrintDialogState shown = testing::ShownGtkPrintDialog();
    if (!print_pressed && shown.shown) {
      if (!shown.active) {
        testing::FocusGtkPrintDialog(shown);
        return;
      }
      // No printer is chosen at first: down the list to "Print to File"
      // (on a machine without a print server, the only one).
      if (!shown.to_file && moves_down < 20) {
        ++moves_down;
        keys.Char(WXK_DOWN);
        return;
      }
      dialog = shown;
      print_pressed = true;
      // "_Print", or away when it offers no printing to a file.
      if (dialog.to_file)
        keys.Char('p', wxMOD_ALT);
      else
        keys.Char(WXK_ESCAPE);
      return;
    }
    gave_up = std::chrono::steady_clock::now() > until;
    if (gave_up && shown.active) keys.Char(WXK_ESCAPE);
    if (shown.active || !(complete() || gave_up || (print_pressed && !dialog.to_file))) return;
    watch.Stop();
    viewer_->CallAfter([this] { Choose(ReportViewer::kExit); });
  });
  viewer_->CallAfter([&] {
    watch.Start(20);
    keys.Char('f', wxMOD_ALT);  // "&File"
    keys.Char('p');             // "&Print"
  });
  viewer_->Run();
  watch.Stop();
  ASSERT_TRUE(print_pressed) << "GTK's print dialog never showed";
  ASSERT_TRUE(dialog.to_file) << "the dialog offers no printing to a file (last chosen: " << dialog.printer << ")";
  ASSERT_FALSE(gave_up) << "no complete " << pdf;
  const std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 2u) << "the form feed starts the second page";
  EXPECT_NE(pages[0].find("Levels"), std::string::npos) << pages[0];
  EXPECT_NE(pages[0].find("BM1 102.345"), std::string::npos) << pages[0];
  EXPECT_EQ(pages[0].find("BM2"), std::string::npos) << pages[0];
  EXPECT_NE(pages[0].find("Page 1 of 2"), std::string::npos) << pages[0];
  EXPECT_NE(pages[1].find("BM2 108.912"), std::string::npos) << pages[1];
  EXPECT_NE(pages[1].find("Page 2 of 2"), std::string::npos) << pages[1];
}

// The library as the program loads it: on a host that shows windows, a
// finished report opens the formatter, "Display" shows it in the viewer,
// and the host goes on once both are left.
TEST(ReportLibraryWindowsTest, AFinishedReportOpensTheFormatterAndTheViewer) {
  testing::TempDir data;
  auto* host_window = new wxFrame(nullptr, wxID_ANY, "host");
  host_window->Show();
  wxTheApp->SetTopWindow(host_window);
  DynamicLibrary library;
  ASSERT_TRUE(library.Load("quorvel.DLL", PELIKON_BIN_DIR)) << library.LastError();
  // As the program keeps it: its windows may be deleted after the call.
  library.KeepLoaded();
  const std::string folder = data.Path().string() + "/";
  const ReportHost host{folder.c_str(), folder.c_str(), "", "", "", nullptr, nullptr};
  library.Bind<SetVarsPtrFunction>("SetVarsPtr")(&host);
  library.Bind<SetVarsFunction>("SetVars")(folder.c_str(), folder.c_str(), "", "", "");
  library.Bind<StartReportFunction>("StartReport")("Levels");
  library.Bind<StartEntryFunction>("StartEntry")();
  library.Bind<AddDoubleTokenFunction>("AddDoubleToken")("ELEV", "Elevation", 12.5, 2, nullptr, 1);
  // The library's windows are its own classes: they are found by their titles.
  const auto top_window = [](const std::string& title_start) -> wxWindow* {
    for (wxWindow* window : wxTopLevelWindows)
      if (window->IsShown() && FromWx(window->GetLabel()).starts_with(title_start)) return window;
    return nullptr;
  };
  const auto press = [](wxWindow* window, const std::string& caption) {
    ASSERT_NE(window, nullptr) << caption;
    for (wxWindow* child : window->GetChildren()) {
      auto* button = dynamic_cast<wxButton*>(child);
      if (button == nullptr || FromWx(button->GetLabelText()) != caption) continue;
      testing::Click(button);
      return;
    }
    ADD_FAILURE() << "no button " << caption;
  };
  std::string shown;
  host_window->CallAfter([&] {
    wxWindow* formatter = top_window("Report Formatter Options");
    press(formatter, "Add >");
    host_window->CallAfter([&] {
      wxWindow* viewer = top_window("Report Edit : ");
      ASSERT_NE(viewer, nullptr);
      shown = FromWx(viewer->GetLabel());
      wxCommandEvent exit(wxEVT_MENU, ReportViewer::kExit);
      viewer->ProcessWindowEvent(exit);
    });
    press(formatter, "Display");
    press(formatter, "Exit");
  });
  library.Bind<FinishReportFunction>("FinishReport")("LEVELS", 0, "");
  EXPECT_EQ(shown, "Report Edit : " + (data.Path() / "tobrrprt.tmp").string());
  EXPECT_EQ(testing::Contents(data / "tobrrprt.tmp"), "Levels\n\nElevation \n    12.50 \n");
  EXPECT_EQ(library.Bind<GetCurrentReportFunction>("GetCurrentReport")(), nullptr);
  library.Bind<SetVarsPtrFunction>("SetVarsPtr")(nullptr);
  wxTheApp->SetTopWindow(nullptr);
  host_window->Destroy();
}

}  // namespace
}  // namespace pelikon
