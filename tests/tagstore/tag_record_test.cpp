#include "tagstore/tag_record.h"
#include "tests/support/captured_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TagRecord RecordWith(FieldKind kind, const unsigned char* bytes, int count) {
    TagRecord record{};
    std::memcpy(record.bytes, "TAG", 3);
    std::memcpy(record.bytes + FieldOffset(kind), bytes, static_cast<size_t>(count));
    return record;
}

std::string Decoded(const TagRecord& record, FieldKind kind) {
    TagFields fields{};
    DecodeRecord(record, fields);
    return FieldText(fields, kind);
}

} // namespace

TEST(TagRecordLayout, FieldsTileTheRecordBetweenMarkerAndGenre) {
    int next = 3; // after the marker "TAG"
    for (int k = 0; k < kFieldCount; ++k) {
        EXPECT_EQ(FieldOffset(FieldAt(k)), next);
        next += FieldWidth(FieldAt(k));
    }
    EXPECT_EQ(next, kGenreOffset);
    EXPECT_EQ(sizeof(TagRecord), 128u);
    EXPECT_EQ(FieldWidth(FieldKind::Year), 4);
    EXPECT_EQ(FieldOffset(FieldKind::Comment), 97);
}

TEST(DisplayRule, PrintableTextFillingTheWholeFieldIsShownInFull) {
    const std::string full = "abcdefghijklmnopqrstuvwxyz ~!@";
    ASSERT_EQ(full.size(), 30u);
    const TagRecord record =
        RecordWith(FieldKind::Title, reinterpret_cast<const unsigned char*>(full.data()), 30);
    EXPECT_EQ(Decoded(record, FieldKind::Title), full);
    // The following field's bytes never leak into an unterminated one.
    EXPECT_EQ(Decoded(record, FieldKind::Artist), "");
}

TEST(DisplayRule, FirstByteOutsidePrintableAsciiEndsTheText) {
    for (unsigned char stop : {0x00, 0x0A, 0x1F, 0x7F, 0x80, 0xC4, 0xE9, 0xFF}) {
        const unsigned char atStart[] = {stop, 'a', 'b'};
        EXPECT_EQ(Decoded(RecordWith(FieldKind::Album, atStart, 3), FieldKind::Album), "")
            << "byte " << int(stop);
        const unsigned char fourth[] = {'A', 'b', 'c', stop, 'd', 'e'};
        EXPECT_EQ(Decoded(RecordWith(FieldKind::Album, fourth, 6), FieldKind::Album), "Abc")
            << "byte " << int(stop);
    }
}

TEST(DisplayRule, BoundaryBytesAndTrailingSpacesArePartOfTheText) {
    const unsigned char bytes[] = {0x20, 0x7E, 'x', ' ', ' '};
    EXPECT_EQ(Decoded(RecordWith(FieldKind::Comment, bytes, 5), FieldKind::Comment), " ~x  ");
    const unsigned char year[] = {'1', '9', '9', '9'};
    EXPECT_EQ(Decoded(RecordWith(FieldKind::Year, year, 4), FieldKind::Year), "1999");
}

TEST(CaptureRule, TextsBecomeZeroPaddedFieldBytes) {
    TagFields fields{};
    CaptureText(fields, FieldKind::Year, "1999");
    EXPECT_EQ(0, std::memcmp(fields.year, "\x31\x39\x39\x39\0", 5));
    CaptureText(fields, FieldKind::Year, "99");
    EXPECT_EQ(0, std::memcmp(fields.year, "99\0\0\0", 5));
    std::memset(fields.title, 'x', sizeof fields.title);
    CaptureText(fields, FieldKind::Title, "");
    for (char c : fields.title) {
        EXPECT_EQ(c, '\0');
    }
}

TEST(CaptureRule, TextLongerThanTheFieldIsCutToItsWidthAndTerminated) {
    TagFields fields{};
    CaptureText(fields, FieldKind::Year, "123456");
    EXPECT_STREQ(fields.year, "1234");
    CaptureText(fields, FieldKind::Artist, std::string(40, 'a').c_str());
    EXPECT_EQ(std::string(fields.artist), std::string(30, 'a'));
    EXPECT_EQ(fields.artist[30], '\0');
    EXPECT_STREQ(fields.title, "") << "other fields untouched";
}

TEST(ComposeRecord, NewRecordHoldsOnlySwitchedOnFieldsAndTheDefaultGenre) {
    TagFields captured{};
    CaptureText(captured, FieldKind::Title, "Song");
    CaptureText(captured, FieldKind::Album, "Album");
    FieldSwitches switches{};
    switches.on[static_cast<int>(FieldKind::Title)] = true;
    TagRecord out;
    std::memset(&out, 0xAA, sizeof out);
    ComposeRecord(nullptr, captured, switches, out);
    EXPECT_TRUE(HasMarker(out));
    EXPECT_EQ(0, std::memcmp(out.bytes + 3, "Song\0", 5));
    for (int i = 33; i < kGenreOffset; ++i) {
        EXPECT_EQ(out.bytes[i], 0) << "offset " << i;
    }
    EXPECT_EQ(out.bytes[kGenreOffset], kNewGenre);
}

TEST(ComposeRecord, ExistingRecordKeepsSwitchedOffFieldsAndGenre) {
    TagRecord existing;
    for (int i = 0; i < kRecordSize; ++i) {
        existing.bytes[i] = static_cast<unsigned char>(i + 1);
    }
    TagFields captured{};
    CaptureText(captured, FieldKind::Year, "2001");
    FieldSwitches switches{};
    switches.on[static_cast<int>(FieldKind::Year)] = true;
    TagRecord out;
    ComposeRecord(&existing, captured, switches, out);
    for (int i = 0; i < kRecordSize; ++i) {
        if (i < 3) {
            EXPECT_EQ(out.bytes[i], "TAG"[i]);
        } else if (i >= 93 && i < 97) {
            EXPECT_EQ(out.bytes[i], "2001"[i - 93]);
        } else {
            EXPECT_EQ(out.bytes[i], existing.bytes[i]) << "offset " << i;
        }
    }
}
