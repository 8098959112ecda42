// Measures the order in which Windows' sorted list box puts names, and writes it as the
// core's table (winlayer/core/list_order_1252.inc), so that the native list orders names
// as the Windows program's list does. Built by the windows preset, run by hand under Wine
// (which needs a display to make a window) or on Windows; the tests never run it:
//
//   LANG=C.UTF-8 xvfb-run -a cmake/wine-run.sh build/windows/tools/list_order_table.exe
//       winlayer/core/list_order_1252.inc     (one command line)
//
// LANG is the locale the tests run Wine with. Its manifest asks for what the program's
// own does where it matters here: version 6 of the common controls, and UTF-8 as the
// process code page. The list box is sorted, and every name goes in as the
// program's do: LB_ADDSTRING with UTF-8 text. The list box is the only judge: two names
// are compared by adding them to the emptied list in both orders and seeing where the
// second one went.
//
// The characters measured are those of code page 1252 (printable ASCII, the control
// characters, and 0x80-0xFF as Windows maps them). Each turns out to be one of three kinds:
// - passed over: "a" c "b" is equal to "ab";
// - weighing only where names are otherwise equal: "a" c "a" < "ab" < "a" c "c";
// - weighing: one unit, or a few for a letter that stands for several ("æ" for "ae").
//   A unit has a primary weight (the order of "a" c "b" against "a" d "b" wherever that
//   is not a matter of accents alone) and, within the characters of the same primary
//   weight, a secondary one (accents: "a" < "á" < "à").
// Names compare by the core's own rule (winlayer/core/list_order_rule.h): their units'
// primary weights, then the secondary ones, then the characters of the second kind, one
// nearer the start weighing more, and where they stand alike, by their own order. Case
// never counts. Before writing, the program checks that the rule, with the weights just
// measured, gives the list box's own answer for every pair of "a" c "b" probes and for
// the names below, and stops if it does not.
#include "winlayer/core/list_order_rule.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

HWND gList = nullptr;

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], size,
                        nullptr, nullptr);
    return text;
}

