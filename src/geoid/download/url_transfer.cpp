#include "geoid/download/url_transfer.h"

#include <curl/curl.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

constexpr std::chrono::milliseconds kWaitStep{50};
constexpr long kConnectTimeoutSeconds = 30;
constexpr long kMostRedirects = 5;
// Without a known length, a progress line for every this many bytes.
constexpr curl_off_t kTraceStepUnknownLength = 256 * 1024;

// curl's process-wide set-up, done once before the first handle; the
// static's initialisation is thread-safe.
bool CurlReady() {
  static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
  return code == CURLE_OK;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void Show(const DownloadHooks& hooks, const char* text) {
  Trace("%s", text);
  if (hooks.show_message) hooks.show_message(Tr(text));
}

// One transfer, shared by the worker that runs it and the caller that
// waits for it. The caller only reads `received_` and `ended_` and sets
// `stop_`; everything else is the worker's until it has ended.
class Transfer {
 public:
  Transfer(std::string url, std::filesystem::path destination)
      : url_(std::move(url)), destination_(std::move(destination)), twin_(TwinPath(destination_)) {}

  // The worker's whole job.
  void Run() {
    complete_ = Fetch();
    std::lock_guard lock(mutex_);
    ended_ = true;
    ended_signal_.notify_all();
  }

  // Waits at most `step` for the worker to end; true once it has.
  bool WaitEnded(std::chrono::milliseconds step) {
    std::unique_lock lock(mutex_);
    return ended_signal_.wait_for(lock, step, [this] { return ended_; });
  }

  void Stop() { stop_ = true; }
  uint64_t Received() const { return received_; }
  // Valid once the worker has been joined.
  bool Complete() const { return complete_; }

 private:
  bool Fetch() {
    std::unique_ptr<CURL, CurlDeleter> curl(CurlReady() ? curl_easy_init() : nullptr);
    if (!curl) {
      Trace("Download of %s: no transfer handle", url_.c_str());
      return false;
    }
    std::error_code error;
    file_.reset(std::fopen(twin_.c_str(), "wb"));
    if (!file_) {
      Trace("Download of %s: cannot create %s", url_.c_str(), twin_.c_str());
      return false;
    }
    const bool fetched = Perform(curl.get());
    const bool closed = std::fclose(file_.release()) == 0;
    if (fetched && !closed) Trace("Download of %s: cannot write %s", url_.c_str(), twin_.c_str());
    if (fetched && closed) {
      error = ReplaceWithTwin(twin_, destination_);
      if (!error) return true;
      Trace("Download of %s: cannot replace %s: %s", url_.c_str(), destination_.c_str(), error.message().c_str());
    }
    std::filesystem::remove(twin_, error);
    return false;
  }

  bool Perform(CURL* curl) {
    char reason[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMostRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Pelikon");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    Trace("Sending request...");
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
      Trace("Download of %s failed: %s", url_.c_str(), reason[0] ? reason : curl_easy_strerror(code));
      return false;
    }
    long status = 0;
    curl_off_t announced = -1;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    const auto received = static_cast<curl_off_t>(received_.load());
    if (status < 200 || status > 299) {
      Trace("Download of %s failed: HTTP status %ld", url_.c_str(), status);
      return false;
    }
    if (received == 0) {
      Trace("Download of %s failed: the server sent no data", url_.c_str());
      return false;
    }
    if (announced >= 0 && announced != received) {
      Trace("Download of %s failed: %lld of %lld bytes", url_.c_str(), static_cast<long long>(received),
            static_cast<long long>(announced));
      return false;
    }
    Trace("Reception complete.");
    TraceProgress(received, received);
    return true;
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* self_pointer) {
    auto* self = static_cast<Transfer*>(self_pointer);
    const size_t bytes = size * count;
    // A short count makes curl end the transfer with a write error.
    if (std::fwrite(data, 1, bytes, self->file_.get()) != bytes) return 0;
    self->received_ += bytes;
    return bytes;
  }

  static int OnProgress(void* self_pointer, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t) {
    auto* self = static_cast<Transfer*>(self_pointer);
    self->TraceProgress(expected, received);
    // Non-zero makes curl abandon the transfer.
    return self->stop_ ? 1 : 0;
  }

  // A progress line when the percentage moves (or, without a known length,
  // every few hundred kilobytes), not on every call.
  void TraceProgress(curl_off_t expected, curl_off_t received) {
    if (received == traced_) return;
    const bool moved = expected > 0 ? received * 100 / expected != traced_ * 100 / expected
                                    : received / kTraceStepUnknownLength != traced_ / kTraceStepUnknownLength;
    if (traced_ == 0) Trace("Downloading data...");
    traced_ = received;
    if (!moved) return;
    if (expected > 0) Trace("progress %d", static_cast<int>(received * 100 / expected));
    Trace("Downloading %60.60s    size %7ld Kb", destination_.c_str(), static_cast<long>(received >> 10));
  }

  const std::string url_;
  const std::filesystem::path destination_;
  const std::filesystem::path twin_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  curl_off_t traced_ = 0;
  bool complete_ = false;

  std::atomic<uint64_t> received_{0};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable ended_signal_;
  bool ended_ = false;
};

// The caller's side: keeps the interface alive and stops the transfer when
// asked to or when it has stopped moving, until the worker has ended.
void WaitFor(Transfer& transfer, const DownloadHooks& hooks, std::chrono::milliseconds no_progress_limit) {
  using Clock = std::chrono::steady_clock;
  uint64_t last_received = 0;
  Clock::time_point last_progress = Clock::now();
  bool stopping = false;
  for (;;) {
    if (hooks.pump) hooks.pump();
    if (transfer.WaitEnded(kWaitStep)) return;
    if (stopping) continue;
    if (hooks.cancelled && hooks.cancelled()) {
      Trace("Download cancelled");
      stopping = true;
    }
    const uint64_t received = transfer.Received();
    const Clock::time_point now = Clock::now();
    if (received != last_received) {
      last_received = received;
      last_progress = now;
    } else if (!stopping && now - last_progress >= no_progress_limit) {
      Trace("Stopping a download that received nothing for %lld ms", static_cast<long long>(no_progress_limit.count()));
      stopping = true;
    }
    if (stopping) transfer.Stop();
  }
}

}  // namespace

bool IsDownloadableUrl(const std::string& url) {
  if (url.empty()) return false;
  CURLU* parsed = curl_url();
  if (!parsed) return false;
  char* scheme = nullptr;
  char* host = nullptr;
  const bool usable = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
                      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
                      (EqualsNoCase(scheme, "http") || EqualsNoCase(scheme, "https")) && host[0] != '\0';
  curl_free(scheme);
  curl_free(host);
  curl_url_cleanup(parsed);
  return usable;
}

TransferResult TransferUrlToFile(const std::string& url, const std::filesystem::path& destination,
                                 const DownloadHooks& hooks, std::chrono::milliseconds no_progress_limit) {
  if (!IsDownloadableUrl(url)) {
    Show(hooks, N_("The URL is invalid."));
    return TransferResult::kNotStarted;
  }
  Transfer transfer(url, destination);
  std::thread worker;
  try {
    worker = std::thread([&transfer] { transfer.Run(); });
  } catch (const std::system_error&) {
    Show(hooks, N_("Could not create the thread."));
    return TransferResult::kNotStarted;
  }
  WaitFor(transfer, hooks, no_progress_limit);
  worker.join();
  return transfer.Complete() ? TransferResult::kComplete : TransferResult::kFailed;
}

}  // namespace pelikon
