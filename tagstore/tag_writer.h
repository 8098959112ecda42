#pragma once

#include "tagstore/tag_record.h"

// Writes the switched-on fields of `captured` (in capture form) into the record at
// the end of the file at `path`, rewriting an existing record in place or adding a
// new one after the audio. Switched-off fields keep the file's bytes; the genre
// byte of an existing record is never touched.
//
// True only when the record was written completely. On any failure the file keeps
// its length, and an overwritten record gets its previous bytes back where the file
// allows. Never creates a file and never writes before the record.
bool WriteTag(const char* path, const TagFields& captured, const FieldSwitches& switches);
