// File access shared by the tag reader and writer: which paths may be opened at
// all, and where the record stands in an open file.
#pragma once

#include "tagstore/tag_record.h"

#include <filesystem>
#include <fstream>

// The file system's name for one of the program's paths. Where names are bytes they
// are the path's own bytes. Where they are wide (Windows) the path is UTF-8, the
// process code page the program's manifest declares; a path that is not UTF-8 (from
// a system too old to honour that, in its ANSI code page) takes the library's own
// narrow conversion, as before. A path too long for the plain form takes the extended
// one (ExtendedPath). False when there is no name for it.
bool FilePath(const char* text, std::filesystem::path& path);

// Where names are wide (Windows), an absolute path too long for the plain form to name
// a folder by (MAX_PATH less room for a short name in it) takes the extended-length
// form, "\\?\C:\..." or "\\?\UNC\server\share\...", which the file calls take at any
// length whatever the system's own setting for long paths; its separators and dots are
// resolved first, as the system does for the plain form. PlainPath gives such a path
// its plain form again, for showing it as the user knows it. Elsewhere both leave the
// path as it is. False when there is no memory for it.
bool ExtendedPath(std::filesystem::path& path);
bool PlainPath(std::filesystem::path& path);

// Only regular files (or links to them) are opened: a directory, pipe, device or
// socket could block an open or a read, and is never a music file.
bool IsRegularFile(const char* path);

// Opens `file` on `path` unbuffered, so that every read and write below is one
// system call of our choosing. Never creates the file.
bool OpenRaw(std::filebuf& file, const char* path, std::ios_base::openmode mode);

// What the end of an open file holds.
struct RecordProbe {
    long long size;   // the file's length in bytes
    bool present;     // a record stands in the last 128 bytes
    TagRecord record; // its bytes when present, zeros otherwise
};

// Reads the end of the file. A "TAG" that is part of an APE tag's "APETAGEX"
// footer is not a record. False when the file cannot be positioned or read.
bool ProbeRecord(std::filebuf& file, RecordProbe& probe);
