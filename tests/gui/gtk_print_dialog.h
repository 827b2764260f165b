// GTK's print dialog as a window test meets it: GTK's own window, not one
// of the toolkit's, found among GTK's windows through the GTK the toolkit
// has loaded (the tests need no GTK headers).
#pragma once

#include <dlfcn.h>

#include <string>

namespace pelikon::testing {

struct GtkPrintDialogState {
  bool shown = false;
  bool active = false;                      // shown, with the keyboard's focus
  std::string printer;                      // the printer chosen in it, once the list has one
  bool to_file = false;                     // that printer is GTK's "Print to File"
  int x = 0, y = 0, width = 0, height = 0;  // where it is on the screen
  void* window = nullptr;
};

// The print dialog GTK shows now; `active` false when there is none.
inline GtkPrintDialogState ShownGtkPrintDialog() {
  struct List {
    void* data;
    List* next;
    List* prev;
  };
  const auto find = [](const char* name) { return dlsym(RTLD_DEFAULT, name); };
  const auto toplevels = reinterpret_cast<List* (*)()>(find("gtk_window_list_toplevels"));
  const auto free_list = reinterpret_cast<void (*)(List*)>(find("g_list_free"));
  const auto dialog_type = reinterpret_cast<unsigned long (*)()>(find("gtk_print_unix_dialog_get_type"));
  const auto is_a = reinterpret_cast<int (*)(void*, unsigned long)>(find("g_type_check_instance_is_a"));
  const auto visible = reinterpret_cast<int (*)(void*)>(find("gtk_widget_get_visible"));
  const auto active = reinterpret_cast<int (*)(void*)>(find("gtk_window_is_active"));
  const auto selected = reinterpret_cast<void* (*)(void*)>(find("gtk_print_unix_dialog_get_selected_printer"));
  const auto name = reinterpret_cast<const char* (*)(void*)>(find("gtk_printer_get_name"));
  const auto is_virtual = reinterpret_cast<int (*)(void*)>(find("gtk_printer_is_virtual"));
  using Pair = void (*)(void*, int*, int*);
  const auto position = reinterpret_cast<Pair>(find("gtk_window_get_position"));
  const auto size = reinterpret_cast<Pair>(find("gtk_window_get_size"));
  GtkPrintDialogState state;
  if (!toplevels || !free_list || !dialog_type || !is_a || !visible || !active || !selected || !name || !is_virtual ||
      !position || !size)
    return state;
  List* windows = toplevels();
  for (List* item = windows; item != nullptr; item = item->next) {
    if (!is_a(item->data, dialog_type()) || !visible(item->data)) continue;
    state.shown = true;
    state.window = item->data;
    state.active = active(item->data) != 0;
    position(item->data, &state.x, &state.y);
    size(item->data, &state.width, &state.height);
    if (void* printer = selected(item->data)) {
      state.printer = name(printer);
      state.to_file = is_virtual(printer) != 0;
    }
  }
  free_list(windows);
  return state;
}

// Gives the dialog the keyboard's focus, as a window manager gives it to
// a window that comes up (the window tests run without one).
inline void FocusGtkPrintDialog(const GtkPrintDialogState& dialog) {
  using Present = void (*)(void*, unsigned);
  if (const auto present = reinterpret_cast<Present>(dlsym(RTLD_DEFAULT, "gtk_window_present_with_time")))
    if (dialog.window != nullptr) present(dialog.window, 0);
}

}  // namespace pelikon::testing
