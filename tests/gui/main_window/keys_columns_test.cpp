// The main window's keyboard and columns, worked with a real keyboard and
// mouse: the tab order, the keys of the file commands, Enter and
// Backspace, the buttons' Alt+letter, sorting by a click on a heading,
// column widths that follow the window and are kept across a restart, and
// pictures of the window at its first size and maximised.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include <wx/display.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "app/options/option_texts.h"
#include "gui/art.h"
#include "gui/dialog_script.h"
#include "gui/dialogs/dir_dialog.h"
#include "gui/dialogs/file_mask_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/yes_no_dialog.h"
#include "gui/window_picture.h"
#include "main_window_fixture.h"

namespace pelikon {
namespace {

using testing::DialogScript;
using testing::MainWindowTest;
using testing::RowOf;
using testing::RunUntil;
using Names = std::vector<std::string>;

constexpr PaneSide kLocal = PaneSide::kLocal;
constexpr PaneSide kRemote = PaneSide::kRemote;

// Whether `window` is `ancestor` or lies inside it.
bool Inside(const wxWindow* window, const wxWindow* ancestor) {
  for (; window != nullptr; window = window->GetParent())
    if (window == ancestor) return true;
  return false;
}

// The heading row of a list: its child at the top, shorter than the rows' part.
wxWindow* HeaderOf(PaneListView& pane) {
  for (wxWindow* child : pane.GetChildren())
    if (child->GetPosition().y == 0 && child->GetSize().y < pane.GetClientSize().y / 2) return child;
  return nullptr;
}

// The x of the right edge of `column` in the heading.
int ColumnRight(const PaneListView& pane, int column) {
  int right = 0;
  for (int c = 0; c <= column; ++c) right += pane.GetColumnWidth(c);
  return right;
}

// Every heading is whole and the columns fit beside a scroll bar.
void ExpectAllColumnsVisible(const PaneListView& pane, const char* what) {
  for (int column = 0; column < pane.GetColumnCount(); ++column) {
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    pane.GetColumn(column, heading);
    EXPECT_GE(pane.GetColumnWidth(column), pane.GetTextExtent(heading.GetText()).x) << what << heading.GetText();
  }
  EXPECT_LE(ColumnRight(pane, pane.GetColumnCount() - 1) + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, &pane),
            pane.GetClientSize().x)
      << what;
}

std::filesystem::path PictureFolder() {
  const char* folder = std::getenv("PELIKON_TEST_OUTPUT");
  return folder != nullptr && *folder != '\0' ? std::filesystem::path(folder)
                                              : std::filesystem::path(PELIKON_TEST_OUTPUT);
}

TEST_F(MainWindowTest, TabGoesFromTheLocalPaneToTheRemotePaneAndThenToTheButtons) {
  EXPECT_TRUE(Inside(wxWindow::FindFocus(), &Pane(kLocal)));
  ASSERT_TRUE(input_->Key(WXK_TAB));
  EXPECT_TRUE(RunUntil([&] { return Inside(wxWindow::FindFocus(), &Pane(kRemote)); }, 5));
  ASSERT_TRUE(input_->Key(WXK_TAB));
  EXPECT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == Button(kIdConnect); }, 5));
  ASSERT_TRUE(input_->Key(WXK_TAB));
  EXPECT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == Button(kIdTransfer); }, 5));
  ASSERT_TRUE(input_->Key(WXK_TAB, wxMOD_SHIFT));
  ASSERT_TRUE(input_->Key(WXK_TAB, wxMOD_SHIFT));
  EXPECT_TRUE(RunUntil([&] { return Inside(wxWindow::FindFocus(), &Pane(kRemote)); }, 5));
}

