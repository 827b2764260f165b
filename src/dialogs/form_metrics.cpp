#include "dialogs/form_metrics.h"

namespace pelikon {

FormMetrics MetricsFromFont(int alphabet_width, int font_height) {
  FormMetrics metrics;
  metrics.char_width = (alphabet_width / 26 + 1) / 2;
  metrics.line_height = font_height;
  metrics.gap = font_height * 2 / 3;
  return metrics;
}

bool FormFontIsFixedPitch(int height) {
  return height < 11;
}

std::string FormFontFace(int height) {
  return FormFontIsFixedPitch(height) ? "Lucida Console" : "Arial";
}

std::vector<std::string> SimilarFontFaces(const std::string& face) {
  if (face == "Lucida Console") return {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "FreeMono"};
  if (face == "Arial") return {"Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans", "FreeSans"};
  return {};
}

}  // namespace pelikon
