#include "report/text_report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/text.h"
#include "report/report_layout.h"
#include "report/report_trace.h"

namespace pelikon {

namespace {

int BoundPlaces(int places) {
  return std::clamp(places, 0, 30);
}

}  // namespace

std::string FormatReportNumber(double value, int places, bool commas) {
  char buffer[512];
  const auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, BoundPlaces(places));
  std::string text(buffer, done.ec == std::errc() ? done.ptr : buffer);
  if (!commas) return text;
  const size_t digits_start = (!text.empty() && text[0] == '-') ? 1 : 0;
  size_t digits_end = text.find('.');
  if (digits_end == std::string::npos) digits_end = text.size();
  for (size_t at = digits_end; at > digits_start + 3; at -= 3) text.insert(at - 3, 1, ',');
  return text;
}

namespace {

class TextReportWriter : public LayoutSink {
 public:
  TextReportWriter(const TextReportInput& input, const ReportLayout& layout, std::FILE* file)
      : input_(input), layout_(layout), used_(input.used), options_(input.options), file_(file) {}

  void Write() {
    MeasureColumns();
    Out(input_.report->Name());
    Out("\n");
    for (const auto& field : input_.report->Fields()) {
      Out(field.second);
      Out("\n");
    }
    Out("\n");
    layout_.Walk(*this);
    Flush();
  }

  void Text(const char* text) override {
    Out(text);
    Out("\n");
    text_just_written_ = true;
  }

  void Heading(size_t row) override {
    if (text_just_written_) Out("\n");
    if (layout_.Depth() > 0) {
      Out(layout_.GroupDescription(row, layout_.Depth()));
      Out("\n\n");
    }
    if (options_.columns) {
      for (size_t f = layout_.Depth(); f < used_.size(); ++f) LeftCell(used_[f].note, widths_[f]);
      EndLine();
    }
    previous_row_ = -1;
  }

  void Data(size_t row) override {
    text_just_written_ = false;
    if (!options_.totals_only) {
      if (options_.columns)
        WriteDataLine(row);
      else
        WriteFieldLines(row);
    }
    previous_row_ = static_cast<long>(row);
  }

  void Totals(size_t level, const std::vector<std::optional<double>>& values, const std::string& description) override {
    const size_t depth = layout_.Depth();
    if (options_.columns) {
      if (level == 0)
        Out("---- Grand Total --------------------------------------\n");
      else if (!options_.totals_only)
        Out("---- Total for " + description + " ----\n");
      for (size_t f = depth; f < used_.size(); ++f) {
        if (!values[f])
          LeftCell({}, widths_[f]);
        else
          RightCell(FormatReportNumber(*values[f], used_[f].places < 15 ? used_[f].places : 4, options_.use_commas),
                    widths_[f]);
      }
      EndLine();
    } else {
      Out(level == 0 ? std::string("Grand Total:\n") : "Total for " + description + ":\n");
      for (size_t f = depth; f < used_.size(); ++f) {
        if (!values[f]) continue;
        LeftCell(used_[f].note, note_width_);
        Out(StrPrintf("%20.*f\n", BoundPlaces(used_[f].places), *values[f]));
      }
    }
    Out("\n");
  }

 private:
  void MeasureColumns() {
    widths_.assign(used_.size(), options_.width);
    size_t widest_note = 0;
    for (const ReportField& field : used_) widest_note = std::max(widest_note, field.note.size());
    note_width_ = static_cast<int>(widest_note);
    if (options_.fixed) return;
    for (size_t f = 0; f < used_.size(); ++f) {
      size_t width = used_[f].note.size();
      double sum = 0;
      int places = 0;
      for (size_t r = 0; r < layout_.Rows(); ++r) {
        const ReportToken* token = layout_.Cell(r, f);
        if (token == nullptr) continue;
        if (token->type == kReportString) {
          width = std::max(width, std::strlen(token->text));
          continue;
        }
        width = std::max(width, FormatReportNumber(token->real, token->places, options_.use_commas).size());
        places = std::max(places, token->places);
        if (layout_.Totalled(f)) sum += token->real;
      }
      if (sum != 0) width = std::max(width, FormatReportNumber(sum, places, options_.use_commas).size());
      widths_[f] = static_cast<int>(width);
    }
  }

  void Out(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= (1u << 20)) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }
  // "%-W.Ws ": cut to W, padded to W.
  void LeftCell(std::string_view text, int width) {
    const size_t w = static_cast<size_t>(std::max(width, 0));
    text = text.substr(0, std::min(text.size(), w));
    buffer_.append(text);
    buffer_.append(w - text.size() + 1, ' ');
  }
  // "%W.Pf ": right-aligned, never cut.
  void RightCell(std::string_view number, int width) {
    const size_t w = static_cast<size_t>(std::max(width, 0));
    if (number.size() < w) buffer_.append(w - number.size(), ' ');
    buffer_.append(number);
    buffer_.push_back(' ');
  }
  void EndLine() { Out("\n"); }

  bool HasValue(const ReportToken* token) const {
    return token != nullptr && (token->type == kReportReal || token->text[0] != '\0');
  }

  void WriteDataLine(size_t row) {
    bool any = false;
    for (size_t f = layout_.Depth(); f < used_.size() && !any; ++f) any = HasValue(layout_.Cell(row, f));
    if (!any) return;
    bool repeating = options_.ignore_repeats && previous_row_ >= 0;
    for (size_t f = layout_.Depth(); f < used_.size(); ++f) {
      const ReportToken* token = layout_.Cell(row, f);
      if (repeating) repeating = ReportLayout::SameValue(token, layout_.Cell(static_cast<size_t>(previous_row_), f));
      if (repeating || token == nullptr)
        LeftCell({}, widths_[f]);
      else if (token->type == kReportReal)
        RightCell(FormatReportNumber(token->real, token->places, options_.use_commas), widths_[f]);
      else
        LeftCell(token->text, widths_[f]);
    }
    EndLine();
  }

  void WriteFieldLines(size_t row) {
    for (size_t f = 0; f < used_.size(); ++f) {
      const ReportToken* token = layout_.Cell(row, f);
      if (token == nullptr) continue;
      LeftCell(used_[f].note, note_width_);
      if (token->type == kReportReal)
        Out(StrPrintf("%20.*f\n", BoundPlaces(token->places), token->real));
      else {
        Out(token->text);
        Out("\n");
      }
    }
    Out("\n");
  }

  const TextReportInput& input_;
  const ReportLayout& layout_;
  const std::vector<ReportField>& used_;
  const FormatOptions& options_;
  std::FILE* file_;
  std::vector<int> widths_;
  int note_width_ = 0;
  long previous_row_ = -1;
  bool text_just_written_ = false;
  std::string buffer_;
};

}  // namespace

TextReportResult WriteTextReport(const TextReportInput& input, const std::filesystem::path& output) {
  if (input.options.totals_depth > kMaxTotalsDepth) return TextReportResult::kDepthNotSupported;
  if (input.used.empty()) return TextReportResult::kNothingUsed;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(output.c_str(), "wb"), &std::fclose);
  if (!file) {
    ReportTrace("Can't open output file %s", output.string().c_str());
    return TextReportResult::kCannotOpen;
  }
  const ReportLayout layout(input);
  TextReportWriter(input, layout, file.get()).Write();
  return TextReportResult::kWritten;
}

}  // namespace pelikon
