#include "tagstore/tag_reader.h"

#include "tagstore/tag_file.h"

bool ReadTag(const char* path, TagFields& fields) {
    if (!IsRegularFile(path)) {
        return false;
    }
    std::filebuf file;
    if (!OpenRaw(file, path, std::ios_base::in)) {
        return false;
    }
    RecordProbe probe;
    const bool readable = ProbeRecord(file, probe);
    file.close();
    if (!readable) {
        return false;
    }
    // A file without a record decodes to five empty texts: its probe record is all zeros.
    DecodeRecord(probe.record, fields);
    return true;
}
