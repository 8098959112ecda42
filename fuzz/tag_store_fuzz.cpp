// The tag store on arbitrary file contents, texts and switches: what the reader shows
// obeys the display rule, a save changes only the record (or appends exactly one),
// and a second save with the same input changes nothing more.
//
// Input: one byte of switches, then five texts (a length byte and that many bytes),
// then the file's contents.
#include "fuzz/fuzz_support.h"
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"
#include "tests/support/captured_fields.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    size_t at = 0;
    const uint8_t switchBits = data[at++];
    std::string texts[5];
    bool on[5];
    TagFields captured{};
    FieldSwitches switches{};
    for (int f = 0; f < 5; ++f) {
        const size_t length = at < size ? data[at++] % 40 : 0;
        const size_t take = length < size - at ? length : size - at;
        const std::string raw(reinterpret_cast<const char*>(data + at), take);
        at += take;
        CaptureText(captured, FieldAt(f), raw.c_str());
        texts[f] = model::Captured(raw, f);
        on[f] = switches.on[f] = (switchBits >> f) & 1;
        FUZZ_CHECK(std::string(FieldText(captured, FieldAt(f))) == texts[f]);
    }
    const model::Bytes file(data + at, data + size);
    const std::string path = fuzz::ScratchFile("song.mp3");
    WriteBytes(path, file);

    TagFields shown{};
    FUZZ_CHECK(ReadTag(path.c_str(), shown));
    for (int f = 0; f < 5; ++f) {
        const std::string text = FieldText(shown, FieldAt(f));
        FUZZ_CHECK(text == model::Shown(file, f));
        FUZZ_CHECK(static_cast<int>(text.size()) <= FieldWidth(FieldAt(f)));
    }
    FUZZ_CHECK(ReadBytes(path) == file); // reading changed nothing

    FUZZ_CHECK(WriteTag(path.c_str(), captured, switches));
    const model::Bytes saved = ReadBytes(path);
    const model::Bytes expected = model::Save(file, texts, on);
    FUZZ_CHECK(saved == expected);
    const size_t kept = model::HasRecord(file) ? file.size() - 128 : file.size();
    FUZZ_CHECK(saved.size() >= kept &&
               (kept == 0 || std::memcmp(saved.data(), file.data(), kept) == 0));

    FUZZ_CHECK(WriteTag(path.c_str(), captured, switches));
    FUZZ_CHECK(ReadBytes(path) == expected);
    return 0;
}
