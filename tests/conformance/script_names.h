// The words of a scenario script that name things, shared by both runners: the main
// window's controls by their resource names, the keys by name with their Windows key
// codes, and the entries a "files" or "names" step lists.
#pragma once

#include "resources/resource.h"

#include <cstdio>
#include <string>
#include <vector>

namespace conformance {

struct ScriptName {
    const char* name;
    int value;
};

inline constexpr ScriptName kControls[] = {
    {"IDC_TITLE", IDC_TITLE},
    {"IDC_ARTIST", IDC_ARTIST},
    {"IDC_ALBUM", IDC_ALBUM},
    {"IDC_YEAR", IDC_YEAR},
    {"IDC_COMMENT", IDC_COMMENT},
    {"IDC_SAVE_ALL", IDC_SAVE_ALL},
    {"IDC_OPEN", IDC_OPEN},
    {"IDC_SAVE_SELECTED", IDC_SAVE_SELECTED},
    {"IDC_CLEAR_ALL", IDC_CLEAR_ALL},
    {"IDC_FILE_LIST", IDC_FILE_LIST},
    {"IDC_USE_TITLE", IDC_USE_TITLE},
    {"IDC_USE_ARTIST", IDC_USE_ARTIST},
    {"IDC_USE_ALBUM", IDC_USE_ALBUM},
    {"IDC_USE_YEAR", IDC_USE_YEAR},
    {"IDC_USE_COMMENT", IDC_USE_COMMENT},
    {"IDC_ABOUT", IDC_ABOUT},
};

// Windows key codes (VK_TAB, VK_RETURN, ...).
inline constexpr ScriptName kKeys[] = {
    {"TAB", 0x09},   {"ENTER", 0x0D}, {"ESCAPE", 0x1B}, {"SPACE", 0x20},  {"UP", 0x26},
    {"DOWN", 0x28},  {"LEFT", 0x25},  {"RIGHT", 0x27},  {"HOME", 0x24},   {"END", 0x23},
    {"PRIOR", 0x21}, {"NEXT", 0x22},  {"BACK", 0x08},   {"DELETE", 0x2E},
};

// The value of `name` in `table`, or -1.
template <size_t N> int Lookup(const ScriptName (&table)[N], const std::string& name) {
    for (const ScriptName& entry : table) {
        if (name == entry.name) {
            return entry.value;
        }
    }
    return -1;
}

// The Windows key code of a key's name: one of kKeys, or a capital letter; -1 if none.
inline int KeyCode(const std::string& name) {
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
        return name[0];
    }
    return Lookup(kKeys, name);
}

// The k-th entry a "files" step lists: "a song 0000.mp3", "b song 0001.mp3", ...
inline std::string EntryName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "%c song %04d.mp3", 'a' + k % 7, k);
    return name;
}

// The entries a "names" step lists, in the order given: its text cut at each "|".
inline std::vector<std::string> ListedNames(const std::string& text) {
    std::vector<std::string> names;
    for (size_t at = 0;;) {
        const size_t bar = text.find('|', at);
        names.push_back(text.substr(at, bar - at));
        if (bar == std::string::npos) {
            return names;
        }
        at = bar + 1;
    }
}

} // namespace conformance
