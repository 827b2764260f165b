// The formatter's two attribute windows, both kept per section of the
// host (the section the formatter was opened for):
//
// * "User-Defined Attributes": fields computed from an equation over the
//   entry's values ("userattr.dta"), with their visible name, whether they
//   are reported or only used in other equations, their decimals and their
//   total option; "List &keys" puts a field of the report into the
//   equation.
// * "Attribute Display Options": the note, decimals and total option a
//   field of the report is shown with ("attrsets.dta").
//
// The key field is a combo box: picking an entry already kept shows it,
// "&Save" keeps the one shown (replacing the entry of that key, compared
// without regard to case), "&Delete" removes it. The file is written at
// once; the formatter reloads the section when the window closes.
#pragma once

#include <string>
#include <vector>

class wxWindow;

namespace pelikon {

class Formatter;

void RunUserAttributesDialog(wxWindow* parent, Formatter& formatter);
void RunAttributeDisplayDialog(wxWindow* parent, Formatter& formatter);

// The "Select one of available keys" list: `keys` with their notes as
// "%-25.25s %-35.35s" rows. The chosen key, or empty when none.
std::string PickReportKey(wxWindow* parent, const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace pelikon
