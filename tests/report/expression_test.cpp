#include "report/expression.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace pelikon {
namespace {

// Numbers in full, a few real names, and string names valued the way report
// tokens are: a number in full or an angle.
class Equations {
 public:
  Equations() {
    context_.value = [this](std::string_view operand) {
      double value = 0;
      if (ReadWholeNumber(operand, value)) return value;
      if (const auto real = reals_.find(operand); real != reals_.end()) return real->second;
      if (const auto text = texts_.find(operand); text != texts_.end()) {
        if (ReadWholeNumber(text->second, value) || ReadDegreeAngle(text->second, value)) return value;
      }
      return kReportNoValue;
    };
    context_.text = [this](std::string_view name, std::string& text) {
      const auto found = texts_.find(name);
      if (found == texts_.end()) return false;
      text = found->second;
      return true;
    };
    context_.trace = [this](const std::string& message) { trace_ += message; };
  }

  double Evaluate(std::string_view equation) {
    trace_.clear();
    return EvaluateEquation(equation, context_);
  }
  const std::string& trace() const { return trace_; }
  EquationContext& context() { return context_; }

 private:
  std::map<std::string, double, std::less<>> reals_ = {{"a", 2}, {"b", 3}, {"neg", -4}, {"Point Code", 7}};
  std::map<std::string, std::string, std::less<>> texts_ = {
      {"code", "CP12"}, {"Description", "Stake Out"}, {"angle", "12\26030'36"}, {"utf8angle", "12\302\26030'36"}};
  EquationContext context_;
  std::string trace_;
};

struct Case {
  std::string equation;
  double expected;
};

TEST(EvaluateEquation, Values) {
  // clang-format off
  const std::vector<Case> cases = {
      {"2+3*4", 14}, {"(2+3)*4", 20}, {"2^3^2", 64}, {"0^5", 1}, {"10/4", 2.5}, {"2-3-4", -5}, {"2 + 3", 5},
      {"3<5", 1}, {"5<3", 0}, {"5>3", 1}, {"2=2", 1}, {"2!3", 1}, {"2!2", 0}, {"1&0", 0}, {"1|0", 1},
      {"(1+2)<4", 1}, {"(0.1+0.2)=0.3", 1},  // equal once printed with 14 places
      // Signs, including negative intermediate results put back as text.
      {"-2+5", 3}, {"2*-3", -6}, {"2 * - 3", -6}, {"2^-1", 0.5}, {"2^(0-1)", 0.5}, {"5-(0-3)", 8},
      {"5-3*-2", 11}, {"a-neg*2", 10}, {"(0-2)*3", -6}, {"0-neg", 4}, {"-a*b", -6},
      // Exponents are part of their number.
      {"1.5e-3*2", 0.003}, {"2E+2/4", 50},
      // Names, bracketed names and angles.
      {"a*b", 6}, {"[a]+[b]", 5}, {"[Point Code]*2", 14}, {"[[a]]", 2}, {"[angle]", 12.51}, {"[utf8angle]*2", 25.02},
      // if c then a else b; a negative branch put back from parentheses.
      {"if 1 then 2 else 3", 2}, {"IF 0 THEN a ELSE b", 3}, {"if (a<b) then (0-5) else 2", -5},
      {"if 0 then 1 else -a", -2}, {"(if 1 then a else b)*10", 20}};
  // clang-format on
  Equations equations;
  for (const Case& c : cases) {
    EXPECT_NEAR(equations.Evaluate(c.equation), c.expected, 1e-9) << c.equation << " " << equations.trace();
  }
}

TEST(EvaluateEquation, FailuresAndTheirTraces) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"8/0", ""},
      {"3<5|0", "\nWarning: Variable name or real value is missing: 3<5|0 Token1: 3 Token2: 5|0"},
      {"2*", "\nWarning: Variable name or real value is missing: 2* Token1: 2 Token2: "},
      {"(2+3", "\nWarning: Variable name or real value is missing: (2+3 Token1: (2 Token2: 3"},
      {"2)", "Parentheses do not match.\n"},
      {"a]", "Brackets do not match.\n"},
      {"[nothing]", "Unable to evaluate a value of variable 'nothing'.\n"},
      {"(0-2)^2", "Can not evaluate the power of negative numbers.\n"},
      {"-2^2", "Can not evaluate the power of negative numbers.\n"},  // the sign belongs to the number
      {"if 1 then 2", ""},
      {"1e308*10", ""},
      {"98765432.1", ""},
      {"98765432+0.1", ""},  // an intermediate result of the failure value fails too
      {"unknown", ""},
      // User text never becomes a format.
      {"[50%s%n]", "Unable to evaluate a value of variable '50%s%n'.\n"},
      {"%n*2", "\nWarning: Variable name or real value is missing: %n*2 Token1: %n Token2: 2"},
  };
  Equations equations;
  for (const auto& [equation, trace] : cases) {
    EXPECT_EQ(equations.Evaluate(equation), kReportNoValue) << equation;
    EXPECT_EQ(equations.trace(), trace) << equation;
  }
}

