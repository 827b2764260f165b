// Downloading a geoid grid file that is missing from the grid folder.
//
// The first attempt asks for url + "?rand=N" with the caller's random
// number, which keeps caches between here and the server from answering
// with an old copy; a random number of 0 asks for the plain URL. Only when
// that attempt could not be started at all is it tried once more, with a
// fresh random number. A transfer that ran and failed is not repeated.
// Progress and failures go to the trace.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "geoid/download/url_transfer.h"

namespace pelikon {

// True when the grid file now lies at `destination`. On false the file
// that was there before (if any) is untouched.
bool DownloadGridFile(const std::string& url, const std::filesystem::path& destination, int random,
                      const DownloadHooks& hooks,
                      std::chrono::milliseconds no_progress_limit = kDefaultNoProgressLimit);

// `url` with the query "rand=N" added.
std::string UrlWithRandom(const std::string& url, int random);

}  // namespace pelikon
