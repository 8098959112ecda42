#include "tagstore/tag_record.h"

#include <cstring>

char* FieldText(TagFields& fields, FieldKind kind) {
    switch (kind) {
    case FieldKind::Title:
        return fields.title;
    case FieldKind::Artist:
        return fields.artist;
    case FieldKind::Album:
        return fields.album;
    case FieldKind::Year:
        return fields.year;
    case FieldKind::Comment:
        break;
    }
    return fields.comment;
}

const char* FieldText(const TagFields& fields, FieldKind kind) {
    return FieldText(const_cast<TagFields&>(fields), kind);
}

bool HasMarker(const TagRecord& record) {
    return record.bytes[0] == 'T' && record.bytes[1] == 'A' && record.bytes[2] == 'G';
}

void DecodeRecord(const TagRecord& record, TagFields& fields) {
    for (int k = 0; k < kFieldCount; ++k) {
        const FieldKind kind = FieldAt(k);
        const int width = FieldWidth(kind);
        const unsigned char* source = record.bytes + FieldOffset(kind);
        char* text = FieldText(fields, kind);
        std::memset(text, 0, static_cast<size_t>(width) + 1);
        for (int i = 0; i < width && source[i] >= 0x20 && source[i] <= 0x7E; ++i) {
            text[i] = static_cast<char>(source[i]);
        }
    }
}

void ComposeRecord(const TagRecord* existing, const TagFields& captured,
                   const FieldSwitches& switches, TagRecord& out) {
    if (existing != nullptr) {
        out = *existing;
    } else {
        std::memset(out.bytes, 0, sizeof out.bytes);
        out.bytes[kGenreOffset] = kNewGenre;
    }
    out.bytes[0] = 'T';
    out.bytes[1] = 'A';
    out.bytes[2] = 'G';
    for (int k = 0; k < kFieldCount; ++k) {
        const FieldKind kind = FieldAt(k);
        if (switches.on[k]) {
            std::memcpy(out.bytes + FieldOffset(kind), FieldText(captured, kind),
                        static_cast<size_t>(FieldWidth(kind)));
        }
    }
}
