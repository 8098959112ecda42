// The open dialog's result as the file list takes it in, on arbitrary 5120-byte
// buffers: nothing is read outside the buffer, every entry is one of the strings or
// the directory joined to one, none is longer than a path may be, and the list stays
// in order.
#include "editor/program.h"
#include "fuzz/fuzz_support.h"
#include "resources/resource.h"
#include "winlayer/core/list_order.h"
#include "winlayer/core/window.h"
#include "winlayer/headless/scripted_user.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the buffer's size on the heap, so that any read past it is caught.
    std::unique_ptr<char[]> result(new char[kPathBufferSize]);
    std::memset(result.get(), 0, kPathBufferSize);
    std::memcpy(result.get(), data, size < kPathBufferSize ? size : kPathBufferSize);

    // Every string the buffer holds, each NUL-terminated within it.
    std::vector<std::string> strings;
    for (size_t at = 0; at < static_cast<size_t>(kPathBufferSize);) {
        const void* end = std::memchr(result.get() + at, 0, kPathBufferSize - at);
        if (end == nullptr) {
            break;
        }
        const size_t length = static_cast<const char*>(end) - (result.get() + at);
        strings.emplace_back(result.get() + at, length);
        at += length + 1;
    }

    bool ran = false;
    winlayer::headless::RunProgram([&] {
        if (ran) {
            return false;
        }
        ran = true;
        AddSelectedFiles(result.get());
        const winlayer::Window* list =
            winlayer::FindControl(winlayer::headless::MainWindow(), IDC_FILE_LIST);
        FUZZ_CHECK(list != nullptr);
        const std::vector<std::string>& entries = list->list.items;
        // One string: the full path. Several: the directory joined to each name, up to
        // the empty string that ends them.
        std::set<std::string> allowed;
        const bool single = strings.size() < 2 || strings[1].empty();
        if (!strings.empty() && single) {
            allowed.insert(strings[0]);
        } else if (!strings.empty()) {
            const std::string& directory = strings[0];
            const bool separated = !directory.empty() && directory.back() == kDirectorySeparator;
            for (size_t i = 1; i < strings.size() && !strings[i].empty(); ++i) {
                allowed.insert(directory + (separated ? "" : std::string(1, kDirectorySeparator)) +
                               strings[i]);
            }
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            FUZZ_CHECK(!entries[i].empty());
            FUZZ_CHECK(entries[i].size() <= static_cast<size_t>(kPathBufferSize - 1));
            FUZZ_CHECK(allowed.count(entries[i]) == 1);
            FUZZ_CHECK(i == 0 || winlayer::CompareEntries(entries[i - 1], entries[i]) <= 0);
        }
        return true;
    });
    FUZZ_CHECK(ran);
    return 0;
}
