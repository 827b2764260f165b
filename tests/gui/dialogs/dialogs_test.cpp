// The small windows driven as a user would, through the dialog script of
// gui/dialog_script.h.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/dirdlg.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "app/options/option_texts.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/dialogs/baud_dialog.h"
#include "gui/dialogs/dir_dialog.h"
#include "gui/dialogs/dir_sort_dialog.h"
#include "gui/dialogs/file_mask_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/path_dialog.h"
#include "gui/dialogs/progress_dialog.h"
#include "gui/dialogs/yes_no_dialog.h"
#include "gui/user_input.h"
#include "platform/ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::Click;
using testing::DialogScript;
using testing::kLeftOpen;
using testing::PressKey;

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::FailOnWxAssertions(); }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  DialogScript script_;
};

void Choose(wxRadioButton* side) {
  side->SetValue(true);
  wxCommandEvent chosen(wxEVT_RADIOBUTTON, side->GetId());
  chosen.SetEventObject(side);
  chosen.SetInt(1);
  side->ProcessWindowEvent(chosen);
}

// --- the focus rule and the mask dialog ---

// Return typed into the field accepts, Escape cancels: each text dialog
// worked with the keyboard through the X server.
TEST_F(DialogsTest, ReturnInTheFieldAcceptsEveryTextDialogAndEscapeCancelsIt) {
  const auto type_then = [](wxTextCtrl* field, const std::string& text, int key) {
    ASSERT_EQ(wxWindow::FindFocus(), field) << "the field has the focus from the start";
    testing::UserInput input;
    ASSERT_TRUE(input.Key('A', wxMOD_CONTROL));  // replaces what the field held
    for (const char c : text) ASSERT_TRUE(input.Key(c));
    ASSERT_TRUE(input.Key(key));
    testing::Settle();
  };
  for (const CFileMask::Form form : {CFileMask::Form::kMask, CFileMask::Form::kRename}) {
    std::string text = "*.*";
    CFileMask dialog(nullptr, form, text);
    script_.Show<CFileMask>([&](CFileMask& d) { type_then(d.Field(), "job.crd", WXK_RETURN); });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(text, "job.crd");
    script_.Show<CFileMask>([&](CFileMask& d) { type_then(d.Field(), "other", WXK_ESCAPE); });
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
    EXPECT_EQ(text, "job.crd") << "Escape keeps the text";
  }
  CDir make_dir(nullptr, "Enter directory to create", true);
  script_.Show<CDir>([&](CDir& d) { type_then(d.Field(), "jobs", WXK_ESCAPE); });
  EXPECT_EQ(make_dir.ShowModal(), wxID_CANCEL);
  EXPECT_EQ(make_dir.Name(), "");
  CPath set_path(nullptr, "Enter path", "/srv", true, true);
  script_.Show<CPath>([&](CPath& d) { type_then(d.Field(), "/tmp", WXK_ESCAPE); });
  EXPECT_EQ(set_path.ShowModal(), wxID_CANCEL);
  EXPECT_EQ(set_path.Path(), "");
}

