// The words for the serial engines' error codes, untranslated (look them up
// in the catalogue where they are shown).
#pragma once

namespace pelikon {

// The text of a transfer error code -601 to -619, or nullptr for any other.
const char* TransferErrorText(int code);

}  // namespace pelikon
