#include "link/progress/transfer_progress.h"

#include <algorithm>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

const char* const kCancelled = N_("Function cancelled at user request...Please wait...");
// What a cancelled run leaves in the main status line once it has ended.
const char* const kCancelledDone = N_("Status: Function cancelled at user request...");
constexpr size_t kCancelledDoneLength = 45;

}  // namespace

void TransferProgress::OpenProgress() {
  if (open_count_ == 0) {
    status_before_ = ui_.MainStatus();
    shown_percent_.clear();
  }
  // A window closed behind our back (its owner went away) is shown again.
  if (open_count_++ == 0 || !ui_.ProgressOpen()) ui_.OpenProgress([this] { RequestCancel(); });
}

void TransferProgress::CloseProgress() {
  if (open_count_ == 0) return;
  if (--open_count_ > 0) return;
  const std::string status = ui_.MainStatus();
  const std::string done = Tr(kCancelledDone);
  if (status.compare(0, kCancelledDoneLength, done, 0, kCancelledDoneLength) == 0 &&
      status.size() >= kCancelledDoneLength)
    ui_.SetMainStatus(done);
  else if (!shown_percent_.empty() && status == shown_percent_)
    ui_.SetMainStatus(status_before_);  // a finished run has no percentage
  shown_percent_.clear();
  ui_.CloseProgress();
}

void TransferProgress::SetSubject(const std::string& text) {
  if (ui_.ProgressOpen()) ui_.SetProgressSubject(text);
}

void TransferProgress::SetTransferRunning(bool running) {
  if (running) stopped_by_user_ = false;
  running_ = running;
}

void TransferProgress::SetStatus(const std::string& text) {
  if (ui_.ProgressOpen()) ui_.SetProgressStatus(text);
  ui_.SetMainStatus(text);
}

void TransferProgress::SetTotal(int64_t total) {
  total_ = total;
  last_shown_ = 0;
}

int TransferProgress::TransferStatus(TransferState& transfer) {
  std::string text;
  if (total_ != 0) {
    const int64_t position = transfer.position;
    const int64_t step = position - last_shown_;
    // More than 50 bytes and more than 2 percent since the last update.
    if (step > 50 && 50 * step > total_) {
      // A file that grew since it was listed runs past its listed size.
      const int percent = static_cast<int>(std::min<int64_t>(position * 100 / total_, 100));
      ui_.SetProgressBar(percent);
      text = StrPrintf(Tr("File transfer %s complete"), StrPrintf("%d%%", percent).c_str());
      last_shown_ = position;
    }
  }
  bool percentage = !text.empty();
  if (cancel_requested_) {
    percentage = false;
    if (operation_ == TransferOperation::kListing && connection_dropped_) connection_dropped_();
    text = Tr(kCancelled);
    transfer.error = kXferUserAbort;
    cancel_requested_ = false;
    stopped_by_user_ = user_cancel_;
    user_cancel_ = false;
  }
  if (text.empty()) return 0;
  text = std::string(Tr("Status: ")) + text;
  SetStatus(text);
  if (percentage) shown_percent_ = text;
  return 0;
}

void TransferProgress::TransferMessage(const std::string& text) {
  Trace("\n%s", text.c_str());
  const std::string upper = AsciiUpper(text);
  if (upper.find("TIMEOUT") != std::string::npos || upper.find("TIMED OUT") != std::string::npos)
    cancel_requested_ = true;
}

TransferStatusCallback TransferProgress::StatusCallback() {
  return [this](TransferState& transfer) { return TransferStatus(transfer); };
}

TransferMessageHook TransferProgress::MessageHook() {
  return [this](const std::string& text) { TransferMessage(text); };
}

void TransferProgress::ConversionProgress(int percent, int /*reserved*/) {
  if (!ui_.ProgressOpen()) return;
  percent = std::clamp(percent, 0, 100);
  ui_.SetProgressBar(percent);
  shown_percent_ = StrPrintf(Tr("File conversion %d%% complete"), percent);
  SetStatus(shown_percent_);
}

void TransferProgress::RequestCancel() {
  cancel_requested_ = true;
  user_cancel_ = true;
  SetStatus(Tr(kCancelled));
}

void TransferProgress::ShowCommError(const std::string& text) {
  ui_.ShowError(text);
  sound_.PlaySound(0);
}

void TransferProgress::ShowMessage(const std::string& first, const std::string& second) {
  ui_.ShowMessage(first, second);
  sound_.PlaySound(1);
}

}  // namespace pelikon
