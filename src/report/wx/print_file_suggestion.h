// The file the desktop's print dialog offers when the user prints to a
// file: a PDF named after what is printed, where its other copies are
// kept, instead of the desktop's own "output.pdf" in the home folder.
#pragma once

#include <filesystem>

#include <wx/cmndata.h>

namespace pelikon {

// Makes `pdf` the file `data` prints to when the user picks printing to a
// file (PDF unless the user switches the format there). Only GTK's print
// dialog prints to files; with any other, nothing changes.
void SuggestPrintFile(wxPrintData& data, const std::filesystem::path& pdf);

}  // namespace pelikon
