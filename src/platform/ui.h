// The port through which everything below the windows talks to the user.
//
// Callers pass texts already looked up in the catalogue. Three kinds of
// implementation exist: the windows of the desktop program, a console one
// for unattended runs, and a scripted one for tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace pelikon {

// Answers of questions.
enum Answer : int {
  kAnswerYes = 6,      // yes, or overwrite
  kAnswerNo = 7,       // no, or skip
  kAnswerYesAll = 10,  // yes to all, or overwrite all
  kAnswerNoAll = 11,   // no to all, or skip all
  kAnswerRename = 12,
  kAnswerMerge = 13,  // merge points
  kAnswerStagingFailed = 14,
};

// Flags of `AskYesNo`.
enum QuestionFlags : int {
  kOfferYesAll = 0x02,  // with kOfferNoAll: "Yes All" and "No All" are offered
  kOfferNoAll = 0x04,
  kQuestionIcon = 0x20,  // otherwise the exclamation icon
  kOfferRename = 0x80,
  // "Yes" is the answer Enter gives. Without it Enter answers "No": only a
  // question whose yes destroys nothing may ask for it.
  kDefaultYes = 0x100,
};

class Ui {
 public:
  virtual ~Ui() = default;

  // A plain message box with an OK button.
  virtual void ShowMessageBox(const std::string& text) = 0;
  // The error window "ERROR!". Its sound cue (0) is the caller's: the link's
  // TransferProgress::ShowCommError shows the window and then plays it.
  virtual void ShowError(const std::string& message) = 0;
  // The two-line window "MESSAGE"; TransferProgress::ShowMessage shows it
  // and then plays its cue (1).
  virtual void ShowMessage(const std::string& first, const std::string& second) = 0;
  // A question with the buttons the flags allow; returns an `Answer`.
  virtual int AskYesNo(const std::string& message, const std::string& caption, int flags) = 0;
  // A message box with a caption of its own, with the error sign or without.
  virtual void ShowCaptioned(const std::string& text, const std::string& caption, bool error_icon) = 0;

  // The name dialog of Rename: shows `text` first; on OK with a non-empty
  // field `text` becomes the field. False on Cancel.
  virtual bool AskNewName(std::string& text) = 0;
  // The folder dialog of Make dir, the path dialog of Set Path: `text` is
  // the field (the path dialog shows it first); `local` says which side
  // was chosen (in: the side checked first). The remote side is offered
  // only when `remote_allowed`. False on Cancel.
  virtual bool AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) = 0;
  virtual bool AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) = 0;
  // The text input window: a prompt and one field holding `text`. False on Cancel.
  virtual bool AskText(const std::string& caption, const std::string& prompt, std::string& text) = 0;
  // The file picker for an existing local file: `caption` as its title,
  // `pattern` ("*.crd") as its filter, opening in `folder`. False on Cancel.
  virtual bool AskExistingFile(const std::string& caption, const std::string& pattern,
                               const std::filesystem::path& folder, std::filesystem::path& chosen) = 0;
  // The file conflict dialog for `target_name`: overwrite (6), skip (7),
  // overwrite all (10), skip all (11), rename (12, with `new_name` checked
  // to keep the target's extension) or merge points (13, offered only for
  // coordinate files when `offer_merge`). "All" answers only with `offer_all`.
  virtual int AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge,
                              std::string& new_name) = 0;

  // The progress window over the disabled main window. `on_cancel` runs
  // when the user presses its Cancel button (from inside `Pump`).
  virtual void OpenProgress(std::function<void()> on_cancel) = 0;
  virtual void CloseProgress() = 0;
  virtual bool ProgressOpen() const = 0;
  virtual void SetProgressStatus(const std::string& text) = 0;
  virtual void SetProgressBar(int percent) = 0;
  // What the progress window is working on ("Receiving JOB1.CRD").
  virtual void SetProgressSubject(const std::string& text) = 0;

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
