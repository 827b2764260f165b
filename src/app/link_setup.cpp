#include "app/link_setup.h"

namespace pelikon {

LinkSettings LinkSettingsFrom(const TransferSettings& settings, const std::filesystem::path& temp_folder,
                              const std::filesystem::path& local_folder) {
  LinkSettings link;
  link.port_number = settings.com;
  link.baud = settings.baud;
  link.mask = settings.mask;
  link.show_hidden = settings.show_special;
  link.engine = settings.use_kermit ? 1 : 0;
  link.port_delay_ms = settings.port_delay_ms;
  link.archive_rw5 = settings.archive_rw5;
  link.overwrite_prompt = settings.confirm_overwrite;
  link.temp_folder = temp_folder;
  link.local_folder = local_folder;
  link.use_activesync = settings.use_activesync;
  link.activesync_folder = settings.activesync_folder;
  link.device_folder = settings.device_folder;
  return link;
}

}  // namespace pelikon
