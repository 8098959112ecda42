// Many generated files, saved and read back, checked against the small model of
// the record rules written apart from the tag store.
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"
#include "tests/support/captured_fields.h"

#include "tests/support/record_model.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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
        const Bytes expected = model::Save(file, texts, on);
        ASSERT_TRUE(WriteTag(song.c_str(), captured, switches)) << "round " << round;
        const Bytes saved = ReadBytes(song);
        ASSERT_EQ(saved, expected) << "round " << round;
        const size_t kept = model::HasRecord(file) ? file.size() - 128 : file.size();
        ASSERT_TRUE(std::equal(file.begin(), file.begin() + static_cast<long>(kept), saved.begin()))
            << "bytes before the record changed, round " << round;

        ASSERT_TRUE(WriteTag(song.c_str(), captured, switches));
        ASSERT_EQ(ReadBytes(song), expected) << "a second save changed more, round " << round;

        TagFields shown{};
        ASSERT_TRUE(ReadTag(song.c_str(), shown));
        for (int f = 0; f < 5; ++f) {
            ASSERT_EQ(FieldText(shown, FieldAt(f)), model::Shown(saved, f))
                << "round " << round << " field " << f;
        }
    }
}
