// Build-time converter: turns the program's resource script into C++ tables.
//   rc_convert SCRIPT.rc OUTPUT.cpp
#include "winlayer/rc/rc_script.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

bool ReadFile(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rc_convert SCRIPT.rc OUTPUT.cpp\n");
        return 2;
    }
    const fs::path script = argv[1];
    const fs::path folder = script.parent_path();
    std::string text;
    if (!ReadFile(script, text)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    rc::Script parsed;
    std::string error;
    auto include = [&folder](const std::string& name, std::string& included) {
        return ReadFile(folder / name, included);
    };
    if (!rc::ParseScript(text, include, parsed, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::vector<std::vector<unsigned char>> bitmaps;
    for (const rc::Bitmap& bitmap : parsed.bitmaps) {
        std::string bytes;
        if (!ReadFile(folder / bitmap.file, bytes)) {
            std::fprintf(stderr, "%s: cannot read bitmap %s\n", argv[1], bitmap.file.c_str());
            return 1;
        }
        bitmaps.emplace_back(bytes.begin(), bytes.end());
    }
    const std::string output = rc::EmitTables(parsed, bitmaps);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << output;
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
