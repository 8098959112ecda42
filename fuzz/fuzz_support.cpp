#include "fuzz/fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fuzz {

const std::string& ScratchFolder() {
    // Never freed: the clean-up at exit still needs it after static objects are gone.
    static const std::string* folder = new std::string([] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error)) {
            base = std::filesystem::temp_directory_path();
        }
        const std::filesystem::path mine = base / ("quorwin-fuzz-" + std::to_string(getpid()));
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

void WriteFile(const std::string& path, const model::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

model::Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return model::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace fuzz
