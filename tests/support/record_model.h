// A small model of the record rules, written apart from the tag store, that the
// tests, fuzz targets and the soak benchmark check the real code against.
#pragma once

#include <string>
#include <vector>

namespace model {

using Bytes = std::vector<unsigned char>;

struct Field {
    size_t offset, width;
};
inline const Field kFields[5] = {{3, 30}, {33, 30}, {63, 30}, {93, 4}, {97, 30}};

// An APE footer ("APETAGEX", version 1000 or 2000, a tag size from 32 bytes up to
// the footer's end) whose "TAG" stands where the record would.
inline bool ApeFooterAt(const std::vector<unsigned char>& file, size_t at) {
    if (at + 16 > file.size() ||
        std::string(file.begin() + static_cast<long>(at),
                    file.begin() + static_cast<long>(at) + 8) != "APETAGEX") {
        return false;
    }
    auto word = [&](size_t o) {
        return static_cast<unsigned long>(file[o]) |
               (static_cast<unsigned long>(file[o + 1]) << 8) |
               (static_cast<unsigned long>(file[o + 2]) << 16) |
               (static_cast<unsigned long>(file[o + 3]) << 24);
    };
    const unsigned long version = word(at + 8), size = word(at + 12);
    return (version == 1000 || version == 2000) && size >= 32 && size <= at + 32;
}

inline bool HasRecord(const Bytes& file) {
    const size_t n = file.size();
    if (n < 128 || file[n - 128] != 'T' || file[n - 127] != 'A' || file[n - 126] != 'G') {
        return false;
    }
    return !(n >= 131 && ApeFooterAt(file, n - 131));
}

// The file after one save of `texts` (each at most its width) under `on`.
inline Bytes Save(const Bytes& file, const std::string texts[5], const bool on[5]) {
    Bytes out = file;
    size_t start = file.size() - 128;
    if (!HasRecord(file)) {
        start = file.size();
        out.resize(file.size() + 128, 0);
        out[start + 127] = 0xFF;
    }
    out[start] = 'T';
    out[start + 1] = 'A';
    out[start + 2] = 'G';
    for (int f = 0; f < 5; ++f) {
        if (on[f]) {
            for (size_t i = 0; i < kFields[f].width; ++i) {
                out[start + kFields[f].offset + i] =
                    i < texts[f].size() ? static_cast<unsigned char>(texts[f][i]) : 0;
            }
        }
    }
    return out;
}

// What the reader shows for field `f` of the file.
inline std::string Shown(const Bytes& file, int f) {
    std::string text;
    if (!HasRecord(file)) {
        return text;
    }
    for (size_t i = 0; i < kFields[f].width; ++i) {
        const unsigned char c = file[file.size() - 128 + kFields[f].offset + i];
        if (c < 0x20 || c > 0x7E) {
            break;
        }
        text += static_cast<char>(c);
    }
    return text;
}

// The captured form of a field text: cut at its width and at its first NUL.
inline std::string Captured(const std::string& text, int f) {
    std::string cut = text.substr(0, text.find('\0'));
    return cut.substr(0, kFields[f].width);
}

} // namespace model
