// Real mouse and keyboard input for window tests. The events go through
// the X server (wx's UI action simulator), so the toolkit meets them as it
// meets a user's: a click lands on whatever is drawn at that point, a key
// goes to the window with the focus, and every handler in between runs.
//
// Each step waits until its event has reached the program (an input probe
// sees the button come up or the key go down), never for a fixed time,
// and says so when it never arrived.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/evtloop.h>
#include <wx/listctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

namespace pelikon::testing {

// Runs the program's loop until `done` holds or `seconds` pass. A loop of
// its own, not a yield: a handler that runs from it may yield itself (the
// link does, while it waits), as it may in the program. Not for use inside
// a modal dialog when what is waited for ends that dialog: a dialog ends
// only its own loop, and not while another one runs inside it.
inline bool RunUntil(const std::function<bool()>& done, double seconds = 20) {
  if (done()) return true;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  wxGUIEventLoop loop;
  wxTimer check;
  bool held = false;
  check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    held = done();
    // The check may come from a loop nested in this one (a modal window):
    // this loop then ends once that one has.
    if (held || std::chrono::steady_clock::now() > until) loop.ScheduleExit();
  });
  // Not much more often: the toolkit draws only in turns of the loop
  // that have no timer due.
  check.Start(10);
  loop.Run();
  check.Stop();
  return held || done();
}

// Yields to whatever waits until `done` holds or `seconds` pass: works
// anywhere, also inside a modal dialog that the awaited event ends; but a
// handler that runs from here cannot yield in turn.
inline bool YieldUntil(const std::function<bool()>& done, double seconds = 10) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    wxTheApp->Yield(true);
    wxMilliSleep(2);
  }
  return true;
}

// Lets everything already on its way be handled: runs the loop until
// nothing waits, several turns in a row.
inline void Settle() {
  int quiet_turns = 0;
  YieldUntil(
      [&] {
        quiet_turns = wxTheApp->Pending() || wxTheApp->HasPendingEvents() ? 0 : quiet_turns + 1;
        return quiet_turns >= 10;
      },
      5);
}

// Sees every mouse button that comes up and every key that goes down in
// the program, before any handler (or filter added earlier) can act on it
// or swallow it.
class InputProbe final : public wxEventFilter {
 public:
  InputProbe() { wxEvtHandler::AddFilter(this); }
  ~InputProbe() override { wxEvtHandler::RemoveFilter(this); }
  InputProbe(const InputProbe&) = delete;
  InputProbe& operator=(const InputProbe&) = delete;

  int FilterEvent(wxEvent& event) override {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LEFT_UP) {
      // The window and its parents, kept as they are now: the window may
      // be gone by the time anyone asks.
      std::vector<const wxWindow*> chain;
      for (const wxWindow* w = wxDynamicCast(event.GetEventObject(), wxWindow); w != nullptr; w = w->GetParent())
        chain.push_back(w);
      clicks_.push_back(std::move(chain));
    } else if (type == wxEVT_CHAR_HOOK) {
      // The first event of every key press, wherever the focus is.
      keys_.push_back(static_cast<wxKeyEvent&>(event).GetKeyCode());
    }
    return Event_Skip;
  }

  // Left button releases seen over `window` or its children.
  int ClicksOn(const wxWindow* window) const {
    int count = 0;
    for (const std::vector<const wxWindow*>& chain : clicks_)
      count += std::find(chain.begin(), chain.end(), window) != chain.end() ? 1 : 0;
    return count;
  }
  int KeysPressed(int key_code) const {
    int count = 0;
    for (const int key : keys_) count += key == key_code ? 1 : 0;
    return count;
  }

 private:
  std::vector<std::vector<const wxWindow*>> clicks_;
  std::vector<int> keys_;
};

// Made after the windows it works on, its probe sees input before their
// own filters do.
class UserInput {
 public:
  // Clicks `window` at `point` (its client coordinates) with the
  // modifier keys held (wxMOD_SHIFT, wxMOD_CONTROL); true once the click
  // has reached it.
  bool Click(wxWindow* window, wxPoint point, int modifiers = wxMOD_NONE, bool twice = false) {
    const int before = probe_.ClicksOn(window);
    SendClick(window, point, modifiers, twice);
    return YieldUntil([&] { return probe_.ClicksOn(window) >= before + (twice ? 2 : 1); });
  }
  bool Click(wxWindow* window, int modifiers = wxMOD_NONE) { return Click(window, Middle(window), modifiers); }
  // Sends a click on the middle of `window` without waiting for it: for a
  // click sent from inside a handler that is still running (the simulator
  // yields after each event it sends, so the click is handled there).
  void SendClick(wxWindow* window) { SendClick(window, Middle(window), wxMOD_NONE, false); }
  // Clicks row `row` of `list` on its name.
  bool ClickRow(wxListCtrl& list, long row, int modifiers = wxMOD_NONE) {
    return Click(&list, RowPoint(list, row), modifiers);
  }
  bool DoubleClickRow(wxListCtrl& list, long row) { return Click(&list, RowPoint(list, row), wxMOD_NONE, true); }
  // Presses the left button at `from` in `window` (client coordinates),
  // moves to `to` in steps and lets go; true once the release reached it.
  bool Drag(wxWindow* window, wxPoint from, wxPoint to) {
    const int before = probe_.ClicksOn(window);
    simulator_.MouseMove(window->ClientToScreen(from));
    simulator_.MouseDown();
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step)
      simulator_.MouseMove(window->ClientToScreen(
          wxPoint(from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps)));
    simulator_.MouseUp();
    return YieldUntil([&] { return probe_.ClicksOn(window) > before; });
  }

  // Presses and releases `key` with the modifiers held, wherever the
  // focus is; true once it reached the program.
  bool Key(int key, int modifiers = wxMOD_NONE) {
    // A key press reports a letter key by its capital.
    const int code = key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key;
    const int before = probe_.KeysPressed(code);
    simulator_.Char(key, modifiers);
    return YieldUntil([&] { return probe_.KeysPressed(code) > before; });
  }

  const InputProbe& Probe() const { return probe_; }

 private:
  void SendClick(wxWindow* window, wxPoint point, int modifiers, bool twice) {
    simulator_.MouseMove(window->ClientToScreen(point));
    Hold(modifiers, true);
    if (twice)
      simulator_.MouseDblClick();
    else
      simulator_.MouseClick();
    Hold(modifiers, false);
  }
  static wxPoint Middle(const wxWindow* window) {
    const wxSize size = window->GetClientSize();
    return wxPoint(size.x / 2, size.y / 2);
  }
  static wxPoint RowPoint(wxListCtrl& list, long row) {
    list.EnsureVisible(row);
    wxRect rect;
    list.GetItemRect(row, rect);
    return wxPoint(rect.x + 40, rect.y + rect.height / 2);
  }
  void Hold(int modifiers, bool down) {
    for (const auto& [flag, key] : {std::pair{wxMOD_SHIFT, WXK_SHIFT}, std::pair{wxMOD_CONTROL, WXK_CONTROL}}) {
      if ((modifiers & flag) == 0) continue;
      if (down)
        simulator_.KeyDown(key);
      else
        simulator_.KeyUp(key);
    }
  }

  wxUIActionSimulator simulator_;
  InputProbe probe_;
};

}  // namespace pelikon::testing
