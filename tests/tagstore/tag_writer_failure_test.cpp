// The writer when things go wrong: files it may not write, writes the system cuts
// short, files that change under it, and files too large for 32-bit offsets.
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"
#include "tagstore/tag_writer_steps.h"
#include "tests/support/captured_fields.h"

#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

TagFields Title(const char* text) {
    TagFields fields{};
    CaptureText(fields, FieldKind::Title, text);
    CaptureText(fields, FieldKind::Comment, "comment");
    return fields;
}

FieldSwitches AllOn() {
    FieldSwitches switches{};
    for (bool& on : switches.on) {
        on = true;
    }
    return switches;
}

#ifndef _WIN32
// Runs `body` in a child process and returns its exit status (or -1 when it did not
// exit normally), so that limits and identities set there do not touch the tests.
int InChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Writes with the file-size limit at `limit` bytes; the write that crosses it is cut
// short and fails, as on a full disk.
int WriteUnderSizeLimit(const std::string& path, rlim_t limit) {
    return InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{};
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) {
            return 2;
        }
        return WriteTag(path.c_str(), Title("Cut short"), AllOn()) ? 1 : 0;
    });
}
#endif

class TagWriterFailure : public ::testing::Test {
  protected:
    TempDir dir;
    std::string song = dir.file("song.mp3");
    Bytes audio = Audio(4000, 5);
    Bytes record = MakeRecord("Old", "Artist", "Album", "1999", "Note", 8);
};

} // namespace

#ifndef _WIN32
TEST_F(TagWriterFailure, AppendCutShortFailsAndLeavesTheOriginalLength) {
    WriteBytes(song, audio);
    EXPECT_EQ(WriteUnderSizeLimit(song, audio.size() + 50), 0) << "reported as failed";
    EXPECT_EQ(ReadBytes(song), audio);
}

TEST_F(TagWriterFailure, RewriteCutShortFailsAndPutsThePreviousRecordBack) {
    const Bytes tagged = Concat(audio, record);
    WriteBytes(song, tagged);
    // The limit falls inside the record: the first ten bytes go out, the rest fail.
    EXPECT_EQ(WriteUnderSizeLimit(song, audio.size() + 10), 0);
    EXPECT_EQ(ReadBytes(song), tagged);
}

TEST_F(TagWriterFailure, ReadOnlyFileIsLeftAndTheNextFileIsStillWritten) {
    const std::string readOnly = dir.file("read-only.mp3");
    const Bytes tagged = Concat(audio, record);
    WriteBytes(readOnly, tagged);
    WriteBytes(song, tagged);
    ASSERT_EQ(0, chmod(readOnly.c_str(), 0444));
    const bool root = geteuid() == 0;
    if (root) {
        // Root writes whatever the permission bits say: act as an ordinary user.
        const uid_t nobody = 65534;
        ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
        ASSERT_EQ(0, chown(song.c_str(), nobody, nobody));
    }
    const int status = InChild([&] {
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) {
            return 9;
        }
        const bool first = WriteTag(readOnly.c_str(), Title("New"), AllOn());
        const bool second = WriteTag(song.c_str(), Title("New"), AllOn());
        return (first ? 1 : 0) | (second ? 0 : 2);
    });
    EXPECT_EQ(status, 0) << "1: read-only file reported written, 2: next file not written";
    EXPECT_EQ(ReadBytes(readOnly), tagged);
    TagFields shown{};
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "New");
}
#endif

#ifdef _WIN32
TEST_F(TagWriterFailure, ReadOnlyFileIsLeftAndTheNextFileIsStillWritten) {
    const std::string readOnly = dir.file("read-only.mp3");
    const Bytes tagged = Concat(audio, record);
    WriteBytes(readOnly, tagged);
    WriteBytes(song, tagged);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (std::fstream(readOnly, std::ios::binary | std::ios::in | std::ios::out).is_open()) {
        // Wine keeps the attribute as permission bits, which do not stop root.
        std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        GTEST_SKIP() << "the read-only attribute does not stop writes for this user here";
    }
    EXPECT_FALSE(WriteTag(readOnly.c_str(), Title("New"), AllOn()));
    EXPECT_TRUE(WriteTag(song.c_str(), Title("New"), AllOn()));
    EXPECT_EQ(ReadBytes(readOnly), tagged);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}
#endif

namespace {
void ShrinkToSixtyBytes(const char* path) {
    std::filesystem::resize_file(path, 60);
}
void AppendAByte(const char* path) {
    std::ofstream(path, std::ios::binary | std::ios::app).put('x');
}
void MoveMarker(const char* path) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(-128, std::ios::end);
    file.put('t');
}

// The writer's two steps with another program's change between them.
bool WriteWithChangeBetweenOpens(const std::string& path, void (*change)(const char*)) {
    if (!LookAtFile(path.c_str())) {
        return false;
    }
    change(path.c_str());
    return UpdateRecord(path.c_str(), Title("New"), AllOn());
}
} // namespace

// What the file holds is read on the handle the record is written through: another
// program's change between the two opens is kept, and the record goes where the file
// then has it, never over the other program's bytes.
TEST_F(TagWriterFailure, FileThatChangesBetweenTheTwoOpensIsWrittenAsItThenStands) {
    const Bytes tagged = Concat(audio, record);
    for (auto change : {&ShrinkToSixtyBytes, &AppendAByte, &MoveMarker}) {
        WriteBytes(song, tagged);
        change(song.c_str());
        const Bytes changed = ReadBytes(song);
        // No record stands at the end after any of these: a new one follows their bytes.
        WriteBytes(song, tagged);
        ASSERT_TRUE(WriteWithChangeBetweenOpens(song, change));
        const Bytes after = ReadBytes(song);
        ASSERT_EQ(after.size(), changed.size() + 128);
        EXPECT_EQ(Bytes(after.begin(), after.begin() + static_cast<long>(changed.size())), changed);
        TagFields shown{};
        ASSERT_TRUE(ReadTag(song.c_str(), shown));
        EXPECT_STREQ(shown.title, "New");
    }
    // Unchanged between the steps, the record is rewritten in place.
    WriteBytes(song, tagged);
    EXPECT_TRUE(WriteWithChangeBetweenOpens(song, [](const char*) {}));
    EXPECT_EQ(ReadBytes(song).size(), tagged.size());
    TagFields shown{};
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "New");
    EXPECT_STREQ(shown.artist, "");
}

TEST_F(TagWriterFailure, FilesOverFourGibibytesAreReadAndWrittenAtTheirEnd) {
    const std::uintmax_t size = (std::uintmax_t{1} << 32) + 4096;
    { std::ofstream out(song, std::ios::binary); }
    std::error_code error;
    std::filesystem::resize_file(song, size - 128, error);
    if (error) {
        GTEST_SKIP() << "no sparse file of that size here: " << error.message();
    }
    {
        std::ofstream out(song, std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(record.data()), 128);
    }
    ASSERT_EQ(std::filesystem::file_size(song), size);
    TagFields shown{};
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "Old");
    ASSERT_TRUE(WriteTag(song.c_str(), Title("Large"), AllOn()));
    EXPECT_EQ(std::filesystem::file_size(song), size);
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "Large");
    EXPECT_STREQ(shown.artist, "");
    // Appending past 4 GiB: the same file without its record.
    std::filesystem::resize_file(song, size - 128);
    ASSERT_TRUE(WriteTag(song.c_str(), Title("Appended"), AllOn()));
    EXPECT_EQ(std::filesystem::file_size(song), size);
    ASSERT_TRUE(ReadTag(song.c_str(), shown));
    EXPECT_STREQ(shown.title, "Appended");
}
