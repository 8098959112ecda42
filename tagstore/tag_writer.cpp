#include "tagstore/tag_writer.h"

#include "tagstore/tag_file.h"
#include "tagstore/tag_writer_steps.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr std::ios_base::openmode kUpdate = std::ios_base::in | std::ios_base::out;

// Writes `count` bytes at `offset` and closes the file; true only when every byte
// went out and the close succeeded.
bool WriteAndClose(std::filebuf& file, long long offset, const TagRecord& record, int count) {
    bool written = file.pubseekpos(offset, std::ios_base::out) == std::streamoff(offset) &&
                   file.sputn(reinterpret_cast<const char*>(record.bytes), count) == count;
    written = file.close() != nullptr && written;
    return written;
}

// Puts an overwritten record's previous bytes back, as far as the file allows.
void RestoreRecord(const char* path, long long offset, const TagRecord& previous, int count) {
    std::filebuf file;
    if (OpenRaw(file, path, kUpdate)) {
        WriteAndClose(file, offset, previous, count);
    }
}

// Takes a failed append back off the end of the file.
void RestoreLength(const char* path, long long size) {
    std::filesystem::path name;
    std::error_code ignored;
    if (FilePath(path, name)) {
        std::filesystem::resize_file(name, static_cast<std::uintmax_t>(size), ignored);
    }
}

} // namespace

bool LookAtFile(const char* path) {
    if (!IsRegularFile(path)) {
        return false;
    }
    std::filebuf file;
    if (!OpenRaw(file, path, std::ios_base::in)) {
        return false;
    }
    file.close();
    return true;
}

bool UpdateRecord(const char* path, const TagFields& captured, const FieldSwitches& switches) {
    // Whether a record stands at the end, and where, is read on the handle the record is
    // written through, so that what is written follows from what the file holds then.
    std::filebuf file;
    if (!OpenRaw(file, path, kUpdate)) {
        return false;
    }
    RecordProbe now;
    if (!ProbeRecord(file, now)) {
        file.close();
        return false;
    }

    TagRecord record;
    if (now.present) {
        // In place: the marker and the five fields, one forward pass over record bytes
        // 0 to 126. Switched-off fields are written back as the file holds them and the
        // genre byte is left out of the write altogether.
        ComposeRecord(&now.record, captured, switches, record);
        const long long offset = now.size - kRecordSize;
        if (!WriteAndClose(file, offset, record, kGenreOffset)) {
            RestoreRecord(path, offset, now.record, kGenreOffset);
            return false;
        }
        return true;
    }

    // Appended: a whole new record after the last byte of audio, at the offset the probe
    // found, so that two saves of one file at once (under two names) put the same bytes
    // at the same place.
    ComposeRecord(nullptr, captured, switches, record);
    if (!WriteAndClose(file, now.size, record, kRecordSize)) {
        RestoreLength(path, now.size);
        return false;
    }
    return true;
}

bool WriteTag(const char* path, const TagFields& captured, const FieldSwitches& switches) {
    return LookAtFile(path) && UpdateRecord(path, captured, switches);
}
