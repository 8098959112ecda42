// The resource-script converter on arbitrary text: a clear error, or tables that
// hold what a valid script may hold, never a crash or a hang.
#include "fuzz/fuzz_support.h"
#include "winlayer/rc/rc_script.h"

#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto include = [](const std::string& name, std::string& out) {
        if (name != "resource.h") {
            return false;
        }
        out = "#define IDC_STATIC (-1)\n#define IDD_MAIN 101\n#define IDC_TITLE 1000\n";
        return true;
    };
    rc::Script script;
    std::string error;
    if (!rc::ParseScript(text, include, script, error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(error.empty());
    std::set<int> dialogs;
    for (const rc::Dialog& dialog : script.dialogs) {
        FUZZ_CHECK(dialogs.insert(dialog.id).second);
        std::set<int> ids;
        for (const rc::Control& control : dialog.controls) {
            FUZZ_CHECK(control.id == -1 || ids.insert(control.id).second);
        }
    }
    const std::vector<std::vector<unsigned char>> bitmaps(script.bitmaps.size());
    const std::string tables = rc::EmitTables(script, bitmaps);
    FUZZ_CHECK(tables.find("ProgramResources") != std::string::npos);
    return 0;
}
