// Build-time converter: turns the program's resource script into C++ tables.
//   rc_convert SCRIPT.rc OUTPUT.cpp
#include "winlayer/rc/rc_script.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rc_convert SCRIPT.rc OUTPUT.cpp\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    rc::Script script;
    std::string error = in ? "" : "cannot read";
    if (!error.empty() || !rc::ParseScript(text, script, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::vector<std::vector<unsigned char>> bitmaps;
    for (const rc::Bitmap& bitmap : script.bitmaps) {
        std::ifstream file(std::filesystem::path(argv[1]).parent_path() / bitmap.file,
                           std::ios::binary);
        bitmaps.emplace_back(std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>());
        if (!file) {
            std::fprintf(stderr, "%s: cannot read bitmap %s\n", argv[1], bitmap.file.c_str());
            return 1;
        }
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << rc::EmitTables(script, bitmaps);
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
