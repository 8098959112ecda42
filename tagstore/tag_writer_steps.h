// The writer's two steps, one function each, so that a test can change a file between
// them as another program might. Internal to the tag store: the program calls WriteTag.
#pragma once

#include "tagstore/tag_file.h"

// The first look: opens the file for reading, learns its length and whether a record
// stands at its end, and closes it. False when the file cannot be opened or read.
bool LookAtFile(const char* path, RecordProbe& first);

// Opens the file for update (never truncating, never creating) and writes the
// record, provided the file is still as `first` found it; a file that changed in
// between is left to whoever changed it.
bool UpdateRecord(const char* path, const RecordProbe& first, const TagFields& captured,
                  const FieldSwitches& switches);
