// The resource-script converter on arbitrary text: a clear error, or values that go
// into the C++ tables as they stand without breaking out of their place, never a
// crash or a hang.
#include "fuzz/fuzz_support.h"
#include "winlayer/rc/rc_script.h"

#include <algorithm>
#include <cstdint>

namespace {

// Names and numbers joined by '|' and ','.
bool IsValue(const std::string& text) {
    return text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                  "0123456789_ \t|,") == std::string::npos;
}

// Fits between the quotes of a C++ literal.
bool IsText(const std::string& text) {
    return text.find_first_of("\"\\\r\n") == std::string::npos;
}

size_t Quotes(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '"'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    rc::Script script;
    std::string error;
    if (!rc::ParseScript(text, script, error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        return 0;
    }
    for (const std::string& include : script.includes) {
        FUZZ_CHECK(Quotes(include) == 2 && include.front() == '"' && include.back() == '"' &&
                   IsText(include.substr(1, include.size() - 2)));
    }
    for (const rc::Dialog& d : script.dialogs) {
        FUZZ_CHECK(IsValue(d.id + d.rect + d.style + d.implied + d.fontPoints));
        FUZZ_CHECK(IsText(d.caption) && IsText(d.fontName));
        for (const std::string& control : d.controls) {
            // The caption is the one literal; every other field is a value or the class.
            const size_t open = control.find('"');
            const size_t close = control.find('"', open + 1);
            FUZZ_CHECK(Quotes(control) == 2 && IsText(control.substr(open + 1, close - open - 1)));
            std::string rest = control.substr(0, open) + control.substr(close + 1);
            const size_t kind = rest.find("ControlClass::");
            FUZZ_CHECK(kind != std::string::npos && IsValue(rest.erase(kind, 14)));
        }
    }
    for (const rc::Bitmap& bitmap : script.bitmaps) {
        FUZZ_CHECK(IsValue(bitmap.id) && IsText(bitmap.file));
    }
    const std::vector<std::vector<unsigned char>> bitmaps(script.bitmaps.size());
    FUZZ_CHECK(rc::EmitTables(script, bitmaps).find("ProgramResources") != std::string::npos);
    return 0;
}
