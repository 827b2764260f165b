// User-defined attributes as a host uses them while it builds a report:
// loaded for a section, evaluated on each entry (the results become real
// tokens of that entry), freed. A name in an equation takes its value from
// the entry: a real token, a string token that is a number in full, or a
// string holding a degree sign (12°30'36 reads as 12.51 degrees).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "report/attribute_store.h"
#include "report/report_model.h"

namespace pelikon {

// What is wrong with an attribute the user typed in (translated), or
// empty: a key is needed and may not hold "()[]+-*/^" (the characters a
// stored key never has), and so is an equation. `with_equation` false
// checks a display option, which has none.
std::string AttributeEntryProblem(const UserAttribute& attribute, bool with_equation);

// The value of `name` on an entry's tokens, or kReportNoValue (traced as
// "Attribute '%s' has no real value\n").
double EntryValue(const ReportToken* tokens, std::string_view name);

class UserAttributeSet {
 public:
  // Reads the section of "userattr.dta" and of "attrsets.dta" in `data_folder`.
  void Load(const std::filesystem::path& data_folder, std::string_view section);
  void Free();

  // Evaluates every attribute with an equation on the report's current
  // entry and appends the results; a failure is traced as
  // "Evaluation %s failed.\n" and adds nothing. An attribute whose key the
  // entry has already is traced as a conflict and left out.
  void ReportOn(Report& report) const;
  // Evaluates the attributes `entry` has no value of yet (attributes the
  // user added after the report was built) and appends the results.
  void AddMissingTo(Report& report, ReportNode& entry) const;

  const std::vector<UserAttribute>& Attributes() const { return attributes_; }
  const std::vector<AttributeDisplay>& Displays() const { return displays_; }

 private:
  void EvaluateOn(Report& report, ReportNode& entry, bool trace_conflicts) const;

  std::vector<UserAttribute> attributes_;
  std::vector<AttributeDisplay> displays_;
};

}  // namespace pelikon
