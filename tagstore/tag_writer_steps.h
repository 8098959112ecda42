// The writer's two steps, one function each, so that a test can change a file between
// them as another program might. Internal to the tag store: the program calls WriteTag.
#pragma once

#include "tagstore/tag_file.h"

// The first look: a regular file that opens for reading (and is closed again). False
// when it is something else or cannot be opened. Nothing is read: on a share each read
// is a round trip, and the record is read where it is written, below.
bool LookAtFile(const char* path);

// Opens the file for update (never truncating, never creating), reads its end on that
// handle, and writes the record: in place where one stands, else after the last byte.
bool UpdateRecord(const char* path, const TagFields& captured, const FieldSwitches& switches);
