// Soak: the program through its real entry point, headless, with 10,000 listed
// files (or as many as the first argument says) and "Save To ALL" pressed again and
// again with random switches and texts.
// Afterwards every file is checked against the model of the record rules. Prints
// the time per file of a save against a loop of the bare system calls.
#include "editor/program.h"
#include "resources/resource.h"
#include "tests/support/record_model.h"
#include "tests/support/temp_files.h"
#include "winlayer/core/input.h"
#include "winlayer/core/window.h"
#include "winlayer/headless/scripted_user.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

int gFiles = 10000;
constexpr int kRounds = 6;
using Clock = std::chrono::steady_clock;
namespace input = winlayer::input;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The same work a save does, as bare calls: look at the marker, then write.
void BareSave(const char* path, const unsigned char* record) {
    int fd = open(path, O_RDONLY);
    char marker[3] = {};
    const bool present = fd >= 0 && lseek(fd, -128, SEEK_END) >= 0 && read(fd, marker, 3) == 3 &&
                         std::memcmp(marker, "TAG", 3) == 0;
    if (fd >= 0) {
        close(fd);
    }
    fd = open(path, O_RDWR);
    if (fd >= 0 && lseek(fd, present ? -128 : 0, SEEK_END) >= 0 &&
        write(fd, record, present ? 127 : 128) < 0) {
        std::perror("write");
    }
    if (fd >= 0) {
        close(fd);
    }
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc > 1 && std::atoi(argv[1]) > 0) {
        gFiles = std::atoi(argv[1]);
    }
    std::error_code error;
    const fs::path folder = fs::path(ScratchBase()) / ("quorwin-soak-" + std::to_string(getpid()));
    const fs::path bareFolder = folder / "bare";
    fs::create_directories(bareFolder);
    std::mt19937 random(2026);
    std::map<std::string, model::Bytes> expected;
    std::vector<std::string> names;
    for (int i = 0; i < gFiles; ++i) {
        model::Bytes bytes(1500 + random() % 1000, 'a');
        if (i % 2 == 0) {
            bytes.resize(bytes.size() + 128, 'r');
            std::memcpy(bytes.data() + bytes.size() - 128, "TAG", 3);
        }
        names.push_back("Song " + std::to_string(i) + ".mp3");
        const std::string path = (folder / names.back()).string();
        WriteBytes(path, bytes);
        WriteBytes((bareFolder / names.back()).string(), bytes);
        expected[path] = bytes;
    }

    double saveSeconds = 0, bareSeconds = 0;
    int step = 0;
    const int status = winlayer::headless::RunProgram([&] {
        const HWND main = winlayer::headless::MainWindow();
        auto control = [main](int id) { return winlayer::FindControl(main, id)->handle; };
        if (step == 0) {
            // The files come in as open dialog results, as many names as each holds.
            size_t next = 0;
            while (next < names.size()) {
                char result[kPathBufferSize] = {};
                size_t at = folder.string().size() + 1;
                std::memcpy(result, folder.string().c_str(), at - 1);
                while (next < names.size() && at + names[next].size() + 2 < sizeof result) {
                    std::memcpy(result + at, names[next].c_str(), names[next].size());
                    at += names[next].size() + 1;
                    ++next;
                }
                AddSelectedFiles(result);
            }
        } else if (step <= kRounds) {
            std::string texts[5];
            bool on[5];
            for (int f = 0; f < 5; ++f) {
                // As a user would: a field switched off takes no input, so its switch
                // goes on first, and then to the state this round wants.
                const HWND edit = control(IDC_TITLE + f);
                const HWND use = control(IDC_USE_TITLE + f);
                if (!winlayer::FindWindow(use)->checked) {
                    input::Click(use);
                }
                input::ClickEdit(edit, 0);
                input::PressKey(main, 'A', /*ctrl=*/true);
                input::TypeText(main,
                                "Round " + std::to_string(step) + " field " + std::to_string(f));
                if (random() % 2 == 0) {
                    input::Click(use);
                }
                on[f] = winlayer::FindWindow(use)->checked;
                texts[f] = model::Captured(winlayer::FindWindow(edit)->text, f);
            }
            for (auto& [path, bytes] : expected) {
                bytes = model::Save(bytes, texts, on);
            }
            const Clock::time_point pressed = Clock::now();
            input::Click(control(IDC_SAVE_ALL));
            saveSeconds += Seconds(pressed);

            unsigned char record[128] = {'T', 'A', 'G'};
            const Clock::time_point bare = Clock::now();
            for (const std::string& name : names) {
                BareSave((bareFolder / name).c_str(), record);
            }
            bareSeconds += Seconds(bare);
        } else {
            return false;
        }
        ++step;
        return true;
    });

    int wrong = 0;
    for (const auto& [path, bytes] : expected) {
        wrong += ReadBytes(path) == bytes ? 0 : 1;
    }
    fs::remove_all(folder, error);
    const double perSave = saveSeconds / kRounds / gFiles * 1e6;
    const double perBare = bareSeconds / kRounds / gFiles * 1e6;
    std::printf("soak: %d files, %d rounds of Save To ALL with random switches; exit status %d\n",
                gFiles, kRounds, status);
    std::printf("files not as the model says: %d\n", wrong);
    std::printf("per file: save %.2f us, bare calls %.2f us, ratio %.2f\n", perSave, perBare,
                perSave / perBare);
    return wrong == 0 && status == 0 ? 0 : 1;
}
