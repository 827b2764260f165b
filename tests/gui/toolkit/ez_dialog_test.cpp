// Forms of the dialog toolkit in real windows: controls where the layout
// pass puts them, tile events, the modal run, Escape and the close box,
// values by name, list sorting, the text input window and remembered
// window positions. Modal runs are driven by the dialog script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/data_folder.h"
#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/text_input_window.h"
#include "dialogs/wx/window_position.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "platform/atomic_file.h"
#include "platform/trace.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::Click;
using testing::DialogScript;
using testing::PressKey;

// Every call of a callback as "tile:event".
struct CallLog {
  std::vector<std::string> calls;
  TileCallback Record() {
    return
        [this](PopDialog&, const std::string& tile, int event) { calls.push_back(tile + ":" + std::to_string(event)); };
  }
};

wxButton* ButtonOf(const EZDialog& form, std::string_view name) {
  return dynamic_cast<wxButton*>(form.FindControl(name));
}

TileCallback Ends(EZDialog& form, int code) {
  return [&form, code](PopDialog&, const std::string&, int) { form.End(code); };
}

class EZDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::FailOnWxAssertions(); }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  DialogScript script_;
  CallLog log_;
};

TEST_F(EZDialogTest, ControlsSitWhereTheLayoutPassPutsThem) {
  EZDialog form;
  ASSERT_EQ(form.Create(nullptr, FormFrame{.title = "Layout"}), 1);
  form.AddLabel("prompt", 10, kAlignRight, "Name");
  form.AddEdit("name", 20, "JOB1");
  form.RowBreak();
  form.AddButton("ok", 8, "&OK");
  form.AddButton("fill", 0, "Fill");
  form.RowBreak();
  form.BeginColumn("box", "Options");
  form.AddTile("check", TileType::kCheckBox, 40, "Long option text");
  form.EndColumn();
  ASSERT_EQ(form.LayOutAndShow(false, false), 1);

  const FormLayout& layout = form.Layout();
  for (size_t i = 0; i < form.Tiles().Size(); ++i) {
    const std::string& name = form.Tiles()[static_cast<int>(i)].name;
    if (wxWindow* control = form.FindControl(name)) {
      const LayoutRect& at = layout.tiles[i];
      EXPECT_EQ(control->GetRect(), wxRect(at.left, at.top, at.width, at.height)) << name;
    }
  }
  EXPECT_EQ(form.FindControl("prompt")->GetId(), 2027);
  EXPECT_EQ(form.FindControl("ok")->GetId(), 2029) << "row breaks take no ID";
  EXPECT_EQ(form.FindControl("fill")->GetRect().GetRight(), form.FindControl("box")->GetRect().GetRight())
      << "the width-0 button fills its row";
  EXPECT_GE(form.FindControl("ok")->GetSize().y, form.FindControl("ok")->GetBestSize().y) << "never cut off";
  EXPECT_EQ(form.Host()->GetClientSize(), wxSize(layout.fitted_width, layout.fitted_height));
}

TEST_F(EZDialogTest, CallbacksTakeTheEventsTheirMaskSelectsAndEndSetsTheResult) {
  auto* parent = new wxFrame(nullptr, wxID_ANY, "main");
  parent->Show();
  EZDialog form;
  form.Create(parent, FormFrame{.title = "Events"});
  form.AddEdit("name", 20, "");
  form.RegisterCallback("name", log_.Record(), kEventEnter);
  form.AddButton("other", 8, "Other", log_.Record());
  form.AddButton("plain", 8, "Plain");
  form.AddButton("ok", 8, "OK", Ends(form, 7));
  form.LayOutAndShow(true, true);
  script_.Show<PopDialog>([&](PopDialog& host) {
    EXPECT_FALSE(parent->IsEnabled()) << "the parent waits while the form runs";
    EXPECT_TRUE(form.Running());
    Click(ButtonOf(form, "other"));
    EXPECT_EQ(form.PendingTile(), form.Tiles().IndexOf("other"));
    EXPECT_EQ(form.PendingEvent(), kEventClick);
    Click(ButtonOf(form, "plain"));  // no callback: nothing happens
    wxWindow* edit = form.FindControl("name");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, edit->GetId());
    enter.SetEventObject(edit);
    edit->ProcessWindowEvent(enter);
    EXPECT_TRUE(host.IsModal());
    Click(ButtonOf(form, "ok"));
  });
  EXPECT_EQ(form.RunModal(), 7);
  EXPECT_FALSE(form.Running());
  EXPECT_EQ(form.Result(), 7);
  EXPECT_TRUE(parent->IsEnabled());
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"other:2", "name:4"}));
  parent->Destroy();
}