TEST_F(MainWindowTest, ArrowsMoveSpaceTogglesShiftArrowsTagARangeAndCtrlATagsThePane) {
  PaneListView& local = Pane(kLocal);
  ASSERT_TRUE(input_->ClickRow(local, 0));
  ASSERT_TRUE(input_->Key(WXK_DOWN));
  ASSERT_TRUE(input_->Key(WXK_DOWN));
  EXPECT_EQ(SelectedNames(kLocal), (Names{"Field notes.txt"}));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();
  EXPECT_EQ(TaggedNames(kLocal), (Names{"Field notes.txt"}));

  ASSERT_TRUE(input_->Key(WXK_SPACE));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 0")) << Tagged();
  EXPECT_TRUE(TaggedNames(kLocal).empty());
  ASSERT_TRUE(input_->Key(WXK_SPACE));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();

  // Upwards from the last row: the range is exactly what is highlighted.
  ASSERT_TRUE(input_->Key(WXK_DOWN));
  ASSERT_TRUE(input_->Key(WXK_UP, wxMOD_SHIFT));
  ASSERT_TRUE(input_->Key(WXK_UP, wxMOD_SHIFT));
  EXPECT_EQ(SelectedNames(kLocal), (Names{"Archive", "Field notes.txt", "OFFICE.CRD"}));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 3")) << Tagged();
  EXPECT_EQ(TaggedNames(kLocal), (Names{"Archive", "Field notes.txt", "OFFICE.CRD"}));
  EXPECT_EQ(window_->LabelText(PaneLabel::kTaggedBytes), "Bytes: 30312");

  // Shift+click from the first row: again exactly the highlighted rows.
  ASSERT_TRUE(input_->ClickRow(local, RowOf(local, "Archive")));
  ASSERT_TRUE(input_->ClickRow(local, RowOf(local, "Field notes.txt"), wxMOD_SHIFT));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 2")) << Tagged();
  EXPECT_EQ(TaggedNames(kLocal), SelectedNames(kLocal));

  ASSERT_TRUE(input_->Key('A', wxMOD_CONTROL));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 4")) << Tagged();
  EXPECT_TRUE(TaggedNames(kRemote).empty());
}

TEST_F(MainWindowTest, F2DeleteAndF7RunTheirCommands) {
  PaneListView& local = Pane(kLocal);
  DialogScript script;

  ASSERT_TRUE(input_->ClickRow(local, RowOf(local, "OFFICE.CRD")));
  ASSERT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();
  script.Show<CFileMask>([](CFileMask& dialog) {
    dialog.Field()->SetValue("SITE.CRD");
    testing::Click(dialog.OkButton());
  });
  ASSERT_TRUE(input_->Key(WXK_F2));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / "SITE.CRD"));
  EXPECT_GE(RowOf(local, "SITE.CRD"), 0);

  ASSERT_TRUE(input_->ClickRow(local, RowOf(local, "Field notes.txt")));
  ASSERT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();
  std::string question;
  script.Answer<CYesNoDlg>([&](CYesNoDlg& dialog) {
    question = dialog.GetTitle().utf8_string();
    return static_cast<int>(kAnswerYes);
  });
  ASSERT_TRUE(input_->Key(WXK_DELETE));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_EQ(question, "Delete File");
  EXPECT_FALSE(std::filesystem::exists(demo_.PcFolder() / "Field notes.txt"));
  EXPECT_EQ(RowOf(local, "Field notes.txt"), -1);

  script.Show<CDir>([](CDir& dialog) {
    dialog.Field()->SetValue("NEWDIR");
    testing::Click(dialog.OkButton());
  });
  ASSERT_TRUE(input_->Key(WXK_F7));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_TRUE(std::filesystem::is_directory(demo_.PcFolder() / "NEWDIR"));
  EXPECT_GE(RowOf(local, "NEWDIR"), 0);
}

TEST_F(MainWindowTest, F5ListsBothPanesAgain) {
  std::ofstream(demo_.PcFolder() / "NEW.TXT") << "new";
  std::ofstream(demo_.StoreFolder() / "FRESH.TXT") << "fresh";
  ASSERT_EQ(RowOf(Pane(kLocal), "NEW.TXT"), -1);
  ASSERT_EQ(RowOf(Pane(kRemote), "FRESH.TXT"), -1);
  ASSERT_TRUE(input_->Key(WXK_F5));
  EXPECT_TRUE(RunUntil([&] {
    return RowOf(Pane(kLocal), "NEW.TXT") >= 0 && RowOf(Pane(kRemote), "FRESH.TXT") >= 0 && !window_->Busy();
  }));
  EXPECT_EQ(window_->LabelText(PaneLabel::kLocalTotalFiles), "Total Files: 3");
  EXPECT_EQ(window_->StatusLine(), "Status: Connected to remote machine");
}

