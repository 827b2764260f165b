#include "geoid/download/grid_download.h"

#include <cstdlib>

#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

std::string UrlWithRandom(const std::string& url, int random) {
  return url + (url.find('?') == std::string::npos ? "?" : "&") + StrPrintf("rand=%d", random);
}

bool DownloadGridFile(const std::string& url, const std::filesystem::path& destination, int random,
                      const DownloadHooks& hooks, std::chrono::milliseconds no_progress_limit) {
  Trace("%s", url.c_str());
  const std::string first = random == 0 ? url : UrlWithRandom(url, random);
  TransferResult result = TransferUrlToFile(first, destination, hooks, no_progress_limit);
  if (result == TransferResult::kNotStarted) {
    Trace("Download failed, retrying");
    result = TransferUrlToFile(UrlWithRandom(url, std::rand()), destination, hooks, no_progress_limit);
    if (result == TransferResult::kNotStarted) {
      Trace("Download failed, retry failed too");
      return false;
    }
  }
  if (result == TransferResult::kFailed) {
    Trace("Downloaded file not found");
    return false;
  }
  return true;
}

}  // namespace pelikon
