// Keeps the clipboard text alive after the program exits.
//
// On X11 the clipboard is served by the program that set it, so its text
// vanishes when the program ends. GTK hands the text to the desktop's
// clipboard manager, where one runs, which then serves it instead.
#include <SDL.h>
#include <gtk/gtk.h>

#include "platform/gtk_start.h"
#include "platform/platform.h"

namespace platform {

void persistClipboard() {
  if (!SDL_HasClipboardText() || !startGtk()) return;
  char* text = SDL_GetClipboardText();
  if (!text) return;
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_text(clipboard, text, -1);
  SDL_free(text);
  // Returns at once when no clipboard manager runs.
  gtk_clipboard_store(clipboard);
}

}  // namespace platform