TEST_F(MainWindowTest, EnterOpensAFolderOrTransfersAFileAndBackspaceGoesUp) {
  PaneListView& remote = Pane(kRemote);
  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "Jobs")));
  ASSERT_TRUE(input_->Key(WXK_RETURN));
  ASSERT_TRUE(RunUntil([&] { return window_->Panes().List(kRemote).path != "\\" && !window_->Busy(); }));
  EXPECT_EQ(window_->LabelText(PaneLabel::kRemotePath), "Remote Path: \\Jobs");
  ASSERT_TRUE(input_->Key(WXK_BACK));
  ASSERT_TRUE(RunUntil([&] { return window_->Panes().List(kRemote).path == "\\" && !window_->Busy(); }))
      << window_->Panes().List(kRemote).path;
  EXPECT_GE(RowOf(remote, "Jobs"), 0);

  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "README.TXT")));
  ASSERT_TRUE(TaggedBecomes("Tagged REMOTE Files: 1")) << Tagged();
  DialogScript script;
  script.Answer<CMsgDlg>([](CMsgDlg&) { return static_cast<int>(wxID_OK); });
  ASSERT_TRUE(input_->Key(WXK_RETURN));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / "README.TXT"));

  // Backspace in the local pane: the folder above the PC folder.
  ASSERT_TRUE(input_->ClickRow(Pane(kLocal), RowOf(Pane(kLocal), "OFFICE.CRD")));
  ASSERT_TRUE(input_->Key(WXK_BACK));
  EXPECT_TRUE(RunUntil([&] { return window_->Panes().LocalFolder() == demo_.PcFolder().parent_path(); }))
      << window_->Panes().LocalFolder();
  EXPECT_GE(RowOf(Pane(kLocal), demo_.PcFolder().filename().string()), 0);
}

TEST_F(MainWindowTest, EachButtonHasItsOwnAltLetterAndItsCaption) {
  std::set<wxChar> letters;
  Names captions;
  for (const wxWindow* child : window_->GetChildren()) {
    const auto* label = wxDynamicCast(child, wxStaticText);
    if (label == nullptr) continue;
    wxString plain;
    const int accel = wxControl::FindAccelIndex(label->GetLabel(), &plain);
    if (accel == wxNOT_FOUND) continue;
    letters.insert(wxToupper(plain[static_cast<size_t>(accel)]));
    captions.push_back(plain.utf8_string());
  }
  EXPECT_EQ(captions, (Names{"Connect", "Transfer", "Set Path", "Make dir", "Delete", "Rename", "Options", "Geoid",
                             "F2F conv", "Send Pnts", "Exit"}));
  EXPECT_EQ(letters.size(), captions.size());

  DialogScript script;
  script.Show<COptions>([](COptions& options) { testing::Click(options.CancelButton()); });
  ASSERT_TRUE(input_->Key('o', wxMOD_ALT));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  ASSERT_TRUE(input_->Key('t', wxMOD_ALT));
  EXPECT_TRUE(RunUntil([&] { return window_->StatusLine() == "Status: No files tagged to transfer"; }, 5))
      << window_->StatusLine();
  ASSERT_TRUE(input_->Key('x', wxMOD_ALT));
  EXPECT_TRUE(RunUntil([this] { return !alive_; }, 5)) << "Alt+X did not close the window";
}

