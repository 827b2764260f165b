// What the link to the collector is told of the user's settings.
#pragma once

#include <filesystem>

#include "app/transfer_settings.h"
#include "link/remote/remote_link.h"

namespace pelikon {

// The link's view of `settings`, with the working folder (where listings
// land) and the local pane's folder (where received files land).
LinkSettings LinkSettingsFrom(const TransferSettings& settings, const std::filesystem::path& temp_folder,
                              const std::filesystem::path& local_folder);

}  // namespace pelikon
