// One GTK start-up for the whole process, keeping the C locale.
#include "platform/gtk_start.h"

#include <gtk/gtk.h>

namespace platform {

bool startGtk() {
  static const bool localeKept = (gtk_disable_setlocale(), true);
  (void)localeKept;
  return gtk_init_check(nullptr, nullptr);
}

}  // namespace platform