TEST_F(MainWindowTest, AClickOnAHeadingSortsBothPanesAndSetsTheSortOption) {
  PaneListView& remote = Pane(kRemote);
  wxWindow* header = HeaderOf(remote);
  ASSERT_NE(header, nullptr);
  const int size_middle = remote.GetColumnWidth(0) + remote.GetColumnWidth(1) / 2;
  ASSERT_TRUE(input_->Click(header, wxPoint(size_middle, header->GetClientSize().y / 2)));
  ASSERT_TRUE(RunUntil([&] { return window_->Session().Settings().sort == kSortBySize; }, 5))
      << window_->Session().Settings().sort;
  // Folders first, then the files smaller first, in the rows too.
  EXPECT_EQ(testing::Column(remote, 0),
            (Names{"Geoids", "Jobs", "README.TXT", "JOB1.NOT", "CODES.FLD", "JOB1.RW5", "JOB1.CRD"}));
  const std::vector<DirEntry>& local = window_->Panes().List(kLocal).entries;
  for (size_t row = 1; row < local.size(); ++row) {
    if (!local[row - 1].is_folder) {
      EXPECT_LE(EntryBytes(local[row - 1]), EntryBytes(local[row])) << row;
    }
  }

  wxWindow* local_header = HeaderOf(Pane(kLocal));
  ASSERT_NE(local_header, nullptr);
  const int modified_middle = ColumnRight(Pane(kLocal), 1) + Pane(kLocal).GetColumnWidth(2) / 2;
  ASSERT_TRUE(input_->Click(local_header, wxPoint(modified_middle, local_header->GetClientSize().y / 2)));
  ASSERT_TRUE(RunUntil([&] { return window_->Session().Settings().sort == kSortByDate; }, 5));

  DialogScript script;
  wxString shown;
  script.Show<COptions>([&shown](COptions& options) {
    shown = options.ShownValue("sort");
    testing::Click(options.CancelButton());
  });
  ASSERT_TRUE(input_->Click(Button(kIdOptions)));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_EQ(shown, "BY DATE");
}

TEST_F(MainWindowTest, ADraggedColumnWidthIsKeptWhenTheWindowOpensAgain) {
  PaneListView& local = Pane(kLocal);
  wxWindow* header = HeaderOf(local);
  ASSERT_NE(header, nullptr);
  const int before = local.GetColumnWidth(1);
  const int remote_before = Pane(kRemote).GetColumnWidth(1);
  const int edge = ColumnRight(local, 1);
  const int y = header->GetClientSize().y / 2;
  // Narrower: the window is about as wide as this display at first.
  ASSERT_TRUE(input_->Drag(header, wxPoint(edge - 1, y), wxPoint(edge - 21, y)));
  ASSERT_TRUE(RunUntil([&] { return local.GetColumnWidth(1) <= before - 15; }, 5)) << local.GetColumnWidth(1);
  const int dragged = local.GetColumnWidth(1);

  // The window closes and opens again on the same settings.
  input_.reset();
  delete window_;
  window_ = nullptr;
  EXPECT_FALSE(demo_.Settings().GetValue("local_columns").empty());
  OpenWindow();
  testing::Settle();
  EXPECT_EQ(Pane(kLocal).GetColumnWidth(1), dragged);
  EXPECT_EQ(Pane(kRemote).GetColumnWidth(1), remote_before);
  ExpectAllColumnsVisible(Pane(kLocal), "local after the restart ");
}

