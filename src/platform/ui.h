// The port through which everything below the windows talks to the user.
//
// Callers pass texts already looked up in the catalogue. Three kinds of
// implementation exist: the windows of the desktop program, a console one
// for unattended runs, and a scripted one for tests.
#pragma once

#include <functional>
#include <string>

namespace pelikon {

// Answers of questions.
enum Answer : int {
  kAnswerYes = 6,            // yes, or overwrite
  kAnswerNo = 7,             // no, or skip
  kAnswerYesAll = 10,        // yes to all, or overwrite all
  kAnswerNoAll = 11,         // no to all, or skip all
  kAnswerRename = 12,
  kAnswerMerge = 13,         // merge points
  kAnswerStagingFailed = 14,
};

// Flags of `AskYesNo`.
enum QuestionFlags : int {
  kOfferYesAll = 0x02,       // with kOfferNoAll: "Yes All" and "No All" are offered
  kOfferNoAll = 0x04,
  kQuestionIcon = 0x20,      // otherwise the exclamation icon
  kOfferRename = 0x80,
};

class Ui {
 public:
  virtual ~Ui() = default;

  // A plain message box with an OK button.
  virtual void ShowMessageBox(const std::string& text) = 0;
  // The error window "ERROR!" (sound 0 when it closes).
  virtual void ShowError(const std::string& message) = 0;
  // The two-line window "MESSAGE" (sound 1 when it closes).
  virtual void ShowMessage(const std::string& first, const std::string& second) = 0;
  // A question with the buttons the flags allow; returns an `Answer`.
  virtual int AskYesNo(const std::string& message, const std::string& caption, int flags) = 0;

  // The progress window over the disabled main window. `on_cancel` runs
  // when the user presses its Cancel button (from inside `Pump`).
  virtual void OpenProgress(std::function<void()> on_cancel) = 0;
  virtual void CloseProgress() = 0;
  virtual bool ProgressOpen() const = 0;
  virtual void SetProgressStatus(const std::string& text) = 0;
  virtual void SetProgressBar(int percent) = 0;

  // The checklist shown over the remote pane while not connected.
  virtual void ShowNotConnectedHelp(const std::string& text) = 0;

  // The status line of the main window.
  virtual void SetMainStatus(const std::string& text) = 0;
  virtual std::string MainStatus() const = 0;

  // Lets the interface handle what is waiting (repaints, the Cancel
  // button) during a long operation. Called from every wait.
  virtual void Pump() = 0;
};

}  // namespace pelikon
