// What the user sees of a running listing, transfer or conversion: the
// progress window's bar and status line, the Cancel button, the error
// dialog and the sound cues. The engines reach it through the message hook
// and the status callback it hands out; everything runs on the interface
// thread.
//
// The bar moves at most once per 2 percent and per 50 bytes, and never
// past 100. A cancel request (the button, or an engine message that speaks
// of a time-out) is turned into error -605 at the engine's next abort
// check; a cancelled listing also drops the connection. A percentage shown
// in the main status line lasts only while the window shows: when it
// hides, the line reads again what it read before.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/progress/sound_cues.h"
#include "link/transfer/transfer_state.h"
#include "platform/ui.h"

namespace pelikon {

enum class TransferOperation : int { kNone = 0, kListing = 1, kGet = 2, kPut = 3 };

class TransferProgress {
 public:
  TransferProgress(Ui& ui, SoundCues& sound) : ui_(ui), sound_(sound) {}

  // Shows and hides the progress window (the main window is disabled while
  // it shows). Calls nest: the window hides at the close that matches the
  // first open, which also trims a cancelled run's status line. Pair them
  // with `ProgressScope` rather than by hand.
  void OpenProgress();
  void CloseProgress();
  // The status line of the progress window and of the main window.
  void SetStatus(const std::string& text);
  // What is being moved ("Receiving JOB1.CRD"), shown above the bar until
  // the window hides.
  void SetSubject(const std::string& text);

  // Size of what is being moved (0: unknown, no percentage); resets the bar.
  void SetTotal(int64_t total);
  void SetOperation(TransferOperation operation) { operation_ = operation; }
  TransferOperation Operation() const { return operation_; }
  void SetTransferRunning(bool running);
  bool TransferRunning() const { return running_; }
  bool CancelRequested() const { return cancel_requested_; }
  // The last engine run was stopped by the Cancel button (not by a
  // time-out): its -605 is no failure.
  bool StoppedByUser() const { return stopped_by_user_; }
  // Called when a cancelled listing drops the connection.
  void OnConnectionDropped(std::function<void()> dropped) { connection_dropped_ = std::move(dropped); }

  // The engines' status callback; returns 0.
  int TransferStatus(TransferState& transfer);
  // The engines' message hook.
  void TransferMessage(const std::string& text);
  TransferStatusCallback StatusCallback();
  TransferMessageHook MessageHook();
  // The database converter's progress routine.
  void ConversionProgress(int percent, int reserved);
  // The Cancel button.
  void RequestCancel();
  // The communication error dialog, then sound 0.
  void ShowCommError(const std::string& text);
  // The two-line message window, then sound 1.
  void ShowMessage(const std::string& first, const std::string& second);
  SoundCues& Sound() { return sound_; }

 private:
  Ui& ui_;
  SoundCues& sound_;
  int64_t total_ = 0;
  int64_t last_shown_ = 0;
  int open_count_ = 0;  // opens not yet matched by a close
  bool cancel_requested_ = false;
  bool user_cancel_ = false;  // the pending request came from the Cancel button
  bool stopped_by_user_ = false;
  std::string status_before_;  // the main status line when the window opened
  std::string shown_percent_;  // the last percentage text put into it
  TransferOperation operation_ = TransferOperation::kNone;
  bool running_ = false;
  std::function<void()> connection_dropped_;
};

}  // namespace pelikon
