#include "report/expression.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

#include "platform/text.h"

namespace pelikon {

namespace {

// Longest equation accepted; longer ones are refused before any work.
constexpr size_t kMaxEquationLength = 4095;
// Intermediate results are put back printed in full, so the text being
// worked on may outgrow the equation; this bounds it, and with it the work.
constexpr size_t kMaxWorkingLength = 65535;

constexpr std::string_view kBlanks = " \t";
// The characters that end an operand.
constexpr std::string_view kArithmetic = "+-*/^";
constexpr std::string_view kOperators = "^/*+-<>!=|&";
// Passes of falling precedence; each pass works its operators from the left.
constexpr std::string_view kOperatorPasses[] = {"^", "/*", "+-", "<", ">", "!", "=", "|", "&"};

bool IsOneOf(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSignChar(char c) {
  return c == '+' || c == '-';
}

bool Failed(double value) {
  return value == kReportNoValue || !std::isfinite(value);
}

// "%.14f" in the C locale, whatever the process locale says.
std::string PrintResult(double value) {
  if (value == 0) value = 0;  // no "-0.00000000000000"
  char text[400];             // the largest double needs 309 digits and 14 places
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 14);
  return error == std::errc() ? std::string(text, end) : std::string();
}

// The text inside `open` ... `close` when it is wrapped in them, else the
// text as it is.
std::string_view Unwrap(std::string_view text, char open, char close) {
  if (text.size() >= 2 && text.front() == open && text.back() == close) return text.substr(1, text.size() - 2);
  return text;
}

bool IsKeyword(std::string_view word) {
  return EqualsNoCase(word, "if") || EqualsNoCase(word, "then") || EqualsNoCase(word, "else");
}

// A "+" or "-" that belongs to the number after it: at the start, after
// another operator, or as the first character of a word after IF, THEN or
// ELSE (where a negative result put back into "if c then a else b" lands).
bool IsSign(std::string_view text, size_t at) {
  size_t before = at;
  while (before > 0 && IsOneOf(text[before - 1], kBlanks)) --before;
  if (before == 0 || IsOneOf(text[before - 1], kOperators)) return true;
  if (before == at) return false;
  size_t word = before;
  while (word > 0 && !IsOneOf(text[word - 1], kBlanks)) --word;
  return IsKeyword(text.substr(word, before - word));
}

// The sign of a number's exponent, as in 1.5e-3: not an operator.
bool IsExponentSign(std::string_view text, size_t at) {
  if (!IsSignChar(text[at]) || at < 2 || at + 1 >= text.size() || !IsDigit(text[at + 1])) return false;
  if (text[at - 1] != 'e' && text[at - 1] != 'E') return false;
  size_t mantissa = at - 1;
  bool digits = false;
  while (mantissa > 0 && (IsDigit(text[mantissa - 1]) || text[mantissa - 1] == '.')) {
    digits = digits || IsDigit(text[mantissa - 1]);
    --mantissa;
  }
  return digits && (mantissa == 0 || IsOneOf(text[mantissa - 1], kBlanks) || IsOneOf(text[mantissa - 1], kOperators));
}

bool EndsOperand(std::string_view text, size_t at) {
  return IsOneOf(text[at], kArithmetic) && !IsExponentSign(text, at);
}

size_t FindBinaryOperator(std::string_view text, std::string_view operators, size_t from) {
  for (size_t at = from; at < text.size(); ++at) {
    if (!IsOneOf(text[at], operators)) continue;
    if (IsSignChar(text[at]) && (IsSign(text, at) || IsExponentSign(text, at))) continue;
    return at;
  }
  return std::string_view::npos;
}

// The left operand starts after the nearest arithmetic character before the
// operator, or at that character when it is the operand's own sign.
size_t LeftOperandBegin(std::string_view text, size_t op) {
  for (size_t at = op; at-- > 0;) {
    if (!EndsOperand(text, at)) continue;
    return IsSignChar(text[at]) && IsSign(text, at) ? at : at + 1;
  }
  return 0;
}

// The right operand, with its own sign, runs to the next arithmetic
// character or the end.
size_t RightOperandEnd(std::string_view text, size_t op) {
  size_t at = op + 1;
  while (at < text.size() && IsOneOf(text[at], kBlanks)) ++at;
  if (at < text.size() && IsSignChar(text[at])) ++at;
  while (at < text.size() && !EndsOperand(text, at)) ++at;
  return at;
}

// Blank-separated words; a double-quoted run belongs to its word even when
// it holds blanks.
struct Word {
  size_t begin;
  size_t end;
};

std::vector<Word> QuotedWords(std::string_view text) {
  std::vector<Word> words;
  size_t at = 0;
  while (at < text.size()) {
    if (IsOneOf(text[at], kBlanks)) {
      ++at;
      continue;
    }
    const size_t begin = at;
    while (at < text.size() && !IsOneOf(text[at], kBlanks)) {
      const size_t close = text[at] == '"' ? text.find('"', at + 1) : at;
      at = close == std::string_view::npos ? text.size() : close + 1;
    }
    words.push_back({begin, at});
  }
  return words;
}

std::vector<std::string_view> PlainWords(std::string_view text) {
  std::vector<std::string_view> words;
  for (const Word& word : QuotedWords(text)) words.push_back(text.substr(word.begin, word.end - word.begin));
  return words;
}

// A text written as dd.mmss, in decimal degrees.
double DecimalFromPacked(double packed) {
  const double whole = std::floor(packed);
  const double minutes_and_seconds = (packed - whole) * 100;
  const double minutes = std::floor(minutes_and_seconds + 1e-9);
  const double seconds = (minutes_and_seconds - minutes) * 100;
  return whole + minutes / 60 + seconds / 3600;
}

// An empty part reads as 0.
bool ReadAnglePart(std::string_view text, double& value) {
  text = Trim(text, kBlanks);
  value = 0;
  return text.empty() || (ReadWholeNumber(text, value) && value >= 0);
}

void TraceTo(const EquationContext& context, const std::string& message) {
  if (context.trace) context.trace(message);
}

class Evaluator {
 public:
  explicit Evaluator(const EquationContext& context) : context_(context) {}

