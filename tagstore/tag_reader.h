#pragma once

#include "tagstore/tag_record.h"

// Reads the record at the end of the file at `path` into `fields` by the display
// rule; five empty texts when the file holds no record. False, with `fields`
// untouched, when the file cannot be opened. Never changes the file.
bool ReadTag(const char* path, TagFields& fields);
