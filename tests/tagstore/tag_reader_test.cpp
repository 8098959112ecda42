#include "tagstore/tag_file.h"
#include "tagstore/tag_reader.h"
#include "tests/support/captured_fields.h"

#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

struct Shown {
    std::string title, artist, album, year, comment;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << '[' << s.title << '|' << s.artist << '|' << s.album << '|' << s.year << '|'
               << s.comment << ']';
}

Shown Read(const std::string& path) {
    TagFields fields{};
    EXPECT_TRUE(ReadTag(path.c_str(), fields)) << path;
    return {fields.title, fields.artist, fields.album, fields.year, fields.comment};
}

const Shown kEmpty{};

class TagReader : public ::testing::Test {
  protected:
    TempDir dir;
    std::string song = dir.file("song.mp3");
};

} // namespace

TEST_F(TagReader, YieldsTheFiveTextsOfATrailingRecordAndLeavesTheFileAlone) {
    const Bytes contents =
        Concat(Audio(2000), MakeRecord("Title", "Artist", "Album", "1999", "Comment", 17));
    WriteBytes(song, contents);
    EXPECT_EQ(Read(song), (Shown{"Title", "Artist", "Album", "1999", "Comment"}));
    EXPECT_EQ(ReadBytes(song), contents);
}

TEST_F(TagReader, FilesWithoutARecordYieldFiveEmptyTexts) {
    // Lower-case "g" in the marker, a 100-byte file, an empty file.
    Bytes lowercase = MakeRecord("Title", "Artist", "Album", "1999", "Comment", 0);
    lowercase[2] = 'g';
    for (const Bytes& contents : {Concat(Audio(500), lowercase), Audio(100), Bytes{}}) {
        WriteBytes(song, contents);
        EXPECT_EQ(Read(song), kEmpty) << contents.size() << " bytes";
    }
}

TEST_F(TagReader, RecordsInFilesOfExactlyOneToThreeBytesOverARecordAreFound) {
    for (size_t lead : {0u, 1u, 2u, 3u}) {
        WriteBytes(song, Concat(Audio(lead), MakeRecord("T", "A", "B", "2000", "C", 1)));
        EXPECT_EQ(Read(song), (Shown{"T", "A", "B", "2000", "C"})) << lead;
    }
}

TEST_F(TagReader, EachFieldIsDecodedOnItsOwn) {
    Bytes record = MakeRecord("Song", "AC/DC", "", "1980", "Loud", 0);
    record[63] = 0xC9; // album starts outside printable ASCII
    record[64] = 'x';
    WriteBytes(song, Concat(Audio(300), record));
    const Shown shown = Read(song);
    EXPECT_EQ(shown.artist, "AC/DC");
    EXPECT_EQ(shown.album, "");
    EXPECT_EQ(shown, (Shown{"Song", "AC/DC", "", "1980", "Loud"}));
}

TEST_F(TagReader, AMarkerThatEndsAnApeFooterIsNoRecord) {
    // "APETAGEX" placed so that its "TAG" is exactly 128 bytes before the end.
    WriteBytes(song, Concat(Audio(400), ApeFooterAtRecordPlace(32 + 50)));
    EXPECT_EQ(Read(song), kEmpty);
    // Not a footer after all: an unknown version, or a size it cannot have.
    for (const Bytes& lookalike : {ApeFooterAtRecordPlace(82, 1999), ApeFooterAtRecordPlace(31),
                                   ApeFooterAtRecordPlace(400 + 33)}) {
        WriteBytes(song, Concat(Audio(400), lookalike));
        EXPECT_EQ(Read(song).title, "EX") << "the record's title starts after its \"TAG\"";
    }
}

TEST_F(TagReader, PathsThatAreNotRegularFilesFailAndLeaveFieldsUnchanged) {
    TagFields fields{};
    CaptureText(fields, FieldKind::Title, "kept");
    const std::string missing = dir.file("missing.mp3");
    EXPECT_FALSE(ReadTag(missing.c_str(), fields));
    EXPECT_FALSE(Exists(missing)) << "reading never creates a file";
    EXPECT_FALSE(ReadTag(dir.path().c_str(), fields)) << "a directory";
    EXPECT_FALSE(ReadTag("", fields));
#ifndef _WIN32
    const std::string pipe = dir.file("pipe.mp3");
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0644));
    EXPECT_FALSE(ReadTag(pipe.c_str(), fields)) << "a named pipe, without blocking";
    EXPECT_FALSE(ReadTag("/dev/zero", fields)) << "a device";
#endif
    EXPECT_STREQ(fields.title, "kept");
}

TEST_F(TagReader, FollowsLinksToRegularFiles) {
    WriteBytes(song, Concat(Audio(10), MakeRecord("Linked", "", "", "", "", 0)));
    const std::string link = dir.file("link.mp3");
    std::error_code error;
    std::filesystem::create_symlink(song, link, error);
    if (error) {
        GTEST_SKIP() << "links cannot be made here: " << error.message();
    }
    EXPECT_EQ(Read(link).title, "Linked");
}

#ifdef _WIN32
// Paths past the plain form's length take the extended form, which Windows takes at any
// length, and are shown in their plain form. Wine takes long plain paths as well, so the
// forms are checked here.
TEST(LongPaths, TakeTheExtendedFormAndGiveTheirPlainFormBack) {
    const std::wstring name(250, L'n');
    const std::wstring plain = L"C:\\music\\" + name, share = L"\\\\nas\\music\\" + name;
    struct Form {
        std::wstring given, extended, shown;
    };
    const Form forms[] = {
        {plain, L"\\\\?\\" + plain, plain},
        {L"C:/music/old/../" + name, L"\\\\?\\" + plain, plain},
        {L"\\\\nas\\music\\old\\..\\" + name, L"\\\\?\\UNC\\nas\\music\\" + name, share},
        {L"\\\\?\\" + plain, L"\\\\?\\" + plain, plain},
        {L"music\\" + name, L"music\\" + name, L"music\\" + name}, // relative
        {L"C:\\music\\song.mp3", L"C:\\music\\song.mp3", L"C:\\music\\song.mp3"},
    };
    for (const Form& form : forms) {
        std::filesystem::path path = form.given;
        ASSERT_TRUE(ExtendedPath(path));
        EXPECT_EQ(path.native(), form.extended);
        ASSERT_TRUE(PlainPath(path));
        EXPECT_EQ(path.native(), form.shown);
    }
}
#endif