  // Parentheses first, innermost leftmost; each inside on its own.
  double Evaluate(std::string text) {
    // Everything before the last replacement is free of ")".
    for (size_t close, from = 0; (close = text.find(')', from)) != std::string::npos;) {
      const size_t open = text.rfind('(', close);
      if (open == std::string::npos) return Fail("Parentheses do not match.\n");
      const double inside = EvaluateFlat(text.substr(open + 1, close - open - 1));
      if (Failed(inside) || !Replace(text, open, close + 1, PrintResult(inside))) return kReportNoValue;
      from = open;
    }
    return EvaluateFlat(std::move(text));
  }

 private:
  // A text without parentheses.
  double EvaluateFlat(std::string text) {
    if (!ReplaceBrackets(text) || !ReplaceLike(text)) return kReportNoValue;
    for (std::string_view operators : kOperatorPasses) {
      if (!WorkOffOperators(text, operators)) return kReportNoValue;
    }
    const std::vector<std::string_view> words = PlainWords(text);
    if (words.size() >= 3 && EqualsNoCase(words[0], "if") && EqualsNoCase(words[2], "then")) {
      if (words.size() != 6 || !EqualsNoCase(words[4], "else")) return kReportNoValue;
      const double condition = OperandValue(words[1]);
      if (Failed(condition)) return kReportNoValue;
      return OperandValue(condition == 1 ? words[3] : words[5]);
    }
    return OperandValue(Trim(text, kBlanks));
  }

  // Names in square brackets become their values. A name without one keeps
  // its brackets: an untaken branch of "if" or LIKE's left side may still
  // do without it.
  bool ReplaceBrackets(std::string& text) {
    size_t kept = 0;  // brackets before it stay as they are
    for (size_t close, from = 0; (close = text.find(']', from)) != std::string::npos;) {
      const size_t open = text.rfind('[', close);
      if (open == std::string::npos || open < kept) {
        Trace("Brackets do not match.\n");
        return false;
      }
      const std::string name(Trim(std::string_view(text).substr(open + 1, close - open - 1), kBlanks));
      const double value = context_.value(name);
      if (Failed(value)) {
        Trace(StrPrintf("Unable to evaluate a value of variable '%s'.\n", name.c_str()));
        kept = from = close + 1;
        continue;
      }
      if (!Replace(text, open, close + 1, PrintResult(value))) return false;
      from = open;
    }
    return true;
  }

