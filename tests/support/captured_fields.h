// Field texts in the form a save captures them from the window: for tests and
// benchmarks that write records without a window.
#pragma once

#include "tagstore/tag_record.h"

#include <cstring>

// Zeroes the field's buffer and copies at most the field's width of text.
inline void CaptureText(TagFields& fields, FieldKind kind, const char* text) {
    char* buffer = FieldText(fields, kind);
    const int width = FieldWidth(kind);
    std::memset(buffer, 0, static_cast<size_t>(width) + 1);
    for (int i = 0; i < width && text[i] != '\0'; ++i) {
        buffer[i] = text[i];
    }
}
