// The native window: time from start to the main window on screen, and from
// pressing "Save To ALL" over 1,000 listed files to the end of the command.
// Needs a display (run it under xvfb-run).
#include "resources/resource.h"
#include "tests/support/temp_files.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/gtk/gtk_backend.h"
#include "winlayer/include/windows.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point gStart;
double gShownMs = -1;
double gSaveMs = -1;
constexpr int kFiles = 1000;
std::filesystem::path gFolder;

double MsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

HWND MainWindow() {
    for (HWND dialog : winlayer::Dialogs()) {
        if (winlayer::FindWindow(dialog)->text == "Quorwin ") {
            return dialog;
        }
    }
    return nullptr;
}

gboolean SaveAndQuit(gpointer) {
    const HWND main = MainWindow();
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = (gFolder / ("song " + std::to_string(i) + ".mp3")).string();
        SendDlgItemMessageA(main, IDC_FILE_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(path.c_str()));
    }
    winlayer::gtk::Instance().ShowChanges();
    SetDlgItemTextA(main, IDC_ALBUM, "One album for all");
    const Clock::time_point pressed = Clock::now();
    winlayer::input::Click(GetDlgItem(main, IDC_SAVE_ALL));
    winlayer::gtk::Instance().ShowChanges();
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
    gSaveMs = MsSince(pressed);
    winlayer::input::Close(main);
    return G_SOURCE_REMOVE;
}

gboolean OnMapped(GtkWidget*, GdkEvent*, gpointer) {
    if (gShownMs < 0) {
        gShownMs = MsSince(gStart);
        g_idle_add(SaveAndQuit, nullptr);
    }
    return FALSE;
}

// Watches for the main window's widget to be mapped.
gboolean Watch(gpointer) {
    const HWND main = MainWindow();
    GtkWidget* window = main != nullptr ? winlayer::gtk::Instance().WindowOf(main) : nullptr;
    if (window == nullptr) {
        return G_SOURCE_CONTINUE;
    }
    if (gtk_widget_get_mapped(window)) {
        OnMapped(window, nullptr, nullptr);
    } else {
        g_signal_connect(window, "map-event", G_CALLBACK(OnMapped), nullptr);
    }
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char** argv) {
    gFolder = std::filesystem::temp_directory_path() / "quorwin-gtk-bench";
    std::filesystem::create_directories(gFolder);
    const Bytes audio(3000, 'a');
    for (int i = 0; i < kFiles; ++i) {
        WriteBytes((gFolder / ("song " + std::to_string(i) + ".mp3")).string(), audio);
    }
    gStart = Clock::now(); // the files are the bench's own set-up; the program starts here
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "gtk_window_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    winlayer::gtk::GtkBackend backend;
    winlayer::SetBackend(&backend);
    g_timeout_add(1, Watch, nullptr);
    char commandLine[] = "";
    WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
    winlayer::SetBackend(nullptr);
    std::filesystem::remove_all(gFolder);
    std::printf("start to main window shown: %.1f ms\n", gShownMs);
    std::printf("Save To ALL over %d listed files: %.1f ms (%.1f us per file)\n", kFiles, gSaveMs,
                gSaveMs * 1000 / kFiles);
    return gShownMs >= 0 && gSaveMs >= 0 ? 0 : 1;
}