  // "IF x [NOT] LIKE pattern THEN rest" becomes "if 1 THEN rest" or
  // "if 0 THEN rest".
  bool ReplaceLike(std::string& text) {
    const std::vector<Word> words = QuotedWords(text);
    const auto word = [&](size_t index) {
      return std::string_view(text).substr(words[index].begin, words[index].end - words[index].begin);
    };
    if (words.size() < 5 || !EqualsNoCase(word(0), "IF")) return true;
    size_t like = 2;
    while (like < words.size() && !EqualsNoCase(word(like), "LIKE")) ++like;
    size_t then = like + 2;
    while (then < words.size() && !EqualsNoCase(word(then), "THEN")) ++then;
    if (then >= words.size()) return true;

    const bool negated = like >= 3 && EqualsNoCase(word(like - 1), "NOT");
    const size_t left_end = words[negated ? like - 2 : like - 1].end;
    const std::string_view left = std::string_view(text).substr(words[1].begin, left_end - words[1].begin);
    const std::string pattern(Unwrap(
        Trim(std::string_view(text).substr(words[like].end, words[then].begin - words[like].end), kBlanks), '"', '"'));

    const std::string_view literal = Unwrap(left, '"', '"');
    std::string subject(literal);
    if (literal.size() == left.size()) {
      if (!context_.text) {
        Trace("String conversion function is not defined\n");
        return false;
      }
      // A bracketed name whose value was not a number is still bracketed.
      const std::string_view name = Trim(Unwrap(left, '[', ']'), kBlanks);
      if (!context_.text(name, subject)) {
        Trace(StrPrintf("Unable to evaluate a value of variable '%s'.\n", std::string(name).c_str()));
        return false;
      }
    }
    const bool matches = MatchesLikePattern(subject, pattern) != negated;
    text = StrPrintf("if %d ", matches ? 1 : 0) + text.substr(words[then].begin);
    return true;
  }

  // Replacing an operation changes neither what comes before it nor whether
  // a sign after it is one, so each search goes on where the last result
  // begins.
  bool WorkOffOperators(std::string& text, std::string_view operators) {
    for (size_t op, from = 0; (op = FindBinaryOperator(text, operators, from)) != std::string::npos;) {
      const size_t begin = LeftOperandBegin(text, op);
      const size_t end = RightOperandEnd(text, op);
      const std::string left(Trim(std::string_view(text).substr(begin, op - begin), kBlanks));
      const std::string right(Trim(std::string_view(text).substr(op + 1, end - op - 1), kBlanks));
      const double a = OperandValue(left);
      const double b = OperandValue(right);
      if (Failed(a) || Failed(b)) {
        Trace(StrPrintf("\nWarning: Variable name or real value is missing: %s Token1: %s Token2: %s", text.c_str(),
                        left.c_str(), right.c_str()));
        return false;
      }
      const double result = Operate(text[op], a, b);
      if (Failed(result)) return false;
      std::string printed = PrintResult(result);
      from = begin;
      if (printed.front() == '-' && begin > 0 && text[begin - 1] == '-') {
        printed.front() = '+';  // a - -b is a + b
        from = begin - 1;
      }
      if (!Replace(text, from, end, printed)) return false;
    }
    return true;
  }

  double Operate(char op, double a, double b) {
    switch (op) {
      case '^':
        if (a < 0) return Fail("Can not evaluate the power of negative numbers.\n");
        return a == 0 ? 1 : std::exp(b * std::log(a));
      case '/':
        return b == 0 ? kReportNoValue : a / b;
      case '*':
        return a * b;
      case '+':
        return a + b;
      case '-':
        return a - b;
      case '<':
        return a < b ? 1 : 0;
      case '>':
        return a > b ? 1 : 0;
      case '!':
        return a != b ? 1 : 0;
      case '=':
        return a == b ? 1 : 0;
      case '|':
        return a != 0 || b != 0 ? 1 : 0;
      case '&':
        return a != 0 && b != 0 ? 1 : 0;
      default:
        return kReportNoValue;
    }
  }