TEST_F(DialogsTest, EnterOnOkAcceptsAndEnterOnCancelCancels) {
  std::string mask = "*.*";
  CFileMask dialog(nullptr, CFileMask::Form::kMask, mask);
  script_.Show<CFileMask>([](CFileMask& d) {
    d.Field()->SetValue("*.crd");
    d.OkButton()->SetFocus();
    ASSERT_EQ(wxWindow::FindFocus(), d.OkButton());
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
  EXPECT_EQ(mask, "*.crd");
  script_.Show<CFileMask>([](CFileMask& d) {
    d.Field()->SetValue("*.txt");
    d.CancelButton()->SetFocus();
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
  EXPECT_EQ(mask, "*.crd");
}

TEST_F(DialogsTest, OkClickAcceptsWhereverTheFocusIsAndAnEmptyFieldKeepsTheText) {
  std::string name = "JOB1.crd";
  CFileMask dialog(nullptr, CFileMask::Form::kRename, name);
  EXPECT_EQ(dialog.GetTitle(), "File Name to Rename to");
  EXPECT_EQ(dialog.Field()->GetValue(), "JOB1.crd") << "pre-filled with the shared text";
  script_.Show<CFileMask>([](CFileMask& d) {
    d.Field()->SetValue("");
    d.Field()->SetFocus();
    Click(d.OkButton());
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
  EXPECT_EQ(name, "JOB1.crd");
}

TEST_F(DialogsTest, CancelAndEscapeLeaveTheText) {
  std::string mask = "*.*";
  CFileMask dialog(nullptr, CFileMask::Form::kMask, mask);
  script_.Show<CFileMask>([](CFileMask& d) {
    d.Field()->SetValue("*.rw5");
    Click(d.CancelButton());
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
  script_.Show<CFileMask>([](CFileMask& d) {
    d.Field()->SetValue("*.rw5");
    d.Field()->SetFocus();
    PressKey(WXK_ESCAPE);
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
  EXPECT_EQ(mask, "*.*");
}

// --- sort and speed ---

TEST_F(DialogsTest, SortDialogStartsOnTheSharedTextAndStoresTheChoice) {
  std::string sort = "BY DATE";
  CDirSort dialog(nullptr, sort);
  EXPECT_EQ(dialog.Orders()->GetSelection(), kSortByDate);
  script_.Show<CDirSort>([](CDirSort& d) {
    d.Orders()->SetSelection(kSortBySize);
    Click(d.OkButton());
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
  EXPECT_EQ(sort, "BY SIZE");

  std::string unknown = "SIDEWAYS";
  CDirSort off(nullptr, unknown);
  EXPECT_EQ(off.Orders()->GetSelection(), kSortOff);
  script_.Show<CDirSort>([](CDirSort& d) { Click(d.OkButton()); });
  off.ShowModal();
  EXPECT_EQ(unknown, "OFF");
}

TEST_F(DialogsTest, BaudDialogStoresTheCheckedSpeedOnlyWhenAccepted) {
  std::string speed = "38400";
  CBaud dialog(nullptr, speed);
  ASSERT_EQ(dialog.Rates()->GetCount(), kBaudRates.size());
  EXPECT_EQ(dialog.Rates()->GetString(dialog.Rates()->GetSelection()), "38400");
  script_.Show<CBaud>([](CBaud& d) {
    d.Rates()->SetSelection(5);
    Click(d.CancelButton());
  });
  dialog.ShowModal();
  EXPECT_EQ(speed, "38400");
  script_.Show<CBaud>([](CBaud& d) {
    d.Rates()->SetSelection(5);
    Click(d.OkButton());
  });
  dialog.ShowModal();
  EXPECT_EQ(speed, "115200");
}

// --- Options ---

class OptionsTest : public DialogsTest {
 protected:
  OptionsTest() {
    TransferSettings settings;
    settings.com = 3;
    texts_ = OptionTextsFrom(settings);
  }
  static std::string Device(int com) { return "/dev/ttyS" + std::to_string(com - 1); }

  // Runs the Options dialog with `act` playing the user.
  int RunOptions(std::function<void(COptions&)> act) {
    COptions options(nullptr, texts_, Device, remembered_);
    script_.Show<COptions>(std::move(act));
    return options.ShowModal();
  }

  OptionTexts texts_;
  std::string remembered_ = "OLD.TXT";  // the name dialog's last text
};

TEST_F(OptionsTest, LinkListNamesEachPortsDeviceAndGivesItsIndex) {
  const int result = RunOptions([](COptions& d) {
    wxChoice* link = d.LinkChoice();
    ASSERT_EQ(link->GetCount(), 100u);
    EXPECT_EQ(link->GetSelection(), 3) << "starts on the settings' port";
    EXPECT_EQ(link->GetString(0), "ActiveSync");
    EXPECT_EQ(link->GetString(1), "COM1  (/dev/ttyS0)");
    EXPECT_EQ(link->GetString(99), "COM99  (/dev/ttyS98)");
    link->SetSelection(12);
    Click(d.OkButton());
  });
  EXPECT_EQ(result, wxID_OK);
  EXPECT_EQ(texts_.link_index, 12);

  RunOptions([](COptions& d) {
    d.LinkChoice()->SetSelection(0);
    Click(d.OkButton());
  });
  EXPECT_EQ(texts_.link_index, kLinkIndexActiveSync);
}

TEST_F(OptionsTest, ToggleTwiceReturnsCancelDiscardsEvenAChangedValue) {
  RunOptions([](COptions& d) {
    EXPECT_EQ(d.ShownValue("del"), "YES");
    Click(d.ButtonFor("del"));
    EXPECT_EQ(d.ShownValue("del"), "NO");
    Click(d.ButtonFor("del"));
    EXPECT_EQ(d.ShownValue("del"), "YES");
    Click(d.OkButton());
  });
  EXPECT_EQ(texts_["del"], "YES");

  const OptionTexts before = texts_;
  const int result = RunOptions([](COptions& d) {
    Click(d.ButtonFor("del"));
    Click(d.ButtonFor("spcl"));
    d.LinkChoice()->SetSelection(40);
    Click(d.CancelButton());
  });
  EXPECT_EQ(result, wxID_CANCEL);
  EXPECT_EQ(texts_["del"], before["del"]);
  EXPECT_EQ(texts_["spcl"], before["spcl"]);
  EXPECT_EQ(texts_.link_index, before.link_index);
}

TEST_F(OptionsTest, EveryValueGoesBackOnOk) {
  RunOptions([this](COptions& d) {
    for (const auto value : {"spcl", "ovrwt", "remote", "archive"}) Click(d.ButtonFor(value));
    script_.Show<CDirSort>([](CDirSort& sort) {
      sort.Orders()->SetSelection(kSortByDate);
      Click(sort.OkButton());
    });
    Click(d.ButtonFor("sort"));
    EXPECT_EQ(d.ShownValue("sort"), "BY DATE");
    script_.Show<CBaud>([](CBaud& baud) {
      baud.Rates()->SetSelection(1);
      Click(baud.OkButton());
    });
    Click(d.ButtonFor("baud"));
    EXPECT_EQ(d.ShownValue("baud"), "9600");
    d.OkButton()->SetFocus();
    PressKey(WXK_RETURN);
  });
  EXPECT_EQ(texts_["spcl"], "YES");
  EXPECT_EQ(texts_["ovrwt"], "NO");
  EXPECT_EQ(texts_["remote"], "NO");
  EXPECT_EQ(texts_["archive"], "NO");
  EXPECT_EQ(texts_["del"], "YES");
  EXPECT_EQ(texts_["sort"], "BY DATE");
  EXPECT_EQ(texts_["baud"], "9600");
}

TEST_F(OptionsTest, MaskWithABlankIsRefusedAndTheOldOneStays) {
  std::vector<std::string> boxes;
  RunOptions([&](COptions& d) {
    script_.Show<CFileMask>([](CFileMask& mask) {
      mask.Field()->SetValue("*.c rd");
      Click(mask.OkButton());
    });
    script_.Answer<wxMessageDialog>([&](wxMessageDialog& box) {
      boxes.push_back(FromWx(box.GetCaption()) + "|" + FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
    Click(d.ButtonFor("mask"));
    EXPECT_EQ(d.ShownValue("mask"), "*.*");

    script_.Show<CFileMask>([](CFileMask& mask) {
      EXPECT_EQ(mask.Field()->GetValue(), "*.*") << "the refused mask is not offered again";
      mask.Field()->SetValue("*.rw5");
      Click(mask.OkButton());
    });
    Click(d.ButtonFor("mask"));
    EXPECT_EQ(d.ShownValue("mask"), "*.rw5");

    d.LinkChoice()->SetFocus();
    PressKey(WXK_RETURN);
    EXPECT_TRUE(d.IsModal()) << "Enter on the port list accepted Options";
    Click(d.OkButton());
  });
  EXPECT_EQ(boxes, std::vector<std::string>{"Pelikon Message|Mask can not contain spaces"}) << "no leading blank";
  EXPECT_EQ(texts_["mask"], "*.rw5");
}

TEST_F(OptionsTest, DockedEntryShowsTheDeviceFolderAndTheChooserTakesAnother) {
  testing::TempDir mounted;
  const std::filesystem::path before = mounted / "OLD";
  const std::filesystem::path device = mounted / "COLLECTOR";
  std::filesystem::create_directories(before);
  std::filesystem::create_directories(device);
  // Without a window manager keys go to the window under the pointer; the
  // chooser opens centred over Options and covers it.
  const auto point_at = [](const wxWindow& window) {
    const wxRect rect = window.GetScreenRect();
    wxUIActionSimulator().MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
    testing::Settle();
  };
  const int cancelled = RunOptions([&](COptions& d) {
    EXPECT_FALSE(d.DeviceFolderButton()->IsEnabled()) << "COM3 has no device folder";
    EXPECT_FALSE(d.DeviceFolderLine()->IsEnabled());
    point_at(d);
    testing::UserInput input;
    d.LinkChoice()->SetFocus();
    ASSERT_TRUE(input.Key(WXK_HOME));  // the list's first entry: the docked link
    ASSERT_TRUE(testing::YieldUntil([&] { return d.DeviceFolderButton()->IsEnabled(); }));
    EXPECT_EQ(d.LinkChoice()->GetSelection(), kLinkIndexActiveSync);
    EXPECT_TRUE(d.DeviceFolderLine()->IsEnabled());
    EXPECT_EQ(d.DeviceFolderLine()->GetLabelText(), "Media device mounted by the desktop (found at connect)");
    ASSERT_TRUE(input.Key(WXK_ESCAPE));
  });
  EXPECT_EQ(cancelled, wxID_CANCEL);
  EXPECT_EQ(texts_.link_index, 3);

  texts_.device_folder = before.string();
  bool chooser_closed = false;
  RunOptions([&](COptions& d) {
    point_at(d);
    testing::UserInput input;
    d.LinkChoice()->SetFocus();
    ASSERT_TRUE(input.Key(WXK_HOME));
    ASSERT_TRUE(testing::YieldUntil([&] { return d.DeviceFolderButton()->IsEnabled(); }));
    EXPECT_EQ(d.DeviceFolderLine()->GetLabelText(), wxString(before.string()));

    // The chooser is the desktop's own, opened on the folder in use; its
    // location field takes the new one.
    script_.Show<wxDirDialog>([&](wxDirDialog& chooser) {
      EXPECT_EQ(chooser.GetMessage(), "Select Device Folder");
      EXPECT_EQ(chooser.GetParent(), &d) << "opens over Options";
      ASSERT_TRUE(testing::YieldUntil([&] { return chooser.IsShownOnScreen(); }));
      point_at(d);
      wxUIActionSimulator keys;
      keys.Char('l', wxMOD_CONTROL);
      testing::Settle();
      keys.Text(device.string().c_str());
      testing::Settle();
      keys.Char(WXK_RETURN);
      chooser_closed = testing::YieldUntil([&] { return !chooser.IsModal(); });
    });
    ASSERT_TRUE(input.Key('l', wxMOD_ALT));
    ASSERT_TRUE(testing::YieldUntil([&] { return script_.Done(); })) << "Alt+L did not open the chooser";
    testing::Settle();
    EXPECT_TRUE(chooser_closed) << "the chooser did not take the typed folder";
    EXPECT_EQ(d.DeviceFolderLine()->GetLabelText(), wxString(device.string()));

    // Back on a COM port the folder stays but cannot be changed.
    d.LinkChoice()->SetFocus();
    ASSERT_TRUE(input.Key(WXK_DOWN));
    ASSERT_TRUE(testing::YieldUntil([&] { return !d.DeviceFolderButton()->IsEnabled(); }));
    EXPECT_EQ(d.LinkChoice()->GetSelection(), 1);
    ASSERT_TRUE(input.Click(d.OkButton()));
  });
  EXPECT_EQ(texts_.link_index, 1);
  EXPECT_EQ(texts_.device_folder, device.string());
}

TEST_F(DialogsTest, RadioButtonsKeepTheirFramesMargin) {
  // Measured on the screen, as shown.
  const auto check = [](const wxDialog& dialog, const RadioFrame& frame) {
    const wxRect box = frame.Frame()->GetScreenRect();
    for (unsigned i = 0; i < frame.GetCount(); ++i) {
      const wxRect button = frame.Button(i)->GetScreenRect();
      EXPECT_GE(button.GetLeft() - box.GetLeft(), dialog.FromDIP(6)) << frame.GetString(i);
      EXPECT_GE(box.GetRight() - button.GetRight(), dialog.FromDIP(6)) << frame.GetString(i);
      EXPECT_TRUE(box.Contains(button)) << frame.GetString(i);
    }
  };
  std::string speed = "9600";
  CBaud baud(nullptr, speed);
  script_.Show<CBaud>([&](CBaud& d) { check(d, *d.Rates()); });
  baud.ShowModal();
  std::string order = "BY DATE";
  CDirSort sort(nullptr, order);
  script_.Show<CDirSort>([&](CDirSort& d) { check(d, *d.Orders()); });
  sort.ShowModal();
}

TEST_F(DialogsTest, NoTitleIsCut) {
  std::string text = "38400";
  CBaud baud(nullptr, text);
  EXPECT_GE(baud.GetClientSize().x, baud.TitleWidth()) << "\"Select Baud Rate\" is shown whole";
  CDirSort sort(nullptr, text);
  EXPECT_GE(sort.GetClientSize().x, sort.TitleWidth());
  CFileMask rename(nullptr, CFileMask::Form::kRename, text);
  EXPECT_GE(rename.GetClientSize().x, rename.TitleWidth());
}

// --- Make dir and Set Path ---

TEST_F(DialogsTest, MakeDirGivesNameAndSideAndNothingOnCancel) {
  CDir offline(nullptr, "Enter directory to create", false);
  EXPECT_FALSE(offline.RemoteSide()->IsEnabled());
  EXPECT_TRUE(offline.LocalSide()->GetValue());
  script_.Show<CDir>([](CDir& d) {
    d.Field()->SetValue("Jobs");
    Click(d.CancelButton());
  });
  offline.ShowModal();
  EXPECT_EQ(offline.Name(), "");

  CDir online(nullptr, "Enter directory to create", true);
  EXPECT_TRUE(online.RemoteSide()->IsEnabled());
  script_.Show<CDir>([](CDir& d) {
    d.Field()->SetValue("Jobs");
    Choose(d.RemoteSide());
    Click(d.OkButton());
  });
  EXPECT_EQ(online.ShowModal(), wxID_OK);
  EXPECT_EQ(online.Name(), "Jobs");
  EXPECT_FALSE(online.LocalChosen());
}

TEST_F(DialogsTest, EnterInTheMakeDirOrSetPathFieldAcceptsLikeOk) {
  // Typed and pressed on the keyboard, through the X server.
  CDir make_dir(nullptr, "Enter directory to create", true);
  script_.Show<CDir>([](CDir& d) {
    ASSERT_EQ(wxWindow::FindFocus(), d.Field());
    testing::UserInput input;
    for (const char key : std::string("NEWDIR")) ASSERT_TRUE(input.Key(key, wxMOD_SHIFT));
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(make_dir.ShowModal(), wxID_OK);
  EXPECT_EQ(make_dir.Name(), "NEWDIR");
  EXPECT_TRUE(make_dir.LocalChosen());

  CPath set_path(nullptr, "Enter path", "/srv", true, true);
  script_.Show<CPath>([](CPath& d) {
    d.Field()->SetFocus();
    d.Field()->SetInsertionPointEnd();
    testing::UserInput input;
    ASSERT_TRUE(input.Key('/'));
    ASSERT_TRUE(input.Key('g'));
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(set_path.ShowModal(), wxID_OK);
  EXPECT_EQ(set_path.Path(), "/srv/g");

  // On a button Enter still presses that button.
  CDir cancelled(nullptr, "Enter directory to create", true);
  script_.Show<CDir>([](CDir& d) {
    d.Field()->SetValue("Jobs");
    d.CancelButton()->SetFocus();
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(cancelled.ShowModal(), wxID_CANCEL);
  EXPECT_EQ(cancelled.Name(), "");
}

TEST_F(DialogsTest, SetPathOffersSelectOnlyForTheLocalSide) {
  CPath path(nullptr, "Enter path", "\\Program Files", false, true);
  EXPECT_TRUE(path.RemoteSide()->GetValue()) << "the focused pane's side";
  EXPECT_FALSE(path.SelectButton()->IsEnabled());
  script_.Show<CPath>([this](CPath& d) {
    Choose(d.LocalSide());
    EXPECT_TRUE(d.SelectButton()->IsEnabled());
    // The native browser cannot be filled in without showing it; that it
    // opens, and that giving it up leaves the field, is what is checked.
    script_.Answer<wxDirDialog>([&d](wxDirDialog& browser) {
      EXPECT_EQ(browser.GetMessage(), "Select Folder");
      EXPECT_EQ(browser.GetParent(), &d) << "opens over the path dialog";
      return static_cast<int>(wxID_CANCEL);
    });
    Click(d.SelectButton());
    EXPECT_EQ(d.Field()->GetValue(), "\\Program Files");
    d.Field()->SetValue("/srv/geoid");
    Choose(d.RemoteSide());
    EXPECT_FALSE(d.SelectButton()->IsEnabled());
    Choose(d.LocalSide());
    Click(d.OkButton());
  });
  EXPECT_EQ(path.ShowModal(), wxID_OK);
  EXPECT_EQ(path.Path(), "/srv/geoid");
  EXPECT_TRUE(path.LocalChosen());

  CPath offline(nullptr, "Enter path", "/home", false, false);
  EXPECT_TRUE(offline.LocalSide()->GetValue()) << "a remote side that is unreachable is not preselected";
  EXPECT_TRUE(offline.SelectButton()->IsEnabled());
}

// --- questions and messages ---

std::vector<wxString> ButtonLabels(const CYesNoDlg& dialog) {
  std::vector<wxString> labels;
  for (const int answer : {kAnswerRename, kAnswerYesAll, kAnswerNoAll, kAnswerYes, kAnswerNo})
    if (wxButton* button = dialog.ButtonFor(answer)) labels.push_back(button->GetLabel());
  return labels;
}

bool LeftOf(wxWindow* a, wxWindow* b) {
  return a->GetPosition().x < b->GetPosition().x;
}

bool ShowsText(const wxWindow& dialog, const wxString& text) {
  for (const wxWindow* child : dialog.GetChildren())
    if (const auto* control = dynamic_cast<const wxControl*>(child); control && control->GetLabelText() == text)
      return true;
  return false;
}

TEST_F(DialogsTest, YesNoButtonsFollowTheFlags) {
  using Labels = std::vector<wxString>;
  EXPECT_EQ(ButtonLabels(CYesNoDlg(nullptr, "Overwrite?", "Confirm", 0)), (Labels{"&Yes", "&No"}));
  EXPECT_EQ(ButtonLabels(CYesNoDlg(nullptr, "Overwrite?", "Confirm", kOfferYesAll)), (Labels{"&Yes", "&No"}))
      << "the all answers come only as a pair";
  EXPECT_EQ(ButtonLabels(CYesNoDlg(nullptr, "Overwrite?", "Confirm", 0x26)),
            (Labels{"Yes All", "No All", "&Yes", "&No"}));
  CYesNoDlg full(nullptr, "Overwrite?", "Confirm", 0xA6);
  EXPECT_EQ(ButtonLabels(full), (Labels{"&Rename", "Yes All", "No All", "&Yes", "&No"}));
  EXPECT_EQ(full.GetTitle(), "Confirm");
  EXPECT_TRUE(LeftOf(full.ButtonFor(kAnswerRename), full.ButtonFor(kAnswerYesAll)));
  EXPECT_TRUE(LeftOf(full.ButtonFor(kAnswerNoAll), full.ButtonFor(kAnswerYes)));
  EXPECT_TRUE(LeftOf(full.ButtonFor(kAnswerYes), full.ButtonFor(kAnswerNo)));
}

TEST_F(DialogsTest, YesNoAnswersAndADismissedQuestionIsNo) {
  CYesNoDlg dialog(nullptr, "File exists. Overwrite?", "Confirm", 0xA6);
  for (const int answer : {kAnswerRename, kAnswerYesAll, kAnswerNoAll, kAnswerYes, kAnswerNo}) {
    script_.Show<CYesNoDlg>([answer](CYesNoDlg& d) { Click(d.ButtonFor(answer)); });
    EXPECT_EQ(dialog.ShowModal(), answer);
  }
  script_.Show<CYesNoDlg>([](CYesNoDlg& d) { d.Close(); });
  EXPECT_EQ(dialog.ShowModal(), kAnswerNo) << "close box";
  script_.Show<CYesNoDlg>([](CYesNoDlg& d) {
    d.ButtonFor(kAnswerYesAll)->SetFocus();
    PressKey(WXK_ESCAPE);
  });
  EXPECT_EQ(dialog.ShowModal(), kAnswerNo) << "Escape";
  script_.Show<CYesNoDlg>([](CYesNoDlg&) {});  // ended from outside, with no answer
  EXPECT_EQ(dialog.ShowModal(), kAnswerNo);
}

TEST_F(DialogsTest, ReturnAnswersNoUnlessTheQuestionSaysYesIsHarmless) {
  const auto press_return = [](CYesNoDlg&) {
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  };
  CYesNoDlg delete_question(nullptr, "OK to delete LOCAL file a.txt ?", "Delete File", 0x26);
  script_.Show<CYesNoDlg>(press_return);
  EXPECT_EQ(delete_question.ShowModal(), kAnswerNo);

  CYesNoDlg harmless(nullptr, "Would you like to also include all files by the same job name(s)?", "Additional Files",
                     kQuestionIcon | kDefaultYes);
  script_.Show<CYesNoDlg>(press_return);
  EXPECT_EQ(harmless.ShowModal(), kAnswerYes);
}

TEST_F(DialogsTest, MessageWindowsShowTheirTextsAsGiven) {
  CComError error(nullptr, "Communications Failure & more");
  EXPECT_EQ(error.GetTitle(), "ERROR!");
  EXPECT_EQ(error.CancelButton(), nullptr);
  script_.Show<CComError>([](CComError& d) {
    EXPECT_TRUE(ShowsText(d, "Communications Failure & more")) << "a shown \"&\", not a mnemonic";
    Click(d.OkButton());
  });
  EXPECT_EQ(error.ShowModal(), wxID_OK);

  CMsgDlg message(nullptr, "File Transfer", "Complete");
  EXPECT_EQ(message.GetTitle(), "MESSAGE");
  script_.Show<CMsgDlg>([](CMsgDlg& d) { d.Close(); });
  EXPECT_NE(message.ShowModal(), kLeftOpen) << "the close box closes it";
}

// --- the progress window ---

TEST_F(DialogsTest, ProgressWindowHoldsTheMainWindowAndOnlyCancelsOnClose) {
  auto* main_window = new wxFrame(nullptr, wxID_ANY, "main");
  main_window->Show();
  int cancels = 0;
  CAviDlg* progress = new CAviDlg(main_window, [&] { ++cancels; });
  EXPECT_TRUE(progress->IsShown());
  EXPECT_EQ(progress->GetTitle(), "Transfer in progress, Please Wait...");
  EXPECT_FALSE(main_window->IsEnabled());
  EXPECT_EQ(progress->Bar(), 0);
  EXPECT_EQ(progress->Status(), "");

  progress->SetBar(42);
  EXPECT_EQ(progress->Bar(), 42);
  progress->SetBar(250);
  EXPECT_EQ(progress->Bar(), 100);
  progress->SetBar(-3);
  EXPECT_EQ(progress->Bar(), 0);
  progress->SetStatus("Status: 12% of JOB&1.crd");
  EXPECT_EQ(progress->Status(), "Status: 12% of JOB&1.crd");
  progress->SetSubject("Receiving JOB&1.crd");
  EXPECT_EQ(progress->Subject(), "Receiving JOB&1.crd");
  progress->SetStatus("Status: Function cancelled at user request...Please wait...");
  EXPECT_TRUE(progress->StatusShownWhole()) << "the cancel text is never cut";
  const std::string long_text = "Status: " + std::string(120, 'x');
  progress->SetStatus(long_text);
  EXPECT_TRUE(progress->StatusShownWhole()) << "a longer text widens the window";

  Click(progress->CancelButton());
  Click(progress->CancelButton());
  EXPECT_EQ(cancels, 2) << "each press reaches the owner";
  progress->Close();
  EXPECT_EQ(cancels, 3) << "the close box cancels";
  EXPECT_TRUE(progress->IsShown()) << "and leaves the window to its owner";
  EXPECT_FALSE(main_window->IsEnabled());

  CAviDlg::Dismiss(progress);
  EXPECT_EQ(progress, nullptr);
  EXPECT_TRUE(main_window->IsEnabled());
  CAviDlg::Dismiss(progress);  // a second hide is harmless
  main_window->Destroy();
}

TEST_F(DialogsTest, ProgressWindowMayBeDismissedFromItsOwnCancel) {
  auto* main_window = new wxFrame(nullptr, wxID_ANY, "main");
  main_window->Show();
  CAviDlg* progress = nullptr;
  int cancels = 0;
  progress = new CAviDlg(main_window, [&] {
    ++cancels;
    // A press that arrives while the owner is still handling the first is
    // not passed on again.
    Click(progress->CancelButton());
    CAviDlg::Dismiss(progress);
  });
  Click(progress->CancelButton());
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(progress, nullptr);
  EXPECT_TRUE(main_window->IsEnabled());
  main_window->Destroy();
}

}  // namespace
}  // namespace pelikon
