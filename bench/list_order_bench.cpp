// The sorted list's order at 100,000 files: the time to add typical song paths to a
// sorted core list one by one (LB_ADDSTRING), and to sort them by the list's order,
// against the same work done with the bare order of the bytes without regard to case,
// the cheapest order a sorted list could have. Prints the median of several rounds of
// each and their ratio. Adding counts the list's own bookkeeping too (the rows recorded
// for the back end), which the bare loop has none of; sorting shows the order's own
// cost, with nothing else around it.
//
// The paths are as a folder of music gives them, a walk through its folders in order
// with each folder's files in the order the file system keeps them: mostly plain ASCII
// ("/home/user/Music/Artist 0012/Album 03/07 Song title.mp3"), one artist and one title
// in ten with punctuation (hyphens, apostrophes, brackets) or an accent.
#include "winlayer/core/changes.h"
#include "winlayer/core/list_box.h"
#include "winlayer/core/list_order.h"
#include "winlayer/include/win32_constants.h"

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 100000;
constexpr int kRounds = 5;

int BareOrder(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str());
}

std::vector<std::string> Paths() {
    const char* const punctuated[] = {"AC-DC",     "Guns N' Roses", "[Live] Band", "The Who's Who",
                                      "Beyoncé",   "Sigur Rós",     "Mötley Crüe", "Jay-Z",
                                      "(Various)", "P!nk"};
    const char* const titles[] = {"Don't Stop",    "Co-op Song", "Song (Live)",
                                  "Intro - Remix", "Café",       "Rock 'n' Roll"};
    std::vector<std::string> folders;
    for (int artist = 0; artist < kNames / 100; ++artist) {
        char number[8];
        std::snprintf(number, sizeof number, "%04d", artist);
        const std::string name = artist % 10 == 3
                                     ? std::string(punctuated[artist / 10 % 10]) + " " + number
                                     : std::string("Artist ") + number;
        for (int album = 1; album <= 10; ++album) {
            std::snprintf(number, sizeof number, "%02d", album);
            folders.push_back("/home/user/Music/" + name + "/Album " + number + "/");
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return BareOrder(a, b) < 0; });
    std::mt19937 random(7);
    std::vector<std::string> paths;
    for (size_t f = 0; f < folders.size(); ++f) {
        const size_t first = paths.size();
        for (int track = 1; track <= 10; ++track) {
            char number[8];
            std::snprintf(number, sizeof number, "%02d ", track);
            const std::string title =
                track == 4 ? titles[f % 6] : "Song title " + std::to_string(track * 7 % 13);
            paths.push_back(folders[f] + number + title + ".mp3");
        }
        std::shuffle(paths.begin() + static_cast<long>(first), paths.end(), random);
    }
    return paths;
}

// The list box's halving search and insertion with the bare order.
void BareAdd(std::vector<std::string>& items, std::vector<bool>& selected,
             const std::string& text) {
    const int index = winlayer::SortedPlace(items, text, BareOrder);
    items.insert(items.begin() + index, text);
    selected.insert(selected.begin() + index, false);
}

double MedianSeconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char* what, double ours, double bare) {
    std::printf("%-28s ours %8.2f ms (%5.3f us/name)   bare bytes %8.2f ms (%5.3f us/name)   "
                "ratio %.2f\n",
                what, ours * 1e3, ours * 1e6 / kNames, bare * 1e3, bare * 1e6 / kNames,
                ours / bare);
}

} // namespace

int main() {
    const std::vector<std::string> paths = Paths();

    const double add = MedianSeconds([&paths] {
        winlayer::Window list;
        list.kind = winlayer::ControlKind::ListBox;
        list.style = LBS_SORT | LBS_EXTENDEDSEL;
        for (const std::string& path : paths) {
            winlayer::ListAdd(list, path.c_str());
        }
        winlayer::TakeChanges(); // what a back end would show
    });
    const double bareAdd = MedianSeconds([&paths] {
        std::vector<std::string> items;
        std::vector<bool> selected;
        for (const std::string& path : paths) {
            BareAdd(items, selected, path);
        }
    });
    Report("add 100000 to a sorted list", add, bareAdd);

    const double sort = MedianSeconds([&paths] {
        std::vector<std::string> sorted = paths;
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return winlayer::CompareEntries(a, b) < 0;
        });
    });
    const double bareSort = MedianSeconds([&paths] {
        std::vector<std::string> sorted = paths;
        std::sort(sorted.begin(), sorted.end(),
                  [](const std::string& a, const std::string& b) { return BareOrder(a, b) < 0; });
    });
    Report("sort 100000 (compare only)", sort, bareSort);
    return 0;
}