  // The callback's value of an operand; a signed name the callback does not
  // know is the signed value of the name.
  double OperandValue(std::string_view operand) {
    if (operand.empty()) return kReportNoValue;
    const double value = context_.value(operand);
    if (!Failed(value)) return value;
    if (!IsSignChar(operand.front())) return kReportNoValue;
    const std::string_view name = TrimLeft(operand.substr(1), kBlanks);
    if (name.empty() || IsSignChar(name.front())) return kReportNoValue;
    const double unsigned_value = context_.value(name);
    if (Failed(unsigned_value)) return kReportNoValue;
    return operand.front() == '-' ? -unsigned_value : unsigned_value;
  }

  bool Replace(std::string& text, size_t begin, size_t end, std::string_view with) {
    if (text.size() - (end - begin) + with.size() > kMaxWorkingLength) {
      Trace(StrPrintf("Equation grows longer than %zu characters while evaluated.\n", kMaxWorkingLength));
      return false;
    }
    text.replace(begin, end - begin, with);
    return true;
  }

  void Trace(const std::string& message) const { TraceTo(context_, message); }

  double Fail(const char* message) const {
    Trace(message);
    return kReportNoValue;
  }

  const EquationContext& context_;
};

}  // namespace

double EvaluateEquation(std::string_view equation, const EquationContext& context) {
  if (!context.value) {
    TraceTo(context, "Evaluation function is not set\n");
    return kReportNoValue;
  }
  if (equation.size() > kMaxEquationLength) {
    TraceTo(context, StrPrintf("Equation is longer than %zu characters.\n", kMaxEquationLength));
    return kReportNoValue;
  }
  const double value = Evaluator(context).Evaluate(std::string(equation));
  return Failed(value) ? kReportNoValue : value;
}

bool ReadWholeNumber(std::string_view text, double& value) {
  text = Trim(text, kBlanks);
  // from_chars takes a minus sign but no plus sign.
  if (text.size() >= 2 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  double read = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool ReadDegreeAngle(std::string_view text, double& degrees) {
  const size_t sign = text.find('\xB0');
  if (sign == std::string_view::npos) return false;
  // UTF-8 writes the degree sign as C2 B0.
  const size_t degrees_end = sign > 0 && text[sign - 1] == '\xC2' ? sign - 1 : sign;
  const std::string_view rest = text.substr(sign + 1);
  const size_t apostrophe = rest.find('\'');
  const std::string_view seconds_text = apostrophe == std::string_view::npos
                                            ? std::string_view()
                                            : TrimRight(Trim(rest.substr(apostrophe + 1), kBlanks), "\"");

  double whole = 0;
  double minutes = 0;
  double seconds = 0;
  if (!ReadWholeNumber(text.substr(0, degrees_end), whole) || !ReadAnglePart(rest.substr(0, apostrophe), minutes) ||
      !ReadAnglePart(seconds_text, seconds)) {
    return false;
  }
  // The sign of the degrees is the sign of the whole angle.
  const double packed = std::fabs(whole) + minutes * 0.01 + seconds * 0.0001;
  degrees = std::signbit(whole) ? -DecimalFromPacked(packed) : DecimalFromPacked(packed);
  return true;
}

bool MatchesLikePattern(std::string_view text, std::string_view pattern) {
  const auto is_run = [](char c) { return c == '%' || c == '*'; };
  size_t t = 0;
  size_t p = 0;
  size_t star = std::string_view::npos;  // the last "any run" seen, to retry from
  size_t star_text = 0;
  while (t < text.size()) {
    if (p < pattern.size() && is_run(pattern[p])) {
      star = p++;
      star_text = t;
    } else if (p < pattern.size() &&
               (pattern[p] == '_' || pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(text[t]))) {
      ++t;
      ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && is_run(pattern[p])) ++p;
  return p == pattern.size();
}

}  // namespace pelikon
