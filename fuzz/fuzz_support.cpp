#include "fuzz/fuzz_support.h"

#include <filesystem>
#include <unistd.h>

namespace fuzz {

const std::string& ScratchFolder() {
    // Never freed: the clean-up at exit still needs it after static objects are gone.
    static const std::string* folder = new std::string([] {
        std::error_code error;
        const std::filesystem::path mine =
            std::filesystem::path(ScratchBase()) / ("quorwin-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(mine, error);
        return mine.string();
    }());
    static const bool cleanUp = std::atexit([] {
                                    std::error_code ignored;
                                    std::filesystem::remove_all(*folder, ignored);
                                }) == 0;
    (void)cleanUp;
    return *folder;
}

std::string ScratchFile(const std::string& name) {
    return ScratchFolder() + "/" + name;
}

} // namespace fuzz
