#include "winlayer/core/codepage.h"

#include <algorithm>
#include <iterator>

namespace winlayer {

namespace {

// The code points of bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves
// undefined stand for the control characters with their own numbers, as Windows
// converts them.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

// Windows' conversion to code page 1252 with best fit, measured from
// WideCharToMultiByte under Wine (whose tables are made from Windows' published
// best-fit tables) by tools/best_fit_table.cpp: runs of characters, in order, whose
// bytes rise with them. A character in no run has no byte: "?".
struct BestFitRun {
    char32_t first;
    char32_t last;
    unsigned char byte;
};

constexpr BestFitRun kBestFit[] = {
#include "winlayer/core/best_fit_1252.inc"
};

int ByteOf(char32_t c) {
    const BestFitRun* run =
        std::upper_bound(std::begin(kBestFit), std::end(kBestFit), c,
                         [](char32_t value, const BestFitRun& r) { return value < r.first; });
    if (run == std::begin(kBestFit) || c > (--run)->last) {
        return '?';
    }
    return run->byte + static_cast<int>(c - run->first);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t NextChar(std::string_view utf8, size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    char32_t c = extra == 0   ? lead
                 : extra == 1 ? (lead & 0x1F)
                 : extra == 2 ? (lead & 0x0F)
                              : (lead & 0x07);
    bool valid = extra >= 0 && at + static_cast<size_t>(extra) < utf8.size();
    for (int k = 1; valid && k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + static_cast<size_t>(k)]);
        valid = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
        ++at;
        return U'?';
    }
    at += static_cast<size_t>(extra) + 1;
    return c;
}

std::u32string Utf8ToChars(const std::string& utf8) {
    std::u32string out;
    for (size_t at = 0; at < utf8.size();) {
        out += NextChar(utf8, at);
    }
    return out;
}

std::string CharsToUtf8(const std::u32string& chars) {
    std::string out;
    for (char32_t c : chars) {
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToWindows1252(const std::string& utf8) {
    std::string out;
    for (char32_t c : Utf8ToChars(utf8)) {
        out += static_cast<char>(ByteOf(c));
    }
    return out;
}

std::string Windows1252ToUtf8(const std::string& text) {
    std::string out;
    for (char byte : text) {
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(byte)));
    }
    return out;
}

} // namespace winlayer
