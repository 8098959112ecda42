// Many generated files, saved and read back, checked against a small model of the
// record rules written independently of the tag store.
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"

#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct ModelField {
    size_t offset, width;
};
const ModelField kModel[5] = {{3, 30}, {33, 30}, {63, 30}, {93, 4}, {97, 30}};

// An APE footer ("APETAGEX", version 1000 or 2000, a tag size from 32 bytes up to
// the footer's end) whose "TAG" stands where the record would.
bool ApeFooterAt(const std::vector<unsigned char>& file, size_t at) {
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

bool ModelHasRecord(const Bytes& file) {
    const size_t n = file.size();
    if (n < 128 || file[n - 128] != 'T' || file[n - 127] != 'A' || file[n - 126] != 'G') {
        return false;
    }
    return !(n >= 131 && ApeFooterAt(file, n - 131));
}

Bytes ModelSave(const Bytes& file, const std::string texts[5], const bool on[5]) {
    Bytes out = file;
    size_t start = file.size() - 128;
    if (!ModelHasRecord(file)) {
        start = file.size();
        out.resize(file.size() + 128, 0);
        out[start + 127] = 0xFF;
    }
    out[start] = 'T';
    out[start + 1] = 'A';
    out[start + 2] = 'G';
    for (int f = 0; f < 5; ++f) {
        if (on[f]) {
            for (size_t i = 0; i < kModel[f].width; ++i) {
                out[start + kModel[f].offset + i] =
                    i < texts[f].size() ? static_cast<unsigned char>(texts[f][i]) : 0;
            }
        }
    }
    return out;
}

std::string ModelShow(const Bytes& file, int f) {
    std::string text;
    if (!ModelHasRecord(file)) {
        return text;
    }
    for (size_t i = 0; i < kModel[f].width; ++i) {
        const unsigned char c = file[file.size() - 128 + kModel[f].offset + i];
        if (c < 0x20 || c > 0x7E) {
            break;
        }
        text += static_cast<char>(c);
    }
    return text;
}

} // namespace

TEST(TagStoreModel, GeneratedFilesSaveAndReadAsTheModelSays) {
    TempDir dir;
    const std::string song = dir.file("generated.mp3");
    std::mt19937 random(20261209);
    auto below = [&random](unsigned n) { return static_cast<unsigned>(random() % n); };

    for (int round = 0; round < 600; ++round) {
        Bytes file(below(3000));
        for (auto& byte : file) {
            byte = static_cast<unsigned char>(random());
        }
        const unsigned shape = below(4);
        if (shape >= 1 && file.size() >= 128) {
            // A record (its fields random bytes), sometimes where an APE footer's "TAG"
            // falls, its version and size valid or not.
            const size_t at = file.size() - 128;
            file[at] = 'T';
            file[at + 1] = 'A';
            file[at + 2] = 'G';
            if (shape == 3 && at >= 3) {
                const char* footer = "APETAGEX";
                std::copy(footer, footer + 8, file.begin() + static_cast<long>(at) - 3);
                const unsigned version = below(2) == 1 ? 2000u : 1000u + below(3);
                const unsigned tagSize = below(static_cast<unsigned>(at) + 64);
                for (int i = 0; i < 4; ++i) {
                    file[at + 5 + static_cast<size_t>(i)] =
                        static_cast<unsigned char>(version >> (8 * i));
                    file[at + 9 + static_cast<size_t>(i)] =
                        static_cast<unsigned char>(tagSize >> (8 * i));
                }
            }
        }
        std::string texts[5];
        bool on[5];
        TagFields captured{};
        for (int f = 0; f < 5; ++f) {
            const unsigned length = below(36);
            for (unsigned i = 0; i < length; ++i) {
                texts[f] += static_cast<char>(1 + below(255));
            }
            CaptureText(captured, FieldAt(f), texts[f].c_str());
            on[f] = below(2) == 1;
        }
        FieldSwitches switches{};
        for (int f = 0; f < 5; ++f) {
            switches.on[f] = on[f];
        }

        WriteBytes(song, file);
        const Bytes expected = ModelSave(file, texts, on);
        ASSERT_TRUE(WriteTag(song.c_str(), captured, switches)) << "round " << round;
        const Bytes saved = ReadBytes(song);
        ASSERT_EQ(saved, expected) << "round " << round;
        const size_t kept = ModelHasRecord(file) ? file.size() - 128 : file.size();
        ASSERT_TRUE(std::equal(file.begin(), file.begin() + static_cast<long>(kept), saved.begin()))
            << "bytes before the record changed, round " << round;

        ASSERT_TRUE(WriteTag(song.c_str(), captured, switches));
        ASSERT_EQ(ReadBytes(song), expected) << "a second save changed more, round " << round;

        TagFields shown{};
        ASSERT_TRUE(ReadTag(song.c_str(), shown));
        for (int f = 0; f < 5; ++f) {
            ASSERT_EQ(FieldText(shown, FieldAt(f)), ModelShow(saved, f))
                << "round " << round << " field " << f;
        }
    }
}
