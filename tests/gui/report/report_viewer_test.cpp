// The report viewer as a user meets it: the report it opens on, a change
// typed in and kept under a name of the user's, the report sent to the
// host, and the pages it prints.
#include "report/wx/report_viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/user_input.h"
#include "platform/dynamic_library.h"
#include "report/report_api.h"
#include "report/wx/report_printout.h"
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

TEST(ReportPrintoutTest, PagesFollowTheFormFeedsAndAreNumbered) {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += "line " + std::to_string(i) + "\n";
  text += "\f\nafter the feed\n";
  ReportPrintout printout("Report Printout", text, ViewerSettings{});
  wxBitmap page(850, 1100);
  wxMemoryDC dc(page);
  printout.LayOut(dc);
  ASSERT_EQ(printout.Pages().size(), 2u);
  EXPECT_EQ(printout.Pages()[0].texts.size(), 11u) << "ten lines and the page number";
  EXPECT_EQ(printout.Pages()[0].texts.front().x, 0) << "no margin without the print settings";
  EXPECT_EQ(printout.Pages()[1].texts.front().text, "after the feed");
  EXPECT_EQ(printout.Pages()[1].texts.back().text, "Page 2 of 2");
  printout.DrawPage(dc, 1);
  EXPECT_EQ(printout.ReducedTo(), 0);
}

}  // namespace
}  // namespace pelikon
