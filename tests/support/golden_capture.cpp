#include "support/golden_capture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace pelikon::testing {

namespace {

constexpr size_t kBytesPerLine = 32;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeHex(std::string_view hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high << 4 | low);
  }
  return true;
}

std::string ByteText(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

bool ReadCapture(const std::filesystem::path& path, Capture& capture, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path.string();
    return false;
  }
  capture = Capture{};
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    error = path.filename().string() + ":" + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == ">" || key == "<") {
      std::string hex, bytes;
      words >> hex;
      if (!DecodeHex(hex, bytes) || bytes.empty()) return fail("bad hex");
      const bool ours = key == ">";
      // Consecutive lines from one side are one piece of the stream.
      if (capture.pieces.empty() || capture.pieces.back().ours != ours) capture.pieces.push_back({ours, ""});
      capture.pieces.back().bytes += bytes;
    } else if (key == "protocol") {
      words >> capture.protocol;
    } else if (key == "direction") {
      words >> capture.direction;
    } else if (key == "file") {
      CaptureFile file;
      if (!(words >> file.wire_name >> file.stored)) return fail("file needs a name and a stored file");
      capture.files.push_back(file);
    } else if (key == "options") {
      for (int code; words >> code;) capture.options.push_back(code);
    } else if (key == "mtime") {
      if (!(words >> capture.mtime)) return fail("bad mtime");
    } else if (key == "dates") {
      std::string answer;
      words >> answer;
      capture.peer_sends_dates = answer == "yes";
    } else if (key == "peer") {
      std::getline(words >> std::ws, capture.peer);
    } else {
      return fail("unknown line \"" + key + "\"");
    }
  }
  if (capture.protocol != "zmodem" && capture.protocol != "kermit") return fail("protocol must be zmodem or kermit");
  if (capture.direction != "send" && capture.direction != "receive") return fail("direction must be send or receive");
  if (capture.files.empty() || capture.pieces.empty()) return fail("no files or no stream");
  return true;
}

std::string FormatPiece(bool ours, std::string_view bytes) {
  std::string out;
  for (size_t at = 0; at < bytes.size(); at += kBytesPerLine) {
    const std::string_view part = bytes.substr(at, kBytesPerLine);
    out += ours ? "> " : "< ";
    std::string shown;
    for (const char c : part) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
      out += hex;
      shown += c >= 32 && c < 127 ? c : '.';
    }
    out += std::string(2 * (kBytesPerLine - part.size()) + 2, ' ') + "|" + shown + "|\n";
  }
  return out;
}

CaptureReplay::CaptureReplay(const Capture& capture, FakeClock& clock) : port_(clock) {
  for (const Capture::Piece& piece : capture.pieces) {
    if (piece.ours)
      expected_ += piece.bytes;
    else
      peer_.push_back({expected_.size(), piece.bytes});
  }
  port_.OnWrite([this](std::string_view bytes) { OnWrite(bytes); });
  Release();
}

bool CaptureReplay::Complete() const {
  return mismatch_.empty() && written_ == expected_.size() && released_ == peer_.size();
}

void CaptureReplay::OnWrite(std::string_view bytes) {
  if (!mismatch_.empty()) return;
  for (const char c : bytes) {
    if (written_ >= expected_.size()) {
      mismatch_ = "offset " + std::to_string(written_) + ": our side wrote " + ByteText(static_cast<unsigned char>(c)) +
                  " after the end of the capture";
    } else if (c != expected_[written_]) {
      mismatch_ = "offset " + std::to_string(written_) + ": our side wrote " + ByteText(static_cast<unsigned char>(c)) +
                  ", the capture has " + ByteText(static_cast<unsigned char>(expected_[written_]));
    }
    if (!mismatch_.empty()) {
      port_.HangUp();
      return;
    }
    ++written_;
  }
  Release();
}

void CaptureReplay::Release() {
  while (released_ < peer_.size() && peer_[released_].after <= written_) port_.Feed(peer_[released_++].bytes);
}

}  // namespace pelikon::testing
