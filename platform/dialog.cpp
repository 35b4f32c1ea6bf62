// The setup dialog's window, built with GTK 3 and run modally with gtk_dialog_run.
#include "platform/dialog.h"

#include <gtk/gtk.h>

#include "platform/gtk_start.h"

namespace platform {
namespace {

struct SetupDialogWidgets {
  GtkWidget* dialog = nullptr;
  GtkWidget* resolutionGroup = nullptr;
  GtkWidget* resolutionList = nullptr;
  GtkWidget* antialiased = nullptr;
  GtkWidget* windowed = nullptr;
  GtkWidget* run = nullptr;
  GtkWidget* quit = nullptr;
};

bool scriptPending = false;
SetupDialogScript pendingScript;
guint scriptTimer = 0;  // the scheduled script run, 0 when none

GtkWidget* framed(GtkWidget* content, const char* title) {
  GtkWidget* frame = gtk_frame_new(title);
  gtk_widget_set_margin_start(content, 8);
  gtk_widget_set_margin_end(content, 8);
  gtk_widget_set_margin_top(content, 4);
  gtk_widget_set_margin_bottom(content, 6);
  gtk_container_add(GTK_CONTAINER(frame), content);
  return frame;
}

void respondRun(GtkButton*, gpointer dialog) {
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
}

void respondQuit(GtkButton*, gpointer dialog) {
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
}

// Enter anywhere in the dialog activates the default button "Run ... ", as in
// a classic dialog, except on "Quit", which Enter presses when it has the focus.
// Without this, Enter on the focused drop-down would only open its list.
gboolean keyPressed(GtkWidget* dialog, GdkEventKey* event, gpointer data) {
  const auto* widgets = static_cast<const SetupDialogWidgets*>(data);
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
                     event->keyval == GDK_KEY_ISO_Enter;
  if (!enter || gtk_window_get_focus(GTK_WINDOW(dialog)) == widgets->quit) return FALSE;
  gtk_widget_activate(widgets->run);
  return TRUE;
}

SetupDialogWidgets buildDialog(const std::vector<std::string>& labels, int initialIndex) {
  SetupDialogWidgets w;
  w.dialog = gtk_dialog_new();
  GtkWindow* window = GTK_WINDOW(w.dialog);
  gtk_window_set_title(window, "Tessaly");
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_keep_above(window, TRUE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);

  w.resolutionList = gtk_combo_box_text_new();
  for (const std::string& label : labels) {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w.resolutionList), label.c_str());
  }
  if (initialIndex >= 0 && initialIndex < static_cast<int>(labels.size())) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.resolutionList), initialIndex);
  }
  w.resolutionGroup = framed(w.resolutionList, "Resolution");

  w.antialiased = gtk_check_button_new_with_label("Antialiased");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.antialiased), TRUE);
  w.windowed = gtk_check_button_new_with_label("Windowed");
  GtkWidget* options = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_box_set_homogeneous(GTK_BOX(options), TRUE);
  gtk_box_pack_start(GTK_BOX(options), w.antialiased, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(options), w.windowed, TRUE, TRUE, 0);

  // "Run ... " is the wide button on the left, "Quit" the narrow one on the right.
  w.run = gtk_button_new_with_label("Run ... ");
  w.quit = gtk_button_new_with_label("Quit");
  gtk_widget_set_size_request(w.run, 160, 34);
  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_box_pack_start(GTK_BOX(buttons), w.run, FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(buttons), w.quit, FALSE, FALSE, 0);
  gtk_widget_set_margin_top(buttons, 8);
  gtk_widget_set_margin_bottom(buttons, 8);

  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(w.dialog));
  gtk_box_set_spacing(GTK_BOX(content), 2);
  gtk_container_set_border_width(GTK_CONTAINER(content), 4);
  gtk_box_pack_start(GTK_BOX(content), w.resolutionGroup, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), framed(options, nullptr), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), framed(buttons, nullptr), FALSE, FALSE, 0);
  gtk_widget_set_size_request(w.dialog, 300, -1);

  gtk_widget_set_can_default(w.run, TRUE);
  gtk_window_set_default(window, w.run);
  gtk_window_set_focus(window, w.run);
  return w;
}

std::string labelOf(GtkWidget* button) { return gtk_button_get_label(GTK_BUTTON(button)); }

bool isChecked(GtkWidget* box) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box)); }

