// The measures a form is laid out in, derived from its font: the
// character width that tile widths are counted in, the line height, and
// the gap that separates tiles, rows and the window edge. Also which font
// face a form asks for.
#pragma once

#include <string>
#include <vector>

namespace pelikon {

struct FormMetrics {
  int char_width = 0;
  int line_height = 0;
  int gap = 0;
};

// The text whose width in the form's font gives the character width.
inline constexpr const char* kMetricsAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// From the pixel width of kMetricsAlphabet and the font's height: half the
// average width of a letter pair, rounded; the height; two thirds of it.
FormMetrics MetricsFromFont(int alphabet_width, int font_height);

// A form font of `height` pixels has a fixed pitch below 11 pixels and is
// proportional otherwise; these are the faces it asks for.
bool FormFontIsFixedPitch(int height);
std::string FormFontFace(int height);

// Faces that look much like `face`, best first, for systems that do not
// have it installed.
std::vector<std::string> SimilarFontFaces(const std::string& face);

}  // namespace pelikon
