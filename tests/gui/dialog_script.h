// Driving modal dialogs in window tests as a user would: every modal
// dialog that opens is met by the next step of a script, which acts
// inside the dialog's own modal loop and closes it if the step left it
// open, so a failing expectation never leaves a test hanging in a modal
// loop. Also clicks and keys delivered the way the toolkit sees them.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <typeinfo>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

namespace pelikon::testing {

// What ShowModal() returns when a step left its dialog open.
inline constexpr int kLeftOpen = -4242;

class DialogScript final : public wxModalDialogHook {
 public:
  DialogScript() { Register(); }
  ~DialogScript() override { Unregister(); }

  // The next modal dialog must be a `Dialog`; it is shown and `act` plays
  // the user inside its modal loop.
  template <class Dialog>
  void Show(std::function<void(Dialog&)> act) {
    steps_.push_back([act](wxDialog& shown) {
      auto* dialog = dynamic_cast<Dialog*>(&shown);
      if (dialog == nullptr) {
        ADD_FAILURE() << "unexpected dialog " << typeid(shown).name();
        return static_cast<int>(wxID_CANCEL);
      }
      dialog->CallAfter([dialog, act] {
        act(*dialog);
        if (dialog->IsModal()) dialog->EndModal(kLeftOpen);
      });
      return static_cast<int>(wxID_NONE);
    });
  }

  // The next modal dialog must be a `Dialog`; it is not shown: `answer`
  // reads or fills it and gives its result.
  template <class Dialog>
  void Answer(std::function<int(Dialog&)> answer) {
    steps_.push_back([answer](wxDialog& shown) {
      auto* dialog = dynamic_cast<Dialog*>(&shown);
      if (dialog == nullptr) {
        ADD_FAILURE() << "unexpected dialog " << typeid(shown).name();
        return static_cast<int>(wxID_CANCEL);
      }
      return answer(*dialog);
    });
  }

  bool Done() const { return steps_.empty(); }

 protected:
  int Enter(wxDialog* dialog) override {
    if (steps_.empty()) {
      ADD_FAILURE() << "no step for dialog " << typeid(*dialog).name() << " \"" << dialog->GetTitle() << '"';
      return wxID_CANCEL;
    }
    const auto step = steps_.front();
    steps_.pop_front();
    return step(*dialog);
  }

 private:
  std::deque<std::function<int(wxDialog&)>> steps_;
};

// A failed wx assertion would open a message box nobody closes: it fails
// the test instead.
inline void FailOnWxAssertions() {
  wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
    ADD_FAILURE() << "wx assertion " << cond << " (" << msg << ") at " << file << ':' << line;
  });
}

inline void Click(wxButton* button) {
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->IsEnabled()) << button->GetLabel();
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  button->ProcessWindowEvent(click);
}

// A key as GTK delivers it first: the char hook, starting at the focused
// window and travelling up to its dialog.
inline void PressKey(int key_code, bool alt = false) {
  wxWindow* focus = wxWindow::FindFocus();
  ASSERT_NE(focus, nullptr) << "no window has the focus";
  wxKeyEvent key(wxEVT_CHAR_HOOK);
  key.m_keyCode = key_code;
  key.SetAltDown(alt);
  key.SetEventObject(focus);
  key.ResumePropagation(wxEVENT_PROPAGATE_MAX);
  focus->HandleWindowEvent(key);
}

}  // namespace pelikon::testing