TEST_F(EZDialogTest, TheFocusGoesBackToWhereItWasAfterACallback) {
  EZDialog form;
  form.Create(nullptr, FormFrame{.title = "Focus"});
  form.AddEdit("first", 10, "");
  form.AddEdit("second", 10, "");
  form.AddButton("go", 8, "Go", [&](PopDialog&, const std::string&, int) { form.FindControl("second")->SetFocus(); });
  form.AddButton("ok", 8, "OK", Ends(form, 1));
  form.LayOutAndShow(true, false);
  script_.Show<PopDialog>([&](PopDialog&) {
    EXPECT_EQ(wxWindow::FindFocus(), form.FindControl("first")) << "the first tile that takes the focus";
    form.FindControl("second")->SetFocus();
    form.FindControl("first")->SetFocus();
    Click(ButtonOf(form, "go"));
    EXPECT_EQ(wxWindow::FindFocus(), form.FindControl("first"));
    Click(ButtonOf(form, "ok"));
  });
  EXPECT_EQ(form.RunModal(), 1);
}

TEST_F(EZDialogTest, EscapeAndTheCloseBoxGoOnlyThroughTheFormsWayOut) {
  {
    EZDialog no_way_out;
    no_way_out.Create(nullptr, FormFrame{.title = "No cancel"});
    no_way_out.AddButton("ok", 8, "OK", Ends(no_way_out, 1));
    no_way_out.LayOutAndShow(true, false);
    script_.Show<PopDialog>([&](PopDialog& host) {
      PressKey(WXK_ESCAPE);
      EXPECT_TRUE(host.IsModal()) << "Escape is ignored";
      host.Close();
      EXPECT_TRUE(host.IsModal()) << "so is the close box";
      Click(ButtonOf(no_way_out, "ok"));
    });
    EXPECT_EQ(no_way_out.RunModal(), 1);
  }
  {
    EZDialog with_cancel;
    with_cancel.Create(nullptr, FormFrame{.title = "Cancel"});
    with_cancel.AddButton("exit", 8, "Exit", Ends(with_cancel, 2));
    with_cancel.AddButton("cancel", 8, "Cancel", Ends(with_cancel, 3));
    with_cancel.LayOutAndShow(true, false);
    script_.Show<PopDialog>([](PopDialog&) { PressKey(WXK_ESCAPE); });
    EXPECT_EQ(with_cancel.RunModal(), 3);
    script_.Show<PopDialog>([](PopDialog& host) { host.Close(); });
    EXPECT_EQ(with_cancel.RunModal(), 3);
  }
  {
    EZDialog accelerated;
    accelerated.Create(nullptr, FormFrame{.title = "Accelerated"});
    accelerated.AddButton("ok", 8, "OK", Ends(accelerated, 1));
    accelerated.AddButton("skip", 8, "Skip", Ends(accelerated, 7));
    accelerated.SetAccelerator("skip", kEscapeAccelerator);
    accelerated.LayOutAndShow(true, false);
    script_.Show<PopDialog>([](PopDialog&) { PressKey(WXK_ESCAPE); });
    EXPECT_EQ(accelerated.RunModal(), 7);
  }
}

TEST_F(EZDialogTest, AltAndTheAcceleratorLetterPressTheButton) {
  EZDialog form;
  form.Create(nullptr, FormFrame{.title = "Keys"});
  form.AddButton("open", 8, "&Open", log_.Record());
  form.AddButton("save", 8, "&Save", log_.Record());
  form.AddButton("ok", 8, "OK", Ends(form, 1));
  form.Enable("save", false);
  form.LayOutAndShow(true, false);
  script_.Show<PopDialog>([&](PopDialog&) {
    PressKey('O', true);
    PressKey('o', true);
    PressKey('S', true);  // disabled
    PressKey('O');        // no Alt
    Click(ButtonOf(form, "ok"));
  });
  form.RunModal();
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open:2", "open:2"}));
}

