// Equations from arbitrary bytes: evaluation must end, stay in bounds and
// give either a finite value or the failure value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "report/expression.h"

namespace {

double ValueOf(std::string_view operand) {
  double value = 0;
  if (pelikon::ReadWholeNumber(operand, value)) return value;
  if (operand == "a") return 2;
  if (operand == "neg") return -4;
  if (operand == "big") return 1e300;
  if (operand == "angle") return pelikon::ReadDegreeAngle("12\26030'36", value) ? value : pelikon::kReportNoValue;
  return pelikon::kReportNoValue;
}

bool TextOf(std::string_view name, std::string& text) {
  if (name != "code" && name != "a") return false;
  text = name == "code" ? "CP12" : "2";
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view equation(reinterpret_cast<const char*>(data), size);
  size_t traced = 0;
  pelikon::EquationContext context;
  context.value = ValueOf;
  context.text = TextOf;
  context.trace = [&traced](const std::string& message) { traced += message.size(); };

  const double value = pelikon::EvaluateEquation(equation, context);
  if (value != pelikon::kReportNoValue && !std::isfinite(value)) std::abort();

  double number = 0;
  pelikon::ReadDegreeAngle(equation, number);
  pelikon::MatchesLikePattern(equation.substr(0, size / 2), equation.substr(size / 2));
  return 0;
}