SetupDialogSnapshot snapshotOf(const SetupDialogWidgets& w) {
  SetupDialogSnapshot seen;
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w.resolutionList));
  GtkTreeIter row;
  for (gboolean more = gtk_tree_model_get_iter_first(model, &row); more;
       more = gtk_tree_model_iter_next(model, &row)) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, &row, 0, &text, -1);
    seen.labels.push_back(text ? text : "");
    g_free(text);
  }
  seen.activeIndex = gtk_combo_box_get_active(GTK_COMBO_BOX(w.resolutionList));
  seen.antialiased = isChecked(w.antialiased);
  seen.windowed = isChecked(w.windowed);
  const char* title = gtk_frame_get_label(GTK_FRAME(w.resolutionGroup));
  seen.groupTitle = title ? title : "";
  seen.runText = labelOf(w.run);
  seen.quitText = labelOf(w.quit);
  seen.runIsDefault = gtk_widget_has_default(w.run);
  seen.modal = gtk_window_get_modal(GTK_WINDOW(w.dialog));
  return seen;
}

// Delivers an Enter key press to the dialog as the window system would.
void pressEnter(GtkWidget* dialog) {
  GdkWindow* window = gtk_widget_get_window(dialog);
  GdkDisplay* display = gdk_window_get_display(window);
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(window));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = GDK_KEY_Return;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), GDK_KEY_Return, &keys,
                                        &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

gboolean giveUp(gpointer dialog) {
  scriptTimer = 0;
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_REJECT);
  return G_SOURCE_REMOVE;
}

gboolean runScript(gpointer data) {
  const auto* w = static_cast<const SetupDialogWidgets*>(data);
  const SetupDialogScript script = pendingScript;
  scriptTimer = 0;
  if (script.seen) *script.seen = snapshotOf(*w);
  if (script.selectIndex >= 0) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->resolutionList), script.selectIndex);
  }
  if (script.focusList) gtk_widget_grab_focus(w->resolutionList);
  if (script.toggleAntialiased) gtk_button_clicked(GTK_BUTTON(w->antialiased));
  if (script.toggleWindowed) gtk_button_clicked(GTK_BUTTON(w->windowed));
  switch (script.answer) {
    case SetupDialogAnswer::PressEnter:
      scriptTimer = g_timeout_add(2000, giveUp, w->dialog);
      pressEnter(w->dialog);
      break;
    case SetupDialogAnswer::ClickRun:
      gtk_button_clicked(GTK_BUTTON(w->run));
      break;
    case SetupDialogAnswer::ClickQuit:
      gtk_button_clicked(GTK_BUTTON(w->quit));
      break;
    case SetupDialogAnswer::CloseWindow:
      gtk_window_close(GTK_WINDOW(w->dialog));
      break;
  }
  return G_SOURCE_REMOVE;
}

void startScriptWhenShown(GtkWidget*, gpointer data) {
  scriptTimer = g_timeout_add(100, runScript, data);
}

}  // namespace

void scriptNextSetupDialog(const SetupDialogScript& script) {
  pendingScript = script;
  scriptPending = true;
}

SetupDialogResult runSetupDialog(const std::vector<std::string>& labels, int initialIndex) {
  SetupDialogResult result;
  if (!startGtk()) return result;

  SetupDialogWidgets widgets = buildDialog(labels, initialIndex);
  g_signal_connect(widgets.dialog, "key-press-event", G_CALLBACK(keyPressed), &widgets);
  g_signal_connect(widgets.run, "clicked", G_CALLBACK(respondRun), widgets.dialog);
  g_signal_connect(widgets.quit, "clicked", G_CALLBACK(respondQuit), widgets.dialog);
  if (scriptPending) {
    scriptPending = false;
    g_signal_connect(widgets.dialog, "map", G_CALLBACK(startScriptWhenShown), &widgets);
  }
  gtk_widget_show_all(widgets.dialog);

  const gint response = gtk_dialog_run(GTK_DIALOG(widgets.dialog));
  result.outcome = response == GTK_RESPONSE_OK ? SetupOutcome::Run : SetupOutcome::Quit;
  result.selectedIndex = gtk_combo_box_get_active(GTK_COMBO_BOX(widgets.resolutionList));
  result.antialiased = isChecked(widgets.antialiased);
  result.windowed = isChecked(widgets.windowed);

  if (scriptTimer != 0) {
    g_source_remove(scriptTimer);
    scriptTimer = 0;
  }
  // Take the dialog off the screen before the show's own window appears.
  gtk_widget_destroy(widgets.dialog);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return result;
}

}  // namespace platform