TEST_F(EZDialogTest, ValuesAreSetAndReadByTileName) {
  EZDialog form;
  form.Create(nullptr, FormFrame{.title = "Values"});
  form.AddLabel("label", 10, kAlignLeft, "A & B");
  form.AddEdit("edit", 10, "start");
  form.AddTile("check", TileType::kCheckBox, 10, "Check");
  form.AddTile("choice", TileType::kDropDown, 10, "");
  form.RowBreak();
  form.AddTile("group", TileType::kGroupFrame, 0, "");
  form.AddTile("r1", TileType::kRadioButton, 5, "One");
  form.AddTile("r2", TileType::kRadioButton, 5, "Two");
  form.AddTile("slider", TileType::kSlider, 100, "");
  form.AddTile("progress", TileType::kProgressBar, 100, "");
  form.AddTile("list", TileType::kListBox, 10, "", TileOptions{.multiple = true});
  form.LayOutAndShow(false, false);

  const auto text = [&](std::string_view name) {
    std::string value;
    EXPECT_EQ(form.GetText(name, value), 1) << name;
    return value;
  };
  EXPECT_EQ(text("label"), "A & B");
  EXPECT_EQ(dynamic_cast<wxStaticText*>(form.FindControl("label"))->GetLabel(), "A && B") << "shown as given";
  EXPECT_EQ(text("edit"), "start");
  form.SetText("edit", "JOB1.crd");
  EXPECT_EQ(text("edit"), "JOB1.crd");
  EXPECT_EQ(text("check"), "0");
  form.SetText("check", "1");
  EXPECT_TRUE(dynamic_cast<wxCheckBox*>(form.FindControl("check"))->GetValue());
  for (const char* item : {"a", "b", "c"}) dynamic_cast<wxChoice*>(form.FindControl("choice"))->Append(item);
  form.SetText("choice", "2");
  EXPECT_EQ(text("choice"), "2");
  form.SetText("r2", "1");
  EXPECT_EQ(text("r1") + text("r2"), "01");
  form.SetText("r1", "1");
  EXPECT_EQ(text("r1") + text("r2"), "10") << "checking one unchecks the rest of its group";
  form.SetText("slider", "40");
  EXPECT_EQ(text("slider"), "40");
  form.SetText("progress", "250");
  EXPECT_EQ(text("progress"), "100");
  auto* list = dynamic_cast<wxListBox*>(form.FindControl("list"));
  for (const char* item : {"x", "y", "z"}) list->Append(item);
  list->SetSelection(0);
  list->SetSelection(2);
  EXPECT_EQ(text("list"), "0,2");

  form.Enable("group", false);
  EXPECT_FALSE(form.FindControl("r1")->IsEnabled()) << "a group frame's radio buttons follow it";
  EXPECT_FALSE(form.FindControl("r2")->IsEnabled());
  form.Show("edit", false);
  EXPECT_FALSE(form.FindControl("edit")->IsShown());
  EXPECT_EQ(form.SetToolTip("check", "Keep a copy"), 1);
  EXPECT_EQ(form.Host()->ToolTips().Text(form.FindControl("check")), "Keep a copy");

  form.SetValue("count", 12);
  EXPECT_EQ(form.GetValue("count"), 12u);
  EXPECT_EQ(form.GetValue("never set"), 0u);

  TraceCapture trace;
  std::string untouched = "kept";
  EXPECT_EQ(form.SetText("missing", "x"), -1);
  EXPECT_EQ(form.GetText("missing", untouched), -1);
  EXPECT_EQ(form.Enable("missing", true), -1);
  EXPECT_EQ(form.Show("missing", true), -1);
  EXPECT_EQ(form.FindControl("missing"), nullptr);
  EXPECT_EQ(untouched, "kept");
  EXPECT_NE(trace.Text().find("Tile missing is not found"), std::string::npos);
}

