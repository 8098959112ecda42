// Measures how Windows turns text into code page 1252 and writes the result as the
// core's table (winlayer/core/best_fit_1252.inc), so that the native builds give the
// same bytes for the same keys. Built by the windows preset, run by hand under Wine
// or on Windows; the tests never run it:
//
//   best_fit_table.exe OUTPUT.inc
//
// Every character of the Basic Multilingual Plane goes through WideCharToMultiByte
// with best fit (flags 0), as the "A" functions convert. Those that come out as the
// default character "?" (other than "?" itself) are left out of the table; the rest
// are written as runs of code points whose bytes rise with them: each line
// {first, last, byte of first}. A character outside the plane, a surrogate pair, is
// measured too and reported, as is a lone surrogate.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kCodePage = 1252;

struct Run {
    unsigned first;
    unsigned last;
    unsigned byte;
};

// The bytes of `text` in the code page with best fit; `defaulted` tells whether the
// default character was used.
std::string Convert(const wchar_t* text, int length, bool& defaulted) {
    char bytes[16] = {};
    BOOL used = FALSE;
    const int count =
        WideCharToMultiByte(kCodePage, 0, text, length, bytes, sizeof bytes, nullptr, &used);
    defaulted = used != FALSE;
    return std::string(bytes, count > 0 ? static_cast<size_t>(count) : 0);
}

std::string Shown(const std::string& bytes) {
    std::string shown;
    for (unsigned char b : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%s%02X", shown.empty() ? "" : " ", b);
        shown += hex;
    }
    return shown.empty() ? "(nothing)" : shown;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: best_fit_table OUTPUT.inc\n");
        return 2;
    }
    std::vector<Run> runs;
    unsigned mapped = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue; // half of a pair: measured below
        }
        const wchar_t one = static_cast<wchar_t>(c);
        bool defaulted = false;
        const std::string bytes = Convert(&one, 1, defaulted);
        if (bytes.size() != 1) {
            std::fprintf(stderr, "U+%04X gives %s\n", c, Shown(bytes).c_str());
            return 1;
        }
        if (defaulted && c != '?') {
            continue;
        }
        const unsigned value = static_cast<unsigned char>(bytes[0]);
        ++mapped;
        if (!runs.empty() && runs.back().last + 1 == c &&
            runs.back().byte + (c - runs.back().first) == value) {
            runs.back().last = c;
        } else {
            runs.push_back({c, c, value});
        }
    }

    const wchar_t pair[] = {0xD83C, 0xDFB5}; // U+1F3B5, a musical note
    const wchar_t lone[] = {0xD83C, L'a'};
    bool pairDefaulted = false, loneDefaulted = false;
    const std::string pairBytes = Convert(pair, 2, pairDefaulted);
    const std::string loneBytes = Convert(lone, 2, loneDefaulted);

    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Made by tools/best_fit_table.cpp from WideCharToMultiByte(1252, 0, ...) over\n"
                 "// every character of the Basic Multilingual Plane: %u characters with a byte\n"
                 "// other than the default \"?\", as %zu runs {first, last, byte of first}.\n"
                 "// A surrogate pair gave %s, a lone surrogate before \"a\" %s.\n",
                 mapped, runs.size(), Shown(pairBytes).c_str(), Shown(loneBytes).c_str());
    for (const Run& run : runs) {
        std::fprintf(out, "{0x%04X, 0x%04X, 0x%02X},\n", run.first, run.last, run.byte);
    }
    std::fclose(out);
    std::printf("%u characters in %zu runs; a surrogate pair: %s; a lone surrogate and a: %s\n",
                mapped, runs.size(), Shown(pairBytes).c_str(), Shown(loneBytes).c_str());
    return 0;
}