int Add(const std::wstring& name) {
    const std::string text = Utf8(name);
    return static_cast<int>(
        SendMessageA(gList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

// The list box's order of two names: -1, 0 or 1. Added to the empty list after the
// other, a name goes first when it sorts before it or is equal to it.
int Compare(const std::wstring& x, const std::wstring& y) {
    SendMessageA(gList, LB_RESETCONTENT, 0, 0);
    Add(x);
    const bool yFirst = Add(y) == 0;
    SendMessageA(gList, LB_RESETCONTENT, 0, 0);
    Add(y);
    const bool xFirst = Add(x) == 0;
    if (xFirst && yFirst) {
        return 0;
    }
    return xFirst ? -1 : 1;
}

// The names in the order the list box gives them, added in the order given.
std::vector<std::wstring> Sorted(const std::vector<std::wstring>& names) {
    SendMessageA(gList, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : names) {
        Add(name);
    }
    std::vector<std::wstring> sorted;
    const int count = static_cast<int>(SendMessageA(gList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageW(gList, LB_GETTEXTLEN, i, 0));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(gList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length));
        sorted.push_back(text);
    }
    return sorted;
}

std::wstring One(wchar_t c) {
    return std::wstring(1, c);
}

std::wstring Probe(wchar_t c) {
    return L"a" + One(c) + L"b";
}

// --- The measured weights, and the rule that orders names by them ---------------------

enum class Kind { PassedOver, Tie, Weighs };

struct Unit {
    int primary = 0;
    int secondary = 0;
};

struct Weight {
    Kind kind = Kind::Weighs;
    std::vector<Unit> units; // Weighs
    int tie = 0;             // Tie: the character's own order among them
};

std::map<wchar_t, Weight> gWeights;

// A measured character's weights, as the core's table gives them.
winlayer::CharWeights WeightsOf(const Weight& w) {
    winlayer::CharWeights weights;
    if (w.kind == Kind::PassedOver) {
        weights.units = winlayer::kPassedOver;
    } else if (w.kind == Kind::Tie) {
        weights.units = winlayer::kTie;
        weights.primary[0] = static_cast<uint32_t>(w.tie);
    } else {
        // At most three, which the table has room for: no letter measured stands for more.
        weights.units = static_cast<int>(std::min<size_t>(w.units.size(), 3));
        for (int i = 0; i < weights.units; ++i) {
            weights.primary[i] = static_cast<uint32_t>(w.units[static_cast<size_t>(i)].primary);
            weights.secondary[i] = static_cast<uint32_t>(w.units[static_cast<size_t>(i)].secondary);
        }
    }
    return weights;
}

// The core's own rule with the weights measured so far, for names of measured characters.
int RuleCompare(const std::wstring& x, const std::wstring& y) {
    return winlayer::WeighNames(Utf8(x), Utf8(y), [](char32_t c) {
        return WeightsOf(gWeights.at(static_cast<wchar_t>(c)));
    });
}

// Letters and signs that stand for several: each is checked to weigh as its spelling
// does at the primary level.
const std::pair<wchar_t, const wchar_t*> kSpelledOut[] = {
    {0x00C6, L"AE"}, {0x00E6, L"ae"}, {0x0152, L"OE"}, {0x0153, L"oe"},
    {0x00DF, L"ss"}, {0x00DE, L"TH"}, {0x00FE, L"th"},
};

// Names for the rules, sorted by the list box into the table's heading, and checked.
const wchar_t* const kNames[] = {
    L"coop",         L"co-op",       L"Co-Op",    L"co'op",      L"cooper",      L"co op",
    L"Dont Go",      L"Don't Stop",  L"Don't Go", L"Dont",       L"ACDC live",   L"AC-DC",
    L"ACDC",         L"[Live] Song", L"_hidden",  L"01 Intro",   L"1 Intro",     L"10 Intro",
    L"a~b",          L"a+b",         L"ab",       L"a-b",        L"a'b",         L"-ab",
    L"ab-",          L"a--b",        L"a\u2013b", L"a b",        L"(Live)",      L"#1 Hits",
    L"$ Money",      L"\u00C6ther",  L"Aether",   L"Strasse",    L"Stra\u00DFe", L"\u00C9mile",
    L"Emil",         L"Emma",        L"Song.mp3", L"Song 2.mp3", L"Song-2.mp3",  L"Song_2.mp3",
    L"song (1).mp3",
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: list_order_table OUTPUT.inc\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    gList = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
    if (gList == nullptr) {
        std::fprintf(stderr,
                     "cannot make a list box (error %lu); under Wine, is there a display?\n",
                     GetLastError());
        return 1;
    }
    // The list box must be the common controls' of version 6, in a UTF-8 process.
    HMODULE owner = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(GetWindowLongPtrW(gList, GWLP_WNDPROC)), &owner);
    // Version 6 lives in the side-by-side store, under its assembly's name and version.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(owner, path, MAX_PATH);
    std::string module = path;
    for (char& c : module) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const size_t assembly = module.find("common-controls_");
    if (owner == nullptr || assembly == std::string::npos ||
        module.find("_6.0.", assembly) == std::string::npos || GetACP() != CP_UTF8) {
        std::fprintf(stderr,
                     "the list box (%s) is not version 6 of the common controls in a UTF-8 "
                     "process (code page %u): is the manifest there?\n",
                     path, GetACP());
        return 1;
    }
    // Its version: "..._6.0.2600.2982_..." after the assembly's key.
    const size_t key = module.find('_', assembly + 16);
    const size_t from = key == std::string::npos ? assembly : key + 1;
    const std::string controls6 = module.substr(from, module.find('_', from) - from);
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    // What answered: Wine's list box compares with Wine's own string comparison, which
    // the table then holds, not Windows'.
    using Version = const char*(__cdecl*)();
    const auto wine = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    const std::string source =
        wine != nullptr
            ? std::string("Wine ") + wine() + "'s sorted list box (its comctl32, common controls " +
                  controls6 + ") and Wine's string comparison (CompareStringW), locale " +
                  Utf8(locale)
            : "Windows' sorted list box (common controls " + controls6 +
                  ") and its string comparison (CompareStringW), locale " + Utf8(locale);

    // The characters: code page 1252 as Windows maps it.
    std::vector<wchar_t> chars;
    for (int b = 1; b <= 0xFF; ++b) {
        const char one = static_cast<char>(b);
        wchar_t c = 0;
        MultiByteToWideChar(1252, 0, &one, 1, &c, 1);
        chars.push_back(c);
    }

    // The kinds.
    std::vector<wchar_t> weighing;
    std::vector<wchar_t> ties;
    for (wchar_t c : chars) {
        Weight& w = gWeights[c];
        if (Compare(Probe(c), L"ab") == 0) {
            w.kind = Kind::PassedOver;
        } else if (Compare(L"a" + One(c) + L"a", L"ab") < 0 &&
                   Compare(L"a" + One(c) + L"c", L"ab") > 0) {
            w.kind = Kind::Tie;
            ties.push_back(c);
        } else {
            weighing.push_back(c);
        }
    }

    // Those spelled out are left to the end; the rest weigh one unit each, grouped by
    // primary weight: c before d when "c" "z" sorts before "d" "a".
    std::map<wchar_t, std::wstring> spelled;
    for (const auto& [c, spelling] : kSpelledOut) {
        if (gWeights[c].kind == Kind::Weighs) {
            spelled[c] = spelling;
        }
    }
    auto primaryLess = [](wchar_t c, wchar_t d) {
        return Compare(One(c) + L"z", One(d) + L"a") < 0;
    };
    std::vector<std::vector<wchar_t>> classes; // in ascending order
    for (wchar_t c : weighing) {
        if (spelled.count(c) != 0) {
            continue;
        }
        auto at = std::partition_point(
            classes.begin(), classes.end(),
            [&](const std::vector<wchar_t>& k) { return primaryLess(k.front(), c); });
        if (at != classes.end() && !primaryLess(c, at->front())) {
            at->push_back(c);
        } else {
            classes.insert(at, std::vector<wchar_t>{c});
        }
    }
    std::map<wchar_t, int> classOf;
    for (size_t k = 0; k < classes.size(); ++k) {
        // Within a class, by accents: the secondary weights, counted in twos so that a
        // spelled-out letter can stand between two of them.
        std::vector<wchar_t>& members = classes[k];
        std::stable_sort(members.begin(), members.end(),
                         [](wchar_t c, wchar_t d) { return Compare(One(c), One(d)) < 0; });
        int secondary = 0;
        for (size_t i = 0; i < members.size(); ++i) {
            if (i > 0 && Compare(One(members[i - 1]), One(members[i])) != 0) {
                secondary += 2;
            }
            gWeights[members[i]].units = {{static_cast<int>(k) + 1, secondary}};
            classOf[members[i]] = static_cast<int>(k);
        }
    }
    for (const auto& [c, spelling] : spelled) {
        Weight& w = gWeights[c];
        for (wchar_t part : spelling) {
            if (gWeights.at(part).kind != Kind::Weighs || gWeights.at(part).units.size() != 1) {
                std::fprintf(stderr, "U+%04X is spelled with a character of no one unit\n", c);
                return 1;
            }
            w.units.push_back(gWeights.at(part).units[0]);
        }
        // Its first unit's accent: among the first letter's class, spelled out the same.
        const std::wstring rest = spelling.substr(1);
        int secondary = -1;
        for (wchar_t member : classes[static_cast<size_t>(classOf.at(spelling[0]))]) {
            const int order = Compare(One(member) + rest, One(c));
            const int own = gWeights.at(member).units[0].secondary;
            if (order < 0) {
                secondary = own + 1;
            } else if (order == 0) {
                secondary = own;
            }
        }
        w.units[0].secondary = std::max(secondary, 0);
    }
    // The second kind among themselves: their own order.
    std::stable_sort(ties.begin(), ties.end(),
                     [](wchar_t c, wchar_t d) { return Compare(Probe(c), Probe(d)) < 0; });
    for (size_t i = 0, order = 0; i < ties.size(); ++i) {
        if (i > 0 && Compare(Probe(ties[i - 1]), Probe(ties[i])) != 0) {
            ++order;
        }
        gWeights[ties[i]].tie = static_cast<int>(order) + 1;
    }

    // The check: every pair of probes, tie characters at every pair of places, and the
    // names, as the list box orders them.
    int wrong = 0;
    auto check = [&wrong](const std::wstring& x, const std::wstring& y) {
        const int measured = Compare(x, y);
        const int rule = RuleCompare(x, y);
        if (measured != rule && ++wrong <= 20) {
            std::fprintf(stderr, "\"%s\" against \"%s\": the list box says %d, the rule %d\n",
                         Utf8(x).c_str(), Utf8(y).c_str(), measured, rule);
        }
    };
    for (wchar_t c : chars) {
        for (wchar_t d : chars) {
            if (c < d) {
                check(Probe(c), Probe(d));
                check(One(c) + L"z", One(d) + L"a");
            }
        }
    }
    for (wchar_t c : ties) {
        for (wchar_t d : ties) {
            check(One(c) + L"abc", L"a" + One(d) + L"bc");
            check(L"a" + One(c) + L"bc", L"ab" + One(d) + L"c");
            check(L"a" + One(c) + One(d) + L"b", L"a" + One(c) + L"b");
        }
    }
    const std::vector<std::wstring> names(std::begin(kNames), std::end(kNames));
    const std::vector<std::wstring> sorted = Sorted(names);
    for (size_t i = 1; i < sorted.size(); ++i) {
        check(sorted[i - 1], sorted[i]);
    }
    if (wrong > 0) {
        std::fprintf(stderr, "the rule misses %d of the list box's answers: no table written\n",
                     wrong);
        return 1;
    }

    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    // The heading: what was measured, in comment lines; a name is never broken.
    std::vector<std::string> words;
    auto say = [&words](const std::string& text) {
        for (size_t at = 0; at < text.size();) {
            const size_t space = text.find(' ', at);
            words.push_back(text.substr(at, space - at));
            at = space == std::string::npos ? text.size() : space + 1;
        }
    };
    auto code = [](wchar_t c) {
        char text[16];
        std::snprintf(text, sizeof text, "U+%04X", c);
        return std::string(text);
    };
    say("Made by tools/list_order_table.cpp from " + source + ", over code page 1252: " +
        std::to_string(classes.size()) + " primary weights. Passed over:");
    for (const auto& [c, w] : gWeights) {
        if (w.kind == Kind::PassedOver) {
            words.push_back(code(c));
        }
    }
    say("(no weight at all). Weighing only where names are otherwise equal, in their order:");
    for (wchar_t c : ties) {
        words.push_back(code(c));
    }
    say("(nearer the start weighs more). The list box sorts the rule's names so:");
    for (size_t i = 0; i < sorted.size(); ++i) {
        words.push_back("\"" + Utf8(sorted[i]) + "\"" + (i + 1 < sorted.size() ? "," : "."));
    }
    std::string line = "//";
    for (const std::string& word : words) {
        if (line.size() + 1 + word.size() > 90 && line != "//") {
            std::fprintf(out, "%s\n", line.c_str());
            line = "//";
        }
        line += " " + word;
    }
    std::fprintf(out, "%s\n", line.c_str());
    std::fprintf(out,
                 "// {character, units (0: passed over, -1: only where otherwise equal, with its\n"
                 "// order as the first primary), {primary weights}, {secondary weights}}:\n");
    size_t passedOver = 0;
    for (const auto& [c, w] : gWeights) { // by character
        passedOver += w.kind == Kind::PassedOver ? 1 : 0;
        const winlayer::CharWeights t = WeightsOf(w);
        std::fprintf(out, "{0x%04X, %d, {%u, %u, %u}, {%u, %u, %u}},\n", c, t.units, t.primary[0],
                     t.primary[1], t.primary[2], t.secondary[0], t.secondary[1], t.secondary[2]);
    }
    std::fclose(out);
    std::printf("%zu characters: %zu primary weights, %zu passed over, %zu only where otherwise "
                "equal; the rule agrees with every answer checked\n",
                chars.size(), classes.size(), passedOver, ties.size());
    return 0;
}
