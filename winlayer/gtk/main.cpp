// The native program's entry: GTK as the back end, then the program's own WinMain.
#include "winlayer/core/program_entry.h"
#include "winlayer/gtk/gtk_backend.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr,
                     "quorwin: no display to open a window on; run it under a virtual "
                     "display, for example: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    winlayer::gtk::GtkBackend backend;
    return winlayer::RunWinMain();
}
