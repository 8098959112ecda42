// The native window at 1,000 and 10,000 listed files: time from start to the main
// window on screen; from one list click, and from one Down arrow, to its result
// shown (the selected file's tag read and every change on screen); to show 500 files
// added at once; and Save To ALL per file against the bare system calls.
// Each input is posted as the GTK back end posts it. Its time is the time to apply it
// until GTK has nothing left to do before painting, plus the time of the paint that
// shows it (layout and drawing): the wait for the display's next frame is left out,
// as it depends only on when the input came. Needs a display (xvfb-run).
#include "resources/resource.h"
#include "tests/support/temp_files.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/core/program_entry.h"
#include "winlayer/gtk/gtk_backend.h"
#include "winlayer/include/windows.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFiles = 10000;
constexpr int kSamples = 25;

Clock::time_point gStart;
double gShownMs = -1;
std::filesystem::path gFolder;
std::vector<std::string> gPaths;
std::map<std::string, std::vector<double>> gTimes; // by what was measured
struct Step {
    std::string what; // empty: set-up, not measured
    std::function<void()> post;
    bool painted = true; // shown by a paint of the window
};
std::deque<Step> gSteps;
Step gStep;
Clock::time_point gPosted;
double gAppliedMs = 0;
bool gAwaitingPaint = false;
bool gPaintedSincePosted = false;
bool gStepDone = false; // the core's loop has applied the step's input
Clock::time_point gPaintStart;

double MsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

HWND Main() {
    return winlayer::Dialogs().front();
}

HWND List() {
    return GetDlgItem(Main(), IDC_FILE_LIST);
}

// Adds the paths [from, to) in one input event, as one answer of the open dialog would.
std::function<void()> Add(int from, int to) {
    return [from, to] {
        winlayer::PostInput([from, to] {
            for (int i = from; i < to; ++i) {
                SendDlgItemMessageA(Main(), IDC_FILE_LIST, LB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(gPaths[i].c_str()));
            }
        });
    };
}

void Steps(int listed) {
    const std::string at = " at " + std::to_string(listed);
    for (int i = 0; i < kSamples; ++i) {
        const int row = static_cast<int>((i * 7919L) % listed);
        gSteps.push_back({"click" + at, [row] {
                              winlayer::PostInput(
                                  [row] { winlayer::input::ClickListEntry(List(), row); });
                          }});
    }
    for (int i = 0; i < kSamples; ++i) {
        gSteps.emplace_back("Down arrow" + at, [] {
            winlayer::PostInput([] { winlayer::input::PressKey(Main(), winlayer::vk::Down); });
        });
    }
}

void Plan() {
    gSteps.push_back({"", Add(0, 500)});
    gSteps.push_back({"500 added to 500", Add(500, 1000)});
    Steps(1000);
    gSteps.push_back({"", Add(1000, kFiles - 500)});
    gSteps.push_back({"500 added to 9500", Add(kFiles - 500, kFiles)});
    Steps(kFiles);
    gSteps.push_back({"", [] { SetDlgItemTextA(Main(), IDC_ALBUM, "One album for all"); }, false});
    for (int round = 0; round < 3; ++round) { // the first round adds every record
        gSteps.push_back({round == 0 ? "" : "Save To ALL",
                          [] {
                              winlayer::PostInput(
                                  [] { winlayer::input::Click(GetDlgItem(Main(), IDC_SAVE_ALL)); });
                          },
                          false});
    }
    gSteps.push_back({"Clear All at 10000", [] {
                          winlayer::PostInput(
                              [] { winlayer::input::Click(GetDlgItem(Main(), IDC_CLEAR_ALL)); });
                      }});
}

gboolean Drive(gpointer);

void Measured(double ms) {
    if (!gStep.what.empty()) {
        gTimes[gStep.what].push_back(ms);
    }
    g_timeout_add(50, Drive, nullptr);
}

void OnBeforePaint(GdkFrameClock*, gpointer) {
    gPaintStart = Clock::now();
}

void OnAfterPaint(GdkFrameClock*, gpointer) {
    gPaintedSincePosted = true;
    if (gAwaitingPaint) {
        gAwaitingPaint = false;
        Measured(gAppliedMs + MsSince(gPaintStart));
    }
}

// The input has been applied and GTK has nothing else to do (where GTK painted on the
// way, that paint is in the time already). A long command lets GTK run between its
// files: GTK idles there too, so the step counts as applied only once the core has
// taken the input posted after it.
gboolean Applied(gpointer);

// Waits, without keeping GTK busy, until the core has applied the step.
gboolean AwaitStep(gpointer) {
    if (!gStepDone) {
        return G_SOURCE_CONTINUE;
    }
    g_idle_add_full(G_PRIORITY_LOW, Applied, nullptr, nullptr);
    return G_SOURCE_REMOVE;
}

