#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"
#include "tests/support/captured_fields.h"

#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>
#include <thread>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TagFields Captured(const char* title, const char* artist, const char* album, const char* year,
                   const char* comment) {
    TagFields fields{};
    CaptureText(fields, FieldKind::Title, title);
    CaptureText(fields, FieldKind::Artist, artist);
    CaptureText(fields, FieldKind::Album, album);
    CaptureText(fields, FieldKind::Year, year);
    CaptureText(fields, FieldKind::Comment, comment);
    return fields;
}

FieldSwitches On(std::initializer_list<FieldKind> kinds) {
    FieldSwitches switches{};
    for (FieldKind kind : kinds) {
        switches.on[static_cast<int>(kind)] = true;
    }
    return switches;
}

const FieldSwitches kAllOn = On(
    {FieldKind::Title, FieldKind::Artist, FieldKind::Album, FieldKind::Year, FieldKind::Comment});
const FieldSwitches kAllOff{};
const TagFields kNew = Captured("New Title", "New Artist", "New Album", "2024", "New Comment");

// The offsets, within the last 128 bytes, where `before` and `after` differ.
std::vector<int> ChangedRecordOffsets(const Bytes& before, const Bytes& after) {
    std::vector<int> changed;
    const size_t start = before.size() - 128;
    for (size_t i = start; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changed.push_back(static_cast<int>(i - start));
        }
    }
    return changed;
}

class TagWriter : public ::testing::Test {
  protected:
    TempDir dir;
    std::string song = dir.file("song.mp3");
    Bytes audio = Audio(3000);
    Bytes tagged = Concat(
        audio, MakeRecord("Old Title", "Old Artist", "Old Album", "1999", "Old Comment", 42));

    Bytes SaveTagged(const TagFields& fields, const FieldSwitches& switches) {
        WriteBytes(song, tagged);
        EXPECT_TRUE(WriteTag(song.c_str(), fields, switches));
        return ReadBytes(song);
    }
};

} // namespace

TEST_F(TagWriter, AllSwitchesOnRewritesMarkerAndFieldsButNotGenre) {
    const Bytes after = SaveTagged(kNew, kAllOn);
    EXPECT_EQ(after, Concat(audio, MakeRecord("New Title", "New Artist", "New Album", "2024",
                                              "New Comment", 42)));
}

TEST_F(TagWriter, OnlySwitchedOnFieldsChange) {
    std::vector<int> year;
    for (int i = 93; i < 97; ++i) {
        year.push_back(i);
    }
    EXPECT_EQ(ChangedRecordOffsets(tagged, SaveTagged(kNew, On({FieldKind::Year}))), year);
    EXPECT_EQ(SaveTagged(kNew, kAllOff), tagged) << "all off: the file is unchanged";

    // An empty title switched on clears all thirty title bytes.
    const Bytes cleared = SaveTagged(Captured("", "", "", "", ""), On({FieldKind::Title}));
    for (size_t i = audio.size() + 3; i < audio.size() + 33; ++i) {
        EXPECT_EQ(cleared[i], 0);
    }
    EXPECT_EQ(cleared.size(), tagged.size());
}

TEST_F(TagWriter, CommentSwitchDecidesAboutTheTrackNumberBytesToo) {
    tagged[tagged.size() - 128 + 97 + 28] = 0;
    tagged[tagged.size() - 128 + 97 + 29] = 7; // a track number
    const Bytes kept = SaveTagged(kNew, On({FieldKind::Title}));
    EXPECT_EQ(kept[kept.size() - 128 + 126], 7);
    const Bytes overwritten = SaveTagged(Captured("", "", "", "", std::string(30, 'c').c_str()),
                                         On({FieldKind::Comment}));
    EXPECT_EQ(overwritten[overwritten.size() - 128 + 125], 'c');
    EXPECT_EQ(overwritten[overwritten.size() - 128 + 126], 'c');
}

TEST_F(TagWriter, FileWithoutRecordGetsOneAppended) {
    for (size_t size : {size_t{0}, size_t{100}, size_t{127}, size_t{3000}}) {
        const Bytes plain = Audio(size, 9);
        WriteBytes(song, plain);
        ASSERT_TRUE(WriteTag(song.c_str(), kNew, kAllOff)) << size;
        EXPECT_EQ(ReadBytes(song), Concat(plain, MakeRecord("", "", "", "", "", 0xFF))) << size;

        WriteBytes(song, plain);
        ASSERT_TRUE(WriteTag(song.c_str(), kNew, On({FieldKind::Album, FieldKind::Year})));
        EXPECT_EQ(ReadBytes(song),
                  Concat(plain, MakeRecord("", "", "New Album", "2024", "", 0xFF)));
    }
}