TEST_F(MainWindowTest, AllColumnsShowAtFirstAndTheNameColumnTakesTheExtraWidth) {
  for (const PaneSide side : {kLocal, kRemote}) ExpectAllColumnsVisible(Pane(side), "first size ");
  // The panes line up to the pixel.
  EXPECT_EQ(Pane(kLocal).GetRect().GetTop(), Pane(kRemote).GetRect().GetTop());
  EXPECT_EQ(Pane(kLocal).GetSize(), Pane(kRemote).GetSize());
  testing::Settle();
  EXPECT_TRUE(SaveWindowPicture(window_, PictureFolder() / "main_window_first_size.png"));

  std::array<std::vector<int>, 2> widths;
  std::array<int, 2> pane_widths{};
  for (const PaneSide side : {kLocal, kRemote}) {
    for (int column = 0; column < Pane(side).GetColumnCount(); ++column)
      widths[static_cast<size_t>(side)].push_back(Pane(side).GetColumnWidth(column));
    pane_widths[static_cast<size_t>(side)] = Pane(side).GetSize().x;
  }
  const int status_width = window_->FindWindow(kIdStatusLine)->GetSize().x;
  const wxSize first = window_->GetSize();
  const int first_client_width = window_->GetClientSize().x;
  window_->Maximize();
  if (!RunUntil([&] { return window_->GetSize().x > first.x; }, 3)) {
    // No window manager to maximise it: as large as the display's work area.
    window_->SetSize(wxDisplay(window_).GetClientArea());
    ASSERT_TRUE(RunUntil([&] { return window_->GetSize().x > first.x; }, 5));
  }
  testing::Settle();
  for (const PaneSide side : {kLocal, kRemote}) {
    const PaneListView& pane = Pane(side);
    const std::vector<int>& before = widths[static_cast<size_t>(side)];
    const int growth = pane.GetSize().x - pane_widths[static_cast<size_t>(side)];
    EXPECT_GT(growth, 0);
    EXPECT_EQ(pane.GetColumnWidth(0), before[0] + growth);
    for (int column = 1; column < pane.GetColumnCount(); ++column)
      EXPECT_EQ(pane.GetColumnWidth(column), before[static_cast<size_t>(column)]) << column;
    ExpectAllColumnsVisible(pane, "maximised ");
  }
  EXPECT_EQ(Pane(kLocal).GetSize(), Pane(kRemote).GetSize());
  // The status line follows the width.
  EXPECT_EQ(window_->FindWindow(kIdStatusLine)->GetSize().x - status_width,
            window_->GetClientSize().x - first_client_width);
  EXPECT_TRUE(SaveWindowPicture(window_, PictureFolder() / "main_window_maximised.png"));
}

TEST(StoredColumnWidths, ReadBackAsWrittenAndAnythingElseIsRefused) {
  const PaneListView::ColumnWidths widths = {150, 60, 120, 90, 70};
  EXPECT_EQ(ColumnWidthsText(widths), "150,60,120,90,70");
  EXPECT_EQ(ParseColumnWidths(ColumnWidthsText(widths)), widths);
  for (const char* text : {"", "150,60,120,90", "150,60,120,90,70,5", "150,60,0,90,70", "150,60,-3,90,70",
                           "150,60,120,90,70x", "150;60;120;90;70", "150,60,120,90,20000", " 150,60,120,90,70"})
    EXPECT_FALSE(ParseColumnWidths(text).has_value()) << text;
}

// The largest difference between the colour channels of a visible pixel
// of `image` (0 for grey), and its most opaque pixel's alpha.
std::pair<int, int> ColourAndOpacity(const wxImage& image) {
  int colour = 0;
  int opacity = 0;
  for (int y = 0; y < image.GetHeight(); ++y) {
    for (int x = 0; x < image.GetWidth(); ++x) {
      const int alpha = image.HasAlpha() ? image.GetAlpha(x, y) : 255;
      if (alpha < 16) continue;
      const int r = image.GetRed(x, y), g = image.GetGreen(x, y), b = image.GetBlue(x, y);
      colour = std::max(colour, std::max({r, g, b}) - std::min({r, g, b}));
      opacity = std::max(opacity, alpha);
    }
  }
  return {colour, opacity};
}

TEST(ButtonArt, ConnectAndTransferShowColourAndEveryDisabledPictureIsGreyAndFaint) {
  for (const ButtonArt art : {ButtonArt::kConnect, ButtonArt::kTransfer}) {
    const wxImage image = ButtonBitmap(art).ConvertToImage();
    ASSERT_TRUE(image.IsOk());
    EXPECT_GT(ColourAndOpacity(image).first, 100) << static_cast<int>(art);
  }
  for (int art = static_cast<int>(ButtonArt::kConnect); art <= static_cast<int>(ButtonArt::kExit); ++art) {
    const wxBitmap disabled = DisabledButtonBitmap(static_cast<ButtonArt>(art));
    if (!disabled.IsOk()) continue;  // no such picture in this desktop's theme
    const auto [colour, opacity] = ColourAndOpacity(disabled.ConvertToImage());
    EXPECT_LE(colour, 8) << art;
    EXPECT_LE(opacity, 110) << art;
  }
}

}  // namespace
}  // namespace pelikon
