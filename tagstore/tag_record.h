// The 128-byte tag record at the end of an MP3 file, the five fields the program
// edits, and the two conversions between record bytes and field texts.
#pragma once

constexpr int kRecordSize = 128;
constexpr int kGenreOffset = 127;

enum class FieldKind { Title, Artist, Album, Year, Comment };
constexpr int kFieldCount = 5;

// Where each field lives in the record; the one table that drives decoding,
// capturing and writing. Indexed by static_cast<int>(FieldKind).
struct FieldLayout {
    int offset;
    int width;
};
constexpr FieldLayout kFieldLayout[kFieldCount] = {
    {3, 30},  // Title
    {33, 30}, // Artist
    {63, 30}, // Album
    {93, 4},  // Year
    {97, 30}, // Comment
};

constexpr int FieldWidth(FieldKind kind) {
    return kFieldLayout[static_cast<int>(kind)].width;
}
constexpr int FieldOffset(FieldKind kind) {
    return kFieldLayout[static_cast<int>(kind)].offset;
}
constexpr FieldKind FieldAt(int index) {
    return static_cast<FieldKind>(index);
}

// Raw record bytes, exactly as stored in the file.
struct TagRecord {
    unsigned char bytes[kRecordSize];
};

// The five texts, each NUL-terminated in a zero-filled buffer of width + 1 bytes.
struct TagFields {
    char title[FieldWidth(FieldKind::Title) + 1];
    char artist[FieldWidth(FieldKind::Artist) + 1];
    char album[FieldWidth(FieldKind::Album) + 1];
    char year[FieldWidth(FieldKind::Year) + 1];
    char comment[FieldWidth(FieldKind::Comment) + 1];
};

// true means the field is to be written. Indexed by static_cast<int>(FieldKind).
struct FieldSwitches {
    bool on[kFieldCount];
};

char* FieldText(TagFields& fields, FieldKind kind);
const char* FieldText(const TagFields& fields, FieldKind kind);

// True when the record starts with the bytes "TAG".
bool HasMarker(const TagRecord& record);

// Display rule: each field's printable ASCII bytes (0x20-0x7E) up to the first
// byte outside that range, as a NUL-terminated text.
void DecodeRecord(const TagRecord& record, TagFields& fields);

// The record a save produces: the marker, each switched-on field in capture form,
// each switched-off field as `existing` holds it (NUL bytes when there is no
// existing record), and the genre byte of `existing` or kNewGenre.
constexpr unsigned char kNewGenre = 0xFF; // "no genre"
void ComposeRecord(const TagRecord* existing, const TagFields& captured,
                   const FieldSwitches& switches, TagRecord& out);