TEST_F(EZDialogTest, PicturesPagesAndHooks) {
  struct Recorder : PopDialogEvent {
    std::vector<std::string>& seen;
    explicit Recorder(std::vector<std::string>& s) : seen(s) {}
    void BeforeAddButton(EZDialog&, const std::string& name) override { seen.push_back("before " + name); }
    void AfterAddButton(EZDialog&, const std::string& name, int index) override {
      seen.push_back("after " + name + " " + std::to_string(index));
    }
    void BeforeShow(EZDialog&) override { seen.push_back("show"); }
    void AfterShow(EZDialog&) override { seen.push_back("shown"); }
    void BeforeRun(EZDialog&) override { seen.push_back("run"); }
    void AfterRun(EZDialog&, int result) override { seen.push_back("ran " + std::to_string(result)); }
  };
  std::vector<std::string> seen;
  EZDialog form;
  form.Create(nullptr, FormFrame{.title = "Pages"});
  form.SetEvents(std::make_unique<Recorder>(seen));
  form.AddLabel("logo", 48, kAlignLeft, "");
  EXPECT_EQ(form.SetTileImage("logo", wxArtProvider::GetBitmap(wxART_WARNING, wxART_MESSAGE_BOX, wxSize(48, 48))), 1);
  form.SetTilePage(0);
  form.AddLabel("first", 10, kAlignLeft, "First page");
  form.SetTilePage(1);
  form.AddLabel("second", 30, kAlignLeft, "Second page");
  form.SetTilePage(-1);
  form.AddButton("ok", 8, "OK", Ends(form, 1));
  EXPECT_EQ(form.SetTileImage("ok", wxNullBitmap), -1) << "only labels show pictures";
  form.LayOutAndShow(true, false);

  EXPECT_NE(dynamic_cast<wxStaticBitmap*>(form.FindControl("logo")), nullptr);
  EXPECT_EQ(form.FindControl("logo")->GetSize().x, 48) << "a picture's width is pixels";
  EXPECT_TRUE(form.FindControl("first")->IsShown());
  EXPECT_FALSE(form.FindControl("second")->IsShown());
  form.ShowPage(1);
  EXPECT_FALSE(form.FindControl("first")->IsShown());
  EXPECT_TRUE(form.FindControl("second")->IsShown());
  const LayoutRect& second = form.Layout().tiles[2];
  EXPECT_EQ(form.FindControl("second")->GetPosition(), wxPoint(second.left, second.top));
  script_.Show<PopDialog>([&](PopDialog&) { Click(ButtonOf(form, "ok")); });
  form.RunModal();
  EXPECT_EQ(seen, (std::vector<std::string>{"before ok", "after ok 3", "show", "shown", "run", "ran 1"}));
}

TEST_F(EZDialogTest, ListViewHeadersSortNaturallyAndASecondClickReverses) {
  EZDialog form;
  form.Create(nullptr, FormFrame{.title = "List"});
  form.AddTile("files", TileType::kListView, 40, "", TileOptions{.height = 5});
  form.RegisterCallback("files", log_.Record(), kEventItemChange | kEventDoubleClick | kEventInserted);
  form.LayOutAndShow(false, false);
  auto* list = dynamic_cast<wxListCtrl*>(form.FindControl("files"));
  ASSERT_NE(list, nullptr);
  list->InsertColumn(0, "Name");
  list->InsertColumn(1, "Size");
  const std::vector<std::pair<std::string, std::string>> rows{{"job10.crd", "100"}, {"JOB2.crd", "20"}, {"a1", "3"}};
  for (size_t i = 0; i < rows.size(); ++i) {
    const long item = list->InsertItem(static_cast<long>(i), rows[i].first);
    list->SetItem(item, 1, rows[i].second);
    list->SetItemData(item, 100 + static_cast<long>(i));
  }
  log_.calls.clear();  // whatever the control reported while it was filled

  const auto column = [&](int col) {
    std::vector<std::string> texts;
    for (long row = 0; row < list->GetItemCount(); ++row) texts.push_back(FromWx(list->GetItemText(row, col)));
    return texts;
  };
  const auto click_header = [&](int col) {
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.SetEventObject(list);
    click.m_col = col;
    list->ProcessWindowEvent(click);
  };
  click_header(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"a1", "JOB2.crd", "job10.crd"}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"3", "20", "100"})) << "rows move whole";
  EXPECT_EQ(list->GetItemData(0), 102u) << "with their item data";
  click_header(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"job10.crd", "JOB2.crd", "a1"}));
  click_header(1);
  EXPECT_EQ(column(1), (std::vector<std::string>{"3", "20", "100"}));

  for (const auto type : {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_ACTIVATED, wxEVT_LIST_INSERT_ITEM}) {
    wxListEvent event(type, list->GetId());
    event.SetEventObject(list);
    list->ProcessWindowEvent(event);
  }
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"files:32", "files:16", "files:1"}));
  std::string selected;
  form.SetText("files", "1");
  form.GetText("files", selected);
  EXPECT_EQ(selected, "1");
}

