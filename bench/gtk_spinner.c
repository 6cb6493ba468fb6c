/* The yardstick of the desktop window's cost: a GTK 4 window of a given size
 * in points showing only a spinning GtkSpinner 24 points square (the size of
 * the chip's moving bars) in its middle, what any GTK program pays to keep
 * something small moving. Built and run by desktop-window-cpu.sh.
 *
 *   gtk_spinner WIDTH HEIGHT
 */
#include <gtk/gtk.h>
#include <stdlib.h>

static void activate(GtkApplication *app, gpointer data) {
    const int *size = data;
    GtkWidget *window = gtk_application_window_new(app);
    gtk_window_set_title(GTK_WINDOW(window), "spinner");
    gtk_window_set_default_size(GTK_WINDOW(window), size[0], size[1]);
    GtkWidget *spinner = gtk_spinner_new();
    gtk_widget_set_size_request(spinner, 24, 24);
    gtk_widget_set_halign(spinner, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(spinner, GTK_ALIGN_CENTER);
    gtk_spinner_start(GTK_SPINNER(spinner));
    gtk_window_set_child(GTK_WINDOW(window), spinner);
    gtk_window_present(GTK_WINDOW(window));
}

int main(int argc, char **argv) {
    int size[2] = {390, 844};
    if (argc == 3) {
        size[0] = atoi(argv[1]);
        size[1] = atoi(argv[2]);
    }
    GtkApplication *app = gtk_application_new(NULL, G_APPLICATION_NON_UNIQUE);
    g_signal_connect(app, "activate", G_CALLBACK(activate), size);
    const int status = g_application_run(G_APPLICATION(app), 1, argv);
    g_object_unref(app);
    return status;
}
