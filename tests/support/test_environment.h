// Keeps a test program that is run by hand away from the user's own files:
// when PELIKON_TEMP_DIR (working files, the trace log) is not set, as CTest
// sets it, it and PELIKON_CONFIG_DIR (settings) are pointed into a fresh
// folder below the system's temporary folder; with it set, the settings go
// into its "config" folder unless PELIKON_CONFIG_DIR says otherwise.
#pragma once

namespace pelikon::testing {

// Call first thing in main(), before any working folder is taken. Listing
// the tests (--gtest_list_tests) touches no files and makes no folder.
void KeepTestFilesPrivate(int argc, char** argv);

}  // namespace pelikon::testing
