// Fetching one http(s) URL into one local file. The transfer runs on a
// worker thread; the calling thread waits in steps of about 50 ms, calling
// the pump hook each step so that the user interface stays responsive.
//
// The file is written to its twin beside the destination (atomic_file.h)
// and renamed over the destination only when the transfer is complete: the
// server answered 2xx after at most a few redirects, the body is not empty,
// and it is as long as the server said it would be. Anything else (an HTTP
// error, a cut connection, a stop, a cancel) leaves the destination as it
// was and no twin behind.
//
// A transfer that receives no bytes for the no-progress limit is stopped,
// and so is one whose cancel hook answers true. Stopping is cooperative:
// the worker notices the request in curl's progress callback, which curl
// calls at least once a second, and the caller waits for it to end.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace pelikon {

struct DownloadHooks {
  // Shows a translated message to the user (with the stop sign). May be
  // empty: the text then only goes to the trace.
  std::function<void(const std::string& text)> show_message;
  // Called on the calling thread on every wait step. May be empty.
  std::function<void()> pump;
  // Asked on every wait step; true stops the transfer. May be empty.
  std::function<bool()> cancelled;
};

inline constexpr std::chrono::milliseconds kDefaultNoProgressLimit{15000};

enum class TransferResult {
  kNotStarted,  // the URL was refused or no worker could be started
  kFailed,      // the transfer ran; the destination is as it was
  kComplete,    // the destination holds the downloaded file
};

// Whether `url` is one a transfer can be started for: an absolute http or
// https URL with a host.
bool IsDownloadableUrl(const std::string& url);

// Downloads `url` into `destination`. An unusable URL shows "The URL is
// invalid." and a worker that cannot be started "Could not create the
// thread.", both through `hooks.show_message`.
TransferResult TransferUrlToFile(const std::string& url, const std::filesystem::path& destination,
                                 const DownloadHooks& hooks,
                                 std::chrono::milliseconds no_progress_limit = kDefaultNoProgressLimit);

}  // namespace pelikon