TEST_F(TagWriter, SecondSaveRewritesTheRecordItAdded) {
    WriteBytes(song, audio);
    ASSERT_TRUE(WriteTag(song.c_str(), kNew, kAllOn));
    const Bytes once = ReadBytes(song);
    ASSERT_TRUE(WriteTag(song.c_str(), kNew, kAllOn));
    EXPECT_EQ(ReadBytes(song), once);
    ASSERT_TRUE(WriteTag(song.c_str(), Captured("", "", "", "1", ""), On({FieldKind::Year})));
    const Bytes third = ReadBytes(song);
    EXPECT_EQ(third.size(), audio.size() + 128);
    EXPECT_EQ(third, Concat(audio, MakeRecord("New Title", "New Artist", "New Album", "1",
                                              "New Comment", 0xFF)));

    // Two saves of one file at once, under two names, as a save with many files in flight
    // may make them: one record, whichever looked first.
    const std::string other = dir.file("same song.mp3");
    std::error_code error;
    std::filesystem::create_hard_link(song, other, error);
    const std::string& second = error ? song : other;
    for (int round = 0; round < 200; ++round) {
        WriteBytes(song, audio);
        bool written[2] = {};
        std::thread a([&] { written[0] = WriteTag(song.c_str(), kNew, kAllOn); });
        std::thread b([&] { written[1] = WriteTag(second.c_str(), kNew, kAllOn); });
        a.join();
        b.join();
        ASSERT_TRUE(written[0] || written[1]) << round;
        ASSERT_EQ(ReadBytes(song), once) << round;
    }
}

TEST_F(TagWriter, BlocksBeforeTheRecordAreLeftByteForByte) {
    Bytes extended = B("TAG+");
    extended.resize(227, 'e');
    Bytes lyrics = Concat(B("LYRICSBEGIN"), B("IND00002"));
    lyrics = Concat(lyrics, B("000019LYRICS200"));
    Bytes ape = B("APETAGEX");
    ape.resize(32, 0);
    ape = Concat(ape, Bytes(50, 'a'));
    Bytes apeFooter = B("APETAGEX");
    apeFooter.resize(32, 1);
    ape = Concat(ape, apeFooter);
    for (const Bytes& block : {extended, lyrics, ape}) {
        const Bytes prefix = Concat(audio, block);
        WriteBytes(song, Concat(prefix, MakeRecord("a", "b", "c", "d", "e", 3)));
        ASSERT_TRUE(WriteTag(song.c_str(), kNew, kAllOn));
        const Bytes after = ReadBytes(song);
        ASSERT_EQ(after.size(), prefix.size() + 128);
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), after.begin()));
    }
}

TEST_F(TagWriter, AudioEndingInApeBytesGetsOneRecordHoweverOftenItIsSaved) {
    // The record added after "...APE" must still read as a record the next time.
    const Bytes endsInApe = Concat(audio, B("APE"));
    WriteBytes(song, endsInApe);
    const TagFields lookalike = Captured("EX\xD0\x07", "", "", "", ""); // "EX", version 2000
    ASSERT_TRUE(WriteTag(song.c_str(), lookalike, kAllOn));
    const Bytes once = ReadBytes(song);
    ASSERT_EQ(once.size(), endsInApe.size() + 128);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WriteTag(song.c_str(), lookalike, kAllOn));
        EXPECT_EQ(ReadBytes(song), once);
    }
}

TEST_F(TagWriter, AudioThatMerelyEndsInTagBytesGetsANewRecordAfterIt) {
    const Bytes endsInTag = Concat(audio, B("TAG"));
    WriteBytes(song, endsInTag);
    ASSERT_TRUE(WriteTag(song.c_str(), kNew, kAllOn));
    EXPECT_EQ(ReadBytes(song), Concat(endsInTag, MakeRecord("New Title", "New Artist", "New Album",
                                                            "2024", "New Comment", 0xFF)));
}

TEST_F(TagWriter, ApeFooterWhoseTagFallsOnTheRecordIsNotOverwritten) {
    const Bytes withApe = Concat(audio, ApeFooterAtRecordPlace(32 + 64));
    WriteBytes(song, withApe);
    ASSERT_TRUE(WriteTag(song.c_str(), kNew, On({FieldKind::Title})));
    EXPECT_EQ(ReadBytes(song), Concat(withApe, MakeRecord("New Title", "", "", "", "", 0xFF)));
    TagFields shown{};
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "New Title");
}

TEST_F(TagWriter, PathsThatAreNotRegularFilesAreSkippedAndNeverCreated) {
    const std::string missing = dir.file("missing.mp3");
    EXPECT_FALSE(WriteTag(missing.c_str(), kNew, kAllOn));
    EXPECT_FALSE(Exists(missing));
    EXPECT_FALSE(WriteTag(dir.path().c_str(), kNew, kAllOn));
    EXPECT_FALSE(WriteTag("", kNew, kAllOn));
#ifndef _WIN32
    const std::string pipe = dir.file("pipe.mp3");
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0644));
    EXPECT_FALSE(WriteTag(pipe.c_str(), kNew, kAllOn)) << "no hang, no write";
    EXPECT_FALSE(WriteTag("/dev/null", kNew, kAllOn));
#else
    EXPECT_FALSE(WriteTag("NUL", kNew, kAllOn)) << "a device";
#endif
}