TEST_F(EZDialogTest, FormFontsFollowTheHeightRule) {
  EXPECT_TRUE(FormFont(10, false).IsFixedWidth()) << FormFont(10, false).GetFaceName();
  EXPECT_FALSE(FormFont(14, false).IsFixedWidth()) << FormFont(14, false).GetFaceName();
  EXPECT_EQ(FormFont(14, true).GetWeight(), wxFONTWEIGHT_BOLD);
  EXPECT_EQ(FormFont(0, false), wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
}

// --- the text input window ---

TEST_F(EZDialogTest, TextInputWindowAcceptsWithOkOrEnterAndCancelsWithCancelOrEscape) {
  std::string text = "JOB1";
  script_.Show<PopDialog>([](PopDialog& host) {
    EZDialog& form = *host.Form();
    EXPECT_EQ(host.GetTitle(), "Name ALN file to create");
    auto* edit = dynamic_cast<wxTextCtrl*>(form.FindControl("edit"));
    EXPECT_EQ(wxWindow::FindFocus(), edit) << "the focus starts in the field";
    EXPECT_EQ(edit->GetStringSelection(), "JOB1") << "with its text selected";
    edit->SetValue("ROAD");
    Click(ButtonOf(form, "ok"));
  });
  EXPECT_EQ(RunTextInputWindow(nullptr, "Name ALN file to create", "Enter name of ALN file to create", text), 1);
  EXPECT_EQ(text, "ROAD");

  script_.Show<PopDialog>([](PopDialog& host) {
    auto* edit = dynamic_cast<wxTextCtrl*>(host.Form()->FindControl("edit"));
    edit->SetValue("ROAD2");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, edit->GetId());
    enter.SetEventObject(edit);
    edit->ProcessWindowEvent(enter);
  });
  EXPECT_EQ(RunTextInputWindow(nullptr, "T", "P", text), 1);
  EXPECT_EQ(text, "ROAD2");

  script_.Show<PopDialog>([](PopDialog& host) {
    dynamic_cast<wxTextCtrl*>(host.Form()->FindControl("edit"))->SetValue("LOST");
    Click(ButtonOf(*host.Form(), "cancel"));
  });
  EXPECT_EQ(RunTextInputWindow(nullptr, "T", "P", text), 0);
  script_.Show<PopDialog>([](PopDialog&) { PressKey(WXK_ESCAPE); });
  EXPECT_EQ(RunTextInputWindow(nullptr, "T", "P", text), 0);
  EXPECT_EQ(text, "ROAD2");
}

// --- remembered window positions ---

class WindowPositionTest : public EZDialogTest {
 protected:
  WindowPositionTest() { SetDataFolder(folder_.Path()); }
  ~WindowPositionTest() override { SetDataFolder({}); }
  testing::TempDir folder_;
};

TEST_F(WindowPositionTest, RestoreClampsToTheScreenAndSaveWritesTheDataFolder) {
  auto* resizable = new wxFrame(nullptr, wxID_ANY, "viewer");
  EXPECT_EQ(RestoreWindowPosition(*resizable, "viewer"), 0) << "nothing saved yet";
  folder_.Write("dialogs.ini", "viewer,-30,-40,400,300,0\nfixed,50,60,900,900,0\n");
  EXPECT_EQ(RestoreWindowPosition(*resizable, "viewer"), 1);
  EXPECT_EQ(resizable->GetRect(), wxRect(0, 0, 400, 300)) << "moved to the screen's corner and sized";
  resizable->SetSize(20, 30, 500, 350);
  EXPECT_EQ(SaveWindowPosition(*resizable, "viewer"), 1);
  std::string ini;
  ReadWholeFile(folder_ / "dialogs.ini", ini);
  EXPECT_EQ(ini, "fixed,50,60,900,900,0\nviewer,20,30,520,380,0\n");

  auto* fixed = new wxDialog(nullptr, wxID_ANY, "fixed", wxPoint(5, 5), wxSize(200, 100), wxCAPTION);
  EXPECT_EQ(RestoreWindowPosition(*fixed, "fixed"), 1);
  EXPECT_EQ(fixed->GetPosition(), wxPoint(50, 60));
  EXPECT_EQ(fixed->GetSize(), wxSize(200, 100)) << "a window of fixed size is only moved";
  resizable->Destroy();
  fixed->Destroy();
}

}  // namespace
}  // namespace pelikon
