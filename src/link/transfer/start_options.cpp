#include "link/transfer/start_options.h"

#include <algorithm>
#include <initializer_list>

#include "link/serial/serial_port.h"

namespace pelikon {

namespace {

bool Accepted(int code, TransferEngine engine, bool sending) {
  auto in = [code](std::initializer_list<int> set) { return std::find(set.begin(), set.end(), code) != set.end(); };
  if (engine == TransferEngine::kZmodem) {
    if (in({kOptNoEffect, kOptKeepPath, kOptCarrierCheck, kOptAbortKey, kOptResume, kOptStored, kOptRetryLimit}))
      return true;
    if (!sending) return code == kOptReceiverFlag;
    return in({kOptSubfolders, kOptNoStreaming, kOptManageNewLine, kOptManageAppend, kOptManageClobber,
               kOptManageDifferent, kOptManageProtect, kOptManageNewer, kOptWindow});
  }
  if (in({kOptNoEffect, kOptSevenBit, kOptNoRepeat, kOptKeepPath, kOptCarrierCheck, kOptAbortKey, kOptStored}))
    return true;
  return sending && in({kOptEighthBitPrefix, kOptSubfolders});
}

bool TakesValue(int code) {
  return code == kOptAbortKey || code == kOptStored || code == kOptRetryLimit || code == kOptWindow;
}

}  // namespace

int ParseStartOptions(const std::vector<int>& codes, TransferEngine engine, bool sending, StartOptions& options) {
  for (size_t i = 0; i < codes.size() && codes[i] != 0; ++i) {
    const int code = codes[i];
    if (!Accepted(code, engine, sending)) return kSerialBadArgument;
    int value = 0;
    if (TakesValue(code)) {
      if (i + 1 >= codes.size()) return kSerialBadArgument;
      value = codes[++i];
    }
    switch (code) {
      case kOptEighthBitPrefix:
        options.eighth_bit_prefix = true;
        break;
      case kOptSevenBit:
        options.seven_bit = true;
        break;
      case kOptNoRepeat:
        options.repeat = false;
        break;
      case kOptKeepPath:
        options.strip_path = false;
        break;
      case kOptCarrierCheck:
        options.carrier_check = true;
        break;
      case kOptAbortKey:
        options.abort_key = value;
        break;
      case kOptSubfolders:
        options.search_subfolders = true;
        break;
      case kOptResume:
        options.resume = true;
        break;
      case kOptReceiverFlag:
        options.receiver_flag = true;
        break;
      case kOptNoStreaming:
        options.streaming = false;
        break;
      case kOptManageNewLine:
        options.management = 1;
        break;
      case kOptManageAppend:
        options.management = 3;
        break;
      case kOptManageClobber:
        options.management = 4;
        break;
      case kOptManageDifferent:
        options.management = 6;
        break;
      case kOptManageProtect:
        options.management = 7;
        break;
      case kOptManageNewer:
        options.management = 5;
        break;
      case kOptStored:
        options.stored_value = value;
        break;
      case kOptRetryLimit:
        if (value <= 0) return kSerialBadArgument;
        options.retry_limit = value;
        break;
      case kOptWindow:
        if (value <= 0) return kSerialBadArgument;
        options.window = value;
        break;
      default:
        break;  // accepted, no effect
    }
  }
  return 0;
}

}  // namespace pelikon
