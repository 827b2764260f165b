// The message catalogue: every text the program shows is looked up by its
// untranslated wording in the domain "pelikon". When no catalogue is bound
// or the text has no translation, the text itself comes back.
//
// Texts in code that is not the one showing them are marked with N_() so
// that one extraction pass finds them; they are translated with Tr() where
// they are shown.
#pragma once

#include <filesystem>
#include <string>

// wxWidgets defines the same marker; either definition does the same.
#ifndef N_
#define N_(text) text
#endif

namespace pelikon {

inline constexpr const char* kCatalogueDomain = "pelikon";

// Binds the domain to `locale_folder` (laid out as
// <folder>/<language>/LC_MESSAGES/pelikon.mo) and takes the user's language
// from the environment. Numbers keep the "C" format whatever the language.
// An empty folder means the program's own catalogue folder, beside it in a
// build tree or under share/ once installed (CatalogueFolder()).
void BindCatalogue(const std::filesystem::path& locale_folder = {});

// The translation of `text`, or `text` itself. The result lives as long as
// the catalogue (or the argument, when untranslated).
const char* Tr(const char* text);
std::string Tr(const std::string& text);

}  // namespace pelikon
