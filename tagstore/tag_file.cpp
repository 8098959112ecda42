#include "tagstore/tag_file.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

namespace {

// The three bytes that precede "TAG" when the marker is really part of an
// "APETAGEX" footer.
constexpr int kLeadSize = 3;
constexpr int kApeFooterSize = 32;

long Little32(const unsigned char* p) {
    return static_cast<long>(p[0] | (p[1] << 8) | (p[2] << 16) |
                             (static_cast<unsigned long>(p[3]) << 24));
}

// An APE tag's footer standing where its "TAG" falls 128 bytes before the end:
// "APETAGEX", version 1000 or 2000, and a tag size that fits the footer and the file.
// A record this program writes never reads so: a title whose bytes made a valid
// version would end there, and the zeros after it are no valid size.
bool IsApeFooter(const unsigned char* footer, long long footerOffset) {
    if (std::memcmp(footer, "APETAGEX", 8) != 0) {
        return false;
    }
    const long version = Little32(footer + 8);
    const long tagSize = Little32(footer + 12);
    return (version == 1000 || version == 2000) && tagSize >= kApeFooterSize &&
           tagSize <= footerOffset + kApeFooterSize;
}

using Name = std::filesystem::path::string_type;

// The longest plain path a folder may have: MAX_PATH (260) less its terminator and room
// for a short name inside it.
constexpr size_t kPlainPathLimit = 260 - 12;

bool StartsWith(const Name& name, const char* start) {
    for (size_t i = 0; start[i] != '\0'; ++i) {
        if (i >= name.size() || name[i] != static_cast<Name::value_type>(start[i])) {
            return false;
        }
    }
    return true;
}

Name NameOf(const char* text) {
    return Name(text, text + std::strlen(text));
}

bool ReadExactly(std::filebuf& file, unsigned char* buffer, int count) {
    return file.sgetn(reinterpret_cast<char*>(buffer), count) == count;
}

} // namespace

bool FilePath(const char* text, std::filesystem::path& path) {
    try {
        if constexpr (std::is_same_v<std::filesystem::path::value_type, char>) {
            path = text;
        } else {
            try {
                path = std::u8string(text, text + std::strlen(text));
            } catch (const std::system_error&) { // not UTF-8
                path = text;
            }
        }
        return ExtendedPath(path);
    } catch (...) { // no memory, or a text the library cannot convert
        return false;
    }
}

bool ExtendedPath(std::filesystem::path& path) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>) {
        return true;
    }
    try {
        const Name& name = path.native();
        if (name.size() < kPlainPathLimit || StartsWith(name, "\\\\?\\") ||
            StartsWith(name, "\\\\.\\")) {
            return true; // short, or extended or a device already
        }
        auto separator = [](Name::value_type c) { return c == '\\' || c == '/'; };
        const Name::value_type letter = name[0] | 0x20;
        const bool drive = letter >= 'a' && letter <= 'z' && name[1] == ':' && separator(name[2]);
        const bool share = separator(name[0]) && separator(name[1]) && !separator(name[2]);
        if (!drive && !share) {
            return true; // relative, or from the current drive's root
        }
        // The system resolves no part of an extended name. The library takes no share's
        // name for a root, so a share's path is resolved after its two separators.
        const std::filesystem::path rest = name.substr(share ? 2 : 0);
        Name extended = NameOf(share ? "\\\\?\\UNC\\" : "\\\\?\\");
        extended += rest.lexically_normal().native();
        path = std::move(extended);
        return true;
    } catch (...) {
        return false;
    }
}

bool PlainPath(std::filesystem::path& path) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>) {
        return true;
    }
    try {
        const Name& name = path.native();
        Name plain;
        if (StartsWith(name, "\\\\?\\UNC\\")) {
            plain = NameOf("\\");
            plain.append(name, 7);
        } else if (StartsWith(name, "\\\\?\\") && name.size() > 5 && name[5] == ':') {
            plain.assign(name, 4);
        } else {
            return true;
        }
        path = std::move(plain);
        return true;
    } catch (...) {
        return false;
    }
}

bool IsRegularFile(const char* path) {
    std::filesystem::path name;
    std::error_code error;
    if (!FilePath(path, name)) {
        return false;
    }
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    return !error && status.type() == std::filesystem::file_type::regular;
}

bool OpenRaw(std::filebuf& file, const char* path, std::ios_base::openmode mode) {
    std::filesystem::path name;
    if (!FilePath(path, name)) {
        return false;
    }
    file.pubsetbuf(nullptr, 0);
    return file.open(name, mode | std::ios_base::binary) != nullptr;
}

bool ProbeRecord(std::filebuf& file, RecordProbe& probe) {
    std::memset(&probe, 0, sizeof probe);
    unsigned char tail[kLeadSize + kRecordSize] = {};
    const std::streamoff failed = std::streamoff(-1);

    // One seek and one read in the usual case: the record and the three bytes before it.
    std::streamoff at =
        file.pubseekoff(-(kLeadSize + kRecordSize), std::ios_base::end, std::ios_base::in);
    if (at != failed) {
        if (!ReadExactly(file, tail, kLeadSize + kRecordSize)) {
            return false;
        }
        probe.size = at + kLeadSize + kRecordSize;
    } else {
        // Shorter than 131 bytes: nothing can stand before the record.
        at = file.pubseekoff(-kRecordSize, std::ios_base::end, std::ios_base::in);
        if (at == failed) {
            const std::streamoff end = file.pubseekoff(0, std::ios_base::end, std::ios_base::in);
            if (end == failed) {
                return false;
            }
            probe.size = end; // shorter than a record: none is present
            return true;
        }
        if (!ReadExactly(file, tail + kLeadSize, kRecordSize)) {
            return false;
        }
        probe.size = at + kRecordSize;
    }

    std::memcpy(probe.record.bytes, tail + kLeadSize, kRecordSize);
    const bool apeFooter = probe.size >= kLeadSize + kRecordSize &&
                           IsApeFooter(tail, probe.size - kLeadSize - kRecordSize);
    probe.present = HasMarker(probe.record) && !apeFooter;
    if (!probe.present) {
        std::memset(probe.record.bytes, 0, kRecordSize);
    }
    return true;
}
