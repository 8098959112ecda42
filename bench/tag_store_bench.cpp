// The save loop and the look-up of one command over 10,000 small files, against
// reference loops that make only the bare system calls the same work needs.
// Prints the median of several rounds of each and their ratio (goal: 1.5 or less).
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"
#include "tests/support/captured_fields.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 7;
constexpr size_t kAudio = 2048;

std::vector<std::string> gPaths;

// Half the files end in a record, half hold audio only.
void ResetFiles() {
    std::vector<unsigned char> bytes(kAudio + 128, 'a');
    std::memcpy(bytes.data() + kAudio, "TAG", 3);
    for (int i = 0; i < kFiles; ++i) {
        const int fd = open(gPaths[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const size_t size = i % 2 == 0 ? kAudio + 128 : kAudio;
        if (fd < 0 || write(fd, bytes.data(), size) != static_cast<ssize_t>(size)) {
            std::perror("reset");
            std::exit(1);
        }
        close(fd);
    }
}

void BareWrite(const char* path, const unsigned char* record) {
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        return;
    }
    char marker[3] = {};
    const bool present = lseek(fd, -128, SEEK_END) >= 0 && read(fd, marker, 3) == 3 &&
                         std::memcmp(marker, "TAG", 3) == 0;
    close(fd);
    fd = open(path, O_RDWR);
    if (fd < 0) {
        return;
    }
    if (lseek(fd, present ? -128 : 0, SEEK_END) >= 0) {
        if (write(fd, record, present ? 127 : 128) < 0) {
            std::perror("write");
        }
    }
    close(fd);
}

bool BareRead(const char* path, unsigned char* record) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        return false;
    }
    const bool present = lseek(fd, -128, SEEK_END) >= 0 && read(fd, record, 128) == 128;
    close(fd);
    return present;
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char* what, double ours, double bare) {
    std::printf("%-8s ours %8.2f ms (%6.2f us/file)   bare calls %8.2f ms (%6.2f us/file)   "
                "ratio %.2f\n",
                what, ours * 1e3, ours * 1e6 / kFiles, bare * 1e3, bare * 1e6 / kFiles,
                ours / bare);
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quorwin-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (int i = 0; i < kFiles; ++i) {
        gPaths.push_back((dir / ("Artist - Song number " + std::to_string(i) + ".mp3")).string());
    }

    TagFields captured{};
    CaptureText(captured, FieldKind::Album, "One album for all");
    CaptureText(captured, FieldKind::Year, "2026");
    FieldSwitches switches{};
    switches.on[static_cast<int>(FieldKind::Album)] = true;
    switches.on[static_cast<int>(FieldKind::Year)] = true;
    TagRecord bareRecord;
    ComposeRecord(nullptr, captured, switches, bareRecord);

    std::vector<double> ours, bare, oursRead, bareRead;
    long shown = 0;
    for (int round = 0; round < kRounds; ++round) {
        ResetFiles();
        bare.push_back(Seconds([&] {
            for (const std::string& path : gPaths) {
                BareWrite(path.c_str(), bareRecord.bytes);
            }
        }));
        ResetFiles();
        ours.push_back(Seconds([&] {
            for (const std::string& path : gPaths) {
                WriteTag(path.c_str(), captured, switches);
            }
        }));
        bareRead.push_back(Seconds([&] {
            unsigned char record[128];
            for (const std::string& path : gPaths) {
                shown += BareRead(path.c_str(), record) ? record[93] : 0;
            }
        }));
        oursRead.push_back(Seconds([&] {
            TagFields fields{};
            for (const std::string& path : gPaths) {
                shown += ReadTag(path.c_str(), fields) ? fields.year[0] : 0;
            }
        }));
    }
    fs::remove_all(dir);

    std::printf("%d files, %zu bytes of audio each, half with a record; median of %d rounds\n",
                kFiles, kAudio, kRounds);
    Report("WriteTag", Median(ours), Median(bare));
    Report("ReadTag", Median(oursRead), Median(bareRead));
    return shown == 0 ? 1 : 0;
}
