// Start options of the transfer engines: a list of integer codes, ended by
// 0 or by the end of the list, some followed by one value. Each engine and
// direction accepts its own set; any other code fails the start (-7).
#pragma once

#include <vector>

namespace pelikon {

enum StartOption : int {
  kOptNoEffect = 1001,
  kOptEighthBitPrefix = 1002,  // Kermit sender: propose "&"
  kOptSevenBit = 1003,         // Kermit: strip bit 7 of file data
  kOptNoRepeat = 1004,         // Kermit: no repeat compression
  kOptKeepPath = 1005,         // do not strip the path from names
  kOptCarrierCheck = 1006,
  kOptAbortKey = 1007,    // + value
  kOptSubfolders = 1009,  // sender: the file source searches subfolders
  kOptResume = 1014,
  kOptReceiverFlag = 1015,
  kOptNoStreaming = 1017,
  kOptManageNewLine = 1018,    // ZF1 = 1
  kOptManageAppend = 1019,     // ZF1 = 3
  kOptManageClobber = 1020,    // ZF1 = 4
  kOptManageDifferent = 1021,  // ZF1 = 6
  kOptManageProtect = 1022,    // ZF1 = 7
  kOptManageNewer = 1023,      // ZF1 = 5
  kOptStored = 1027,           // + value, kept only
  kOptRetryLimit = 1028,       // + value
  kOptWindow = 1029,           // + value
};

enum class TransferEngine { kZmodem, kKermit };

struct StartOptions {
  bool strip_path = true;
  bool carrier_check = false;
  int abort_key = 0;
  bool search_subfolders = false;
  bool resume = false;
  bool receiver_flag = false;
  bool streaming = true;
  int management = 0;    // ZF1 file management code to send
  int stored_value = 0;  // 1027's value
  int retry_limit = 10;
  int window = 4096;
  bool eighth_bit_prefix = false;
  bool seven_bit = false;
  bool repeat = true;
};

// Reads `codes` into `options` (which keeps its defaults where no code
// speaks). Returns 0, or -7 for a code this engine and direction do not
// accept, a missing value, or a value out of range.
int ParseStartOptions(const std::vector<int>& codes, TransferEngine engine, bool sending, StartOptions& options);

}  // namespace pelikon
