// The native program's entry: GTK as the back end, then the program's own WinMain.
#include "winlayer/core/program_entry.h"
#include "winlayer/gtk/gtk_backend.h"

#include <cstdio>

namespace {

// The name the desktop knows the program by: its desktop entry and its icon are named
// so, and a desktop matches a window to its entry by the window's Wayland application
// id or its X11 window class (StartupWMClass in the entry). Assistive technology lists
// the program under it too.
constexpr const char* kAppId = "org.quorwin.Quorwin";

} // namespace

int main(int argc, char** argv) {
    // Set before GTK starts: the Wayland application id and the first part of WM_CLASS.
    g_set_prgname(kAppId);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr,
                     "quorwin: no display to open a window on; run it under a virtual "
                     "display, for example: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    // The second part of WM_CLASS, which GTK made from the name with a capital first
    // letter; no window exists yet.
    gdk_set_program_class(kAppId);
    gtk_window_set_default_icon_name(kAppId);
    winlayer::gtk::GtkBackend backend;
    return winlayer::RunWinMain();
}
