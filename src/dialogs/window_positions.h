// Remembered window positions: the file "dialogs.ini", one line per
// window, "name,left,top,right,bottom,maximised" in screen pixels with
// maximised 1 or 0. Saving rewrites the file through the twin
// "dialogs.new", keeping every other window's line; restoring clamps the
// rectangle to the screen. Pure functions over a folder and a screen size.
//
// A window name is a key in a line of commas: a name holding ",", a line
// break or other control characters, or nothing at all, is neither saved
// nor looked up.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelikon {

inline constexpr const char* kWindowPositionsFile = "dialogs.ini";
inline constexpr const char* kWindowPositionsTwin = "dialogs.new";

struct WindowPlacement {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool maximized = false;
  bool operator==(const WindowPlacement&) const = default;
};

struct ScreenArea {
  long width = 0;
  long height = 0;
  // The size of a maximised window (the screen less the desktop's panels).
  long maximized_width = 0;
  long maximized_height = 0;
};

// Whether `name` can be a key in "dialogs.ini".
bool IsWindowKey(std::string_view name);

// Writes the window's line into "dialogs.ini" in `folder` (empty: the
// current folder). 1 when saved; 0 when `minimized` (nothing is saved
// then), when the name cannot be a key, or when the file could not be
// written (the old file stays as it was).
int SaveWindowPlacement(const std::filesystem::path& folder, std::string_view name, const WindowPlacement& placement,
                        bool minimized);

// The window's line from "dialogs.ini" in `folder`: the first line that
// begins with the name and a comma. Nothing when the file, the line or a
// well-formed rectangle in it is missing.
std::optional<WindowPlacement> LoadWindowPlacement(const std::filesystem::path& folder, std::string_view name);

// Left and top below 0 or past the maximised size become 0; right and
// bottom below 0 or past the screen size become the screen's width and
// height.
WindowPlacement ClampToScreen(WindowPlacement placement, const ScreenArea& screen);

enum class RestoreStep { kMaximize, kMoveAndSize, kMove };

// What restoring does with a window: a line marked maximised maximises a
// window that has a maximise box; otherwise a resizable window takes the
// whole rectangle and a window of fixed size (or a rectangle with no
// area) is only moved to its left and top.
RestoreStep ChooseRestoreStep(const WindowPlacement& placement, bool has_maximize_box, bool resizable);

}  // namespace pelikon
