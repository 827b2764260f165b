// The equation language of user-defined report attributes: numbers and
// names combined with ^ / * + - < > ! = | &, parentheses, names in square
// brackets (which may hold blanks or operator characters), "IF x [NOT] LIKE
// pattern THEN ..." and "if c then a else b". Operators are worked off in
// passes of falling precedence, each pass from the left, so 2^3^2 is 64.
// Every intermediate result is put back into the text printed with "%.14f".
// Operands run to the nearest + - * / ^, so comparisons and logic on sums
// need parentheses. A + or - is the sign of its number at the start, after
// another operator or at the start of a word after IF, THEN or ELSE; the
// sign of an exponent (1.5e-3) is part of its number.
//
// The value 98765432.1 (kReportNoValue) means "failed" at every stage; the
// reason goes to the context's trace. Equations longer than 4,095
// characters are refused. Hostile input never loops forever, recurses
// without bound or writes past a buffer: it fails.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pelikon {

inline constexpr double kReportNoValue = 98765432.1;

struct EquationContext {
  // The value of one operand text (a number or a name); kReportNoValue when
  // it has none. Without it every evaluation fails with
  // "Evaluation function is not set\n".
  std::function<double(std::string_view operand)> value;
  // The text of a name, for the left side of LIKE; false when it has none.
  // Without it LIKE on a name fails with
  // "String conversion function is not defined\n".
  std::function<bool(std::string_view name, std::string& text)> text;
  // Receives each diagnostic, finished, with its own line ends; may be empty.
  std::function<void(const std::string& message)> trace;
};

// The value of `equation`, or kReportNoValue.
double EvaluateEquation(std::string_view equation, const EquationContext& context);

// True when `text` is one decimal number in full (optional sign and
// exponent, "." as the decimal point whatever the locale, blanks around it
// allowed; no hexadecimal, infinity or NaN); `value` gets it.
bool ReadWholeNumber(std::string_view text, double& value);

// A text holding the degree sign (byte 0xB0, or C2 B0 as UTF-8 writes it):
// the number before it is degrees, the number up to the apostrophe minutes,
// the number after it seconds (a closing '"' allowed; missing parts are 0).
// They are read as dd.mmss and given in decimal degrees, 12°30'36 being
// 12.51; a minus on the degrees makes the whole angle negative. False when
// the text holds no degree sign or a part is no number.
bool ReadDegreeAngle(std::string_view text, double& degrees);

// LIKE's pattern match: "%" or "*" any run of characters, "_" or "?" one
// character, letters compared without regard to case.
bool MatchesLikePattern(std::string_view text, std::string_view pattern);

}  // namespace pelikon