TEST(EvaluateEquation, Like) {
  const std::vector<Case> cases = {
      {R"(IF code LIKE "CP*" THEN 1 ELSE 0)", 1},
      {R"(if code not like "cp%" then 1 else 0)", 0},
      {R"(IF code NOT LIKE "X*" THEN (a+b) ELSE 0)", 5},
      {R"(IF code LIKE CP?? THEN a ELSE b)", 2},
      {R"(IF code LIKE CP_ THEN a ELSE b)", 3},
      {R"(IF "abc" LIKE "A_C" THEN 7 ELSE 8)", 7},
      {R"(IF "a like b" LIKE "a*b" THEN 7 ELSE 8)", 7},
      {R"(IF [Description] LIKE "stake*" THEN 1 ELSE 0)", 1},  // a bracketed name keeps its text
  };
  Equations equations;
  for (const Case& c : cases) EXPECT_EQ(equations.Evaluate(c.equation), c.expected) << c.equation;

  EXPECT_EQ(equations.Evaluate(R"(IF nosuch LIKE "x" THEN 1 ELSE 0)"), kReportNoValue);
  EXPECT_EQ(equations.trace(), "Unable to evaluate a value of variable 'nosuch'.\n");
  EXPECT_EQ(equations.Evaluate(R"(IF code LIKE "CP*" THEN 1)"), kReportNoValue);
}

TEST(EvaluateEquation, MissingCallbacks) {
  Equations equations;
  equations.context().text = nullptr;
  EXPECT_EQ(equations.Evaluate(R"(IF code LIKE "CP*" THEN 1 ELSE 0)"), kReportNoValue);
  EXPECT_EQ(equations.trace(), "String conversion function is not defined\n");
  EXPECT_EQ(equations.Evaluate(R"(IF "CP1" LIKE "CP*" THEN 1 ELSE 0)"), 1);

  equations.context().value = nullptr;
  EXPECT_EQ(equations.Evaluate("1"), kReportNoValue);
  EXPECT_EQ(equations.trace(), "Evaluation function is not set\n");
}

TEST(EvaluateEquation, HostileInputEndsAndFails) {
  const auto repeat = [](std::string_view part, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += part;
    return text;
  };
  Equations equations;
  const auto start = std::chrono::steady_clock::now();

  EXPECT_EQ(equations.Evaluate(std::string(4092, ' ') + "1+1"), 2);
  EXPECT_EQ(equations.Evaluate(std::string(4093, ' ') + "1+1"), kReportNoValue);
  EXPECT_EQ(equations.trace(), "Equation is longer than 4095 characters.\n");

  // Results printed in full may outgrow the equation; the work stays bounded.
  EXPECT_EQ(equations.Evaluate(repeat("(1e300)+", 500) + "1"), kReportNoValue);
  EXPECT_EQ(equations.trace(), "Equation grows longer than 65535 characters while evaluated.\n");
  EXPECT_EQ(equations.Evaluate(repeat("(1)*", 1023) + "1"), 1);

  EXPECT_EQ(equations.Evaluate(std::string(2000, '(') + "1" + std::string(2000, ')')), 1);
  EXPECT_EQ(equations.Evaluate(std::string(1000, '[') + "a" + std::string(1000, ']')), 2);
  EXPECT_EQ(equations.Evaluate(repeat("1-", 2000) + "1"), -1999);

  const std::vector<std::string> failing = {
      std::string(2000, '('), std::string(2000, ')'),      std::string(2000, ']') + std::string(2000, '['),
      repeat("[x%n]", 800),   repeat("+-*/^<>!=|&", 370),  std::string(300, '9') + "^" + std::string(300, '9'),
      repeat("if ", 1300),    repeat("IF LIKE THEN ", 300)};
  for (const std::string& equation : failing) EXPECT_EQ(equations.Evaluate(equation), kReportNoValue);

  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ReadWholeNumber, WholeTextOnly) {
  const std::vector<std::pair<std::string, double>> numbers = {
      {"12", 12}, {" -1.5 ", -1.5}, {"+2e3", 2000}, {".5", 0.5}, {"\t7\t", 7}};
  for (const auto& [text, expected] : numbers) {
    double value = 0;
    EXPECT_TRUE(ReadWholeNumber(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text : {"", " ", "12a", "1,5", "+-1", "inf", "nan", "1e999", "0x10", "1 2"}) {
    double value = 42;
    EXPECT_FALSE(ReadWholeNumber(text, value)) << text;
    EXPECT_EQ(value, 42) << text;
  }
}

TEST(ReadDegreeAngle, DegreesMinutesSeconds) {
  const std::vector<std::pair<std::string, double>> angles = {
      {"12\26030'36", 12.51},     {"12\302\26030'36", 12.51}, {"12\260", 12},     {"12\26030'", 12.5},
      {"12\260 30' 36\"", 12.51}, {"-12\26030'36", -12.51},   {"-0\26030'", -0.5}};
  for (const auto& [text, expected] : angles) {
    double degrees = 0;
    EXPECT_TRUE(ReadDegreeAngle(text, degrees)) << text;
    EXPECT_NEAR(degrees, expected, 1e-9) << text;
  }
  double degrees = 0;
  for (const char* text : {"12.51", "\26030", "a\260", "12\260x'", "12\26030'-5"}) {
    EXPECT_FALSE(ReadDegreeAngle(text, degrees)) << text;
  }
}

TEST(MatchesLikePattern, Wildcards) {
  EXPECT_TRUE(MatchesLikePattern("abcabd", "*ab?"));  // needs a retry after the first "ab"
  EXPECT_TRUE(MatchesLikePattern("", "%*"));
  EXPECT_FALSE(MatchesLikePattern("CP1", "CP1_"));
  // Long texts against many runs finish quickly.
  EXPECT_FALSE(MatchesLikePattern(std::string(4000, 'a'), std::string(2000, '%') + "b"));
}

}  // namespace
}  // namespace pelikon
