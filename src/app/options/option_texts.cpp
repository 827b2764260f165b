#include "app/options/option_texts.h"

#include <algorithm>

#include "app/panes/dir_list.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool IsComPort(int number) {
  return number >= 1 && number <= kHighestComPort;
}

std::string YesNo(bool on) {
  return on ? kYesText : kNoText;
}

bool IsYes(const std::string& text) {
  return text == kYesText;
}

void TakeLinkIndex(int index, TransferSettings& settings, bool activesync_available, Ui& ui) {
  if (index == kLinkIndexActiveSync) {
    if (activesync_available) {
      settings.com = kActiveSyncLink;
      settings.use_activesync = true;
      return;
    }
    ui.ShowMessageBox(Tr("Unable to find necessary components. Please make sure \n") +
                      std::string(Tr("that the current version of MS ActiveSync is installed.")));
    // There is no COM100: stay on the port the user had, so that the serial
    // link still opens something real.
    if (!IsComPort(settings.com)) settings.com = 1;
    settings.use_activesync = false;
    return;
  }
  if (!IsComPort(index)) return;  // not an entry of the list: leave the link alone
  settings.com = index;
  settings.use_activesync = false;
}

}  // namespace

OptionTexts OptionTextsFrom(const TransferSettings& settings) {
  OptionTexts texts;
  if (settings.com == kActiveSyncLink)
    texts.link_index = kLinkIndexActiveSync;
  else
    texts.link_index = IsComPort(settings.com) ? settings.com : 1;
  texts.mask = settings.mask;
  texts.speed = std::to_string(settings.baud);
  texts.sort = SortOrderText(settings.sort);
  texts.special = YesNo(settings.show_special);
  texts.overwrite = YesNo(settings.confirm_overwrite);
  texts.confirm_delete = YesNo(settings.confirm_delete);
  texts.protect_remote = YesNo(settings.protect_remote);
  texts.archive = YesNo(settings.archive_rw5);
  return texts;
}

std::string ToggledYesNo(std::string_view value) {
  return value == kYesText ? kNoText : kYesText;
}

bool MaskHasBlank(std::string_view mask) {
  return mask.find_first_of(" \t") != std::string_view::npos;
}

bool IsOfferedBaudRate(int baud) {
  return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end();
}

void TakeOptionTexts(const OptionTexts& texts, TransferSettings& settings, bool activesync_available, Ui& ui) {
  TakeLinkIndex(texts.link_index, settings, activesync_available, ui);
  settings.mask = texts.mask;
  // A speed the port cannot be set to would leave the link dead; keep the
  // one that works.
  const int baud = LenientInt32(texts.speed);
  if (IsOfferedBaudRate(baud)) settings.baud = baud;
  settings.show_special = IsYes(texts.special);
  settings.confirm_overwrite = IsYes(texts.overwrite);
  settings.confirm_delete = IsYes(texts.confirm_delete);
  settings.protect_remote = IsYes(texts.protect_remote);
  settings.archive_rw5 = IsYes(texts.archive);
  settings.sort = SortOrderFromText(texts.sort);
}

}  // namespace pelikon
