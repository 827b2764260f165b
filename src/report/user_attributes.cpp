#include "report/user_attributes.h"

#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/expression.h"
#include "report/report_trace.h"

namespace pelikon {

std::string AttributeEntryProblem(const UserAttribute& attribute, bool with_equation) {
  if (Trim(attribute.key).empty()) return Tr("Please specify attribute key name");
  if (attribute.key.find_first_of("()[]+-*/^") != std::string::npos)
    return Tr("Attribute key name may not contain the following characters: ()[]+-*/^");
  if (with_equation && Trim(attribute.equation).empty()) return Tr("Please specify attribute equation");
  return {};
}

double EntryValue(const ReportToken* tokens, std::string_view name) {
  double value = 0;
  if (ReadWholeNumber(name, value)) return value;
  if (name.find('(') == std::string_view::npos) {
    const ReportToken* token = FindToken(tokens, ReportKey(name));
    if (token != nullptr && token->type == kReportReal) return token->real;
    if (token != nullptr && (ReadWholeNumber(token->text, value) || ReadDegreeAngle(token->text, value))) return value;
  }
  const std::string text(name);
  ReportTrace("Attribute '%s' has no real value\n", text.c_str());
  return kReportNoValue;
}

void UserAttributeSet::Load(const std::filesystem::path& data_folder, std::string_view section) {
  attributes_ = ReadUserAttributes(data_folder / kUserAttributesFile, section);
  displays_ = ReadAttributeDisplays(data_folder / kAttributeDisplayFile, section);
}

void UserAttributeSet::Free() {
  attributes_.clear();
  displays_.clear();
}

void UserAttributeSet::ReportOn(Report& report) const {
  if (ReportNode* entry = report.CurrentEntry()) EvaluateOn(report, *entry, true);
}

void UserAttributeSet::AddMissingTo(Report& report, ReportNode& entry) const {
  EvaluateOn(report, entry, false);
}

void UserAttributeSet::EvaluateOn(Report& report, ReportNode& node, bool trace_conflicts) const {
  const ReportNode* entry = &node;
  EquationContext context;
  context.value = [entry](std::string_view name) { return EntryValue(entry->tokens, name); };
  context.text = [entry](std::string_view name, std::string& text) {
    const ReportToken* token = FindToken(entry->tokens, ReportKey(name));
    if (token == nullptr || token->type != kReportString) return false;
    text = token->text;
    return true;
  };
  context.trace = [](const std::string& message) { ReportTrace("%s", message.c_str()); };
  for (const UserAttribute& attribute : attributes_) {
    if (attribute.equation.empty()) continue;
    // The host's own value of that key stays; a second token of the same
    // key would never be found.
    if (FindToken(entry->tokens, ReportKey(attribute.key)) != nullptr) {
      if (trace_conflicts)
        ReportTrace("Attribute name '%s' conflicts with user-defined attibute\n", attribute.key.c_str());
      continue;
    }
    const double value = EvaluateEquation(attribute.equation, context);
    if (value == kReportNoValue) {
      ReportTrace("Evaluation %s failed.\n", attribute.key.c_str());
      continue;
    }
    TokenValue token;
    token.key = attribute.key;
    token.note = attribute.note;
    token.type = kReportReal;
    token.real = value;
    token.places = attribute.decimals;
    token.averkey = attribute.aver_key ? attribute.aver_key->c_str() : nullptr;
    token.is_sorted = 1;
    report.AddToken(node, token);
  }
}

}  // namespace pelikon