gboolean Applied(gpointer) {
    if (!gStepDone) {
        g_timeout_add(2, AwaitStep, nullptr);
        return G_SOURCE_REMOVE;
    }
    gAppliedMs = MsSince(gPosted);
    if (gStep.painted && !gPaintedSincePosted) {
        gAwaitingPaint = true;
    } else {
        Measured(gAppliedMs);
    }
    return G_SOURCE_REMOVE;
}

// Posts the next input.
gboolean Drive(gpointer) {
    if (gSteps.empty()) {
        winlayer::PostInput([] { winlayer::input::Close(Main()); });
        return G_SOURCE_REMOVE;
    }
    gStep = std::move(gSteps.front());
    gSteps.pop_front();
    gPosted = Clock::now();
    gPaintedSincePosted = false;
    gStepDone = false;
    gStep.post();
    winlayer::PostInput([] { gStepDone = true; });
    g_idle_add_full(G_PRIORITY_LOW, Applied, nullptr, nullptr);
    return G_SOURCE_REMOVE;
}

gboolean OnMapped(GtkWidget*, GdkEvent*, gpointer) {
    if (gShownMs < 0) {
        gShownMs = MsSince(gStart);
        Plan();
        GtkWidget* window = winlayer::gtk::Instance().WindowOf(Main());
        GdkFrameClock* clock = gtk_widget_get_frame_clock(window);
        g_signal_connect(clock, "before-paint", G_CALLBACK(OnBeforePaint), nullptr);
        g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), nullptr);
        g_timeout_add(50, Drive, nullptr);
    }
    return FALSE;
}

// Watches for the main window's widget to be mapped.
gboolean Watch(gpointer) {
    const std::vector<HWND> dialogs = winlayer::Dialogs();
    GtkWidget* window =
        dialogs.empty() ? nullptr : winlayer::gtk::Instance().WindowOf(dialogs.front());
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

// The same save as bare system calls: look for the marker, then rewrite the record.
double BareSaveMs() {
    unsigned char record[128] = {'T', 'A', 'G'};
    const Clock::time_point start = Clock::now();
    for (const std::string& path : gPaths) {
        int fd = open(path.c_str(), O_RDONLY);
        char marker[3] = {};
        const bool present = fd >= 0 && lseek(fd, -128, SEEK_END) >= 0 &&
                             read(fd, marker, 3) == 3 && std::memcmp(marker, "TAG", 3) == 0;
        close(fd);
        fd = open(path.c_str(), O_RDWR);
        if (fd >= 0 && lseek(fd, present ? -128 : 0, SEEK_END) >= 0 &&
            write(fd, record, present ? 127 : 128) < 0) {
            std::perror("write");
        }
        close(fd);
    }
    return MsSince(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

void Report(const std::string& what, double goalMs) {
    const double median = Median(gTimes[what]);
    std::printf("%-22s median %8.2f ms of %2zu (goal %5.1f ms, ratio %.2f)\n", what.c_str(), median,
                gTimes[what].size(), goalMs, median / goalMs);
}

} // namespace

int main(int argc, char** argv) {
    gFolder = std::filesystem::path(ScratchBase()) / "quorwin-gtk-bench";
    std::filesystem::create_directories(gFolder);
    const Bytes audio(3000, 'a');
    for (int i = 0; i < kFiles; ++i) {
        gPaths.push_back((gFolder / ("song " + std::to_string(i) + ".mp3")).string());
        WriteBytes(gPaths.back(), audio);
    }
    std::sort(gPaths.begin(), gPaths.end()); // added in list order, as a folder's files come
    gStart = Clock::now(); // the files are the bench's own set-up; the program starts here
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "gtk_window_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    int status = 0;
    {
        winlayer::gtk::GtkBackend backend;
        g_timeout_add(1, Watch, nullptr);
        status = winlayer::RunWinMain();
    }
    const double bareMs = BareSaveMs();
    std::filesystem::remove_all(gFolder);

    std::printf("start to main window shown: %.1f ms (goal 200 ms, ratio %.2f)\n", gShownMs,
                gShownMs / 200);
    Report("500 added to 500", 20);
    Report("click at 1000", 5);
    Report("Down arrow at 1000", 5);
    Report("500 added to 9500", 100);
    Report("click at 10000", 16);
    Report("Down arrow at 10000", 16);
    Report("Clear All at 10000", 100);
    const double saveMs = Median(gTimes["Save To ALL"]);
    std::printf("Save To ALL over %d files: %.1f us per file, bare system calls %.1f us "
                "(goal ratio 1.6, ratio %.2f)\n",
                kFiles, saveMs * 1000 / kFiles, bareMs * 1000 / kFiles, saveMs / bareMs);
    return status == 0 && gShownMs >= 0 && gTimes["Save To ALL"].size() == 2 ? 0 : 1;
}
