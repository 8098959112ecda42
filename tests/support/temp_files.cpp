#include "tests/support/temp_files.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static unsigned counter = 0;
    std::random_device entropy;
    for (;;) {
        fs::path candidate =
            fs::temp_directory_path() /
            ("quorwin-test-" + std::to_string(entropy()) + "-" + std::to_string(++counter));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const {
    return (fs::path(path_) / name).string();
}

std::string ScratchBase() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) ? "/dev/shm" : fs::temp_directory_path().string();
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

Bytes B(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes joined = a;
    joined.insert(joined.end(), b.begin(), b.end());
    return joined;
}

Bytes MakeRecord(const std::string& title, const std::string& artist, const std::string& album,
                 const std::string& year, const std::string& comment, unsigned char genre) {
    Bytes record = B("TAG");
    auto put = [&record](const std::string& text, size_t width) {
        for (size_t i = 0; i < width; ++i) {
            record.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
        }
    };
    put(title, 30);
    put(artist, 30);
    put(album, 30);
    put(year, 4);
    put(comment, 30);
    record.push_back(genre);
    return record;
}

Bytes Audio(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes audio(size);
    for (auto& byte : audio) {
        byte = static_cast<unsigned char>(random());
        if (byte == 'T') {
            byte = 't'; // never a marker by chance
        }
    }
    return audio;
}

Bytes ApeFooterAtRecordPlace(unsigned tagSize, unsigned version) {
    Bytes footer = B("APETAGEX");
    for (unsigned value : {version, tagSize, 1u, 0u, 0u, 0u}) {
        for (int i = 0; i < 4; ++i) {
            footer.push_back(static_cast<unsigned char>(value >> (8 * i)));
        }
    }
    footer.resize(131, 'z');
    return footer;
}
