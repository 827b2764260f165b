#include "geoid/download/grid_url.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string PercentEncoded(std::string_view text) {
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (Unreserved(byte))
      encoded += c;
    else
      encoded += StrPrintf("%%%02X", byte);
  }
  return encoded;
}

}  // namespace

std::string GridFileUrl(std::string_view base, std::string_view file_name) {
  std::string_view server = Trim(base, " \t");
  while (!server.empty() && server.back() == '/') server.remove_suffix(1);
  if (server.empty()) return {};
  std::string url = server.find("://") == std::string_view::npos ? "http://" : "";
  url += server;
  return url + "/GeoidGrids/" + PercentEncoded(file_name);
}

std::string NoGridServerMessage() {
  return Tr("No grid download server is set (setting gridserver).");
}

}  // namespace pelikon
