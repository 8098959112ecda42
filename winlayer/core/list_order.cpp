#include "winlayer/core/list_order.h"

#include "winlayer/core/list_order_rule.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace winlayer {

namespace {

// The weights of code page 1252's characters in Windows' sorted list box, measured by
// tools/list_order_table.cpp under Wine (its heading says from what; see
// list_order_rule.h for the rule): the hyphen, the apostrophe, the dashes and the control
// characters weigh only where names are otherwise equal, and the soft hyphen does not
// weigh at all.
struct MeasuredChar {
    char32_t c;
    int units; // kPassedOver, kTie, or how many units it weighs
    uint16_t primary[3];
    uint16_t secondary[3];
};
constexpr MeasuredChar kMeasured[] = {
#include "winlayer/core/list_order_1252.inc"
};

// Letters outside code page 1252 that sort otherwise than by their own number:
// {letter, base, small form}, by letter.
struct SortLetter {
    char32_t letter, base, small;
};
constexpr SortLetter kSortLetters[] = {
#include "winlayer/core/sort_letters.inc"
};

// A character the table does not hold weighs after every one it holds: a letter as its
// base letter with its accent after the measured ones ("ő" after "ö"), anything else by
// its own number.
constexpr uint32_t kBeyond = 0x10000;

const MeasuredChar* Measured(char32_t c) {
    const MeasuredChar* at =
        std::lower_bound(std::begin(kMeasured), std::end(kMeasured), c,
                         [](const MeasuredChar& m, char32_t value) { return m.c < value; });
    return at != std::end(kMeasured) && at->c == c ? at : nullptr;
}

CharWeights FromMeasured(const MeasuredChar& m) {
    CharWeights w;
    w.units = m.units;
    for (int i = 0; i < 3; ++i) {
        w.primary[i] = m.primary[i];
        w.secondary[i] = m.secondary[i];
    }
    return w;
}

CharWeights WeightsOf(char32_t c) {
    if (const MeasuredChar* m = Measured(c)) {
        return FromMeasured(*m);
    }
    CharWeights w;
    const SortLetter* letter =
        std::lower_bound(std::begin(kSortLetters), std::end(kSortLetters), c,
                         [](const SortLetter& l, char32_t value) { return l.letter < value; });
    if (letter == std::end(kSortLetters) || letter->letter != c) {
        w.primary[0] = kBeyond + c;
        return w;
    }
    const MeasuredChar* base = Measured(letter->base);
    if (base != nullptr && base->units > 0) {
        w = FromMeasured(*base);
    } else {
        w.primary[0] = kBeyond + letter->base;
    }
    if (letter->small != letter->base) {
        w.secondary[0] = kBeyond + letter->small;
    }
    return w;
}

// Printable ASCII at a glance, for the characters that weigh one unit.
struct AsciiWeight {
    uint16_t primary = 0;
    bool oneUnit = false;
};
constexpr std::array<AsciiWeight, 128> MakeAscii() {
    std::array<AsciiWeight, 128> ascii{};
    for (const MeasuredChar& m : kMeasured) {
        if (m.c < 128) {
            ascii[m.c] = {m.primary[0], m.units == 1};
        }
    }
    return ascii;
}
constexpr std::array<AsciiWeight, 128> kAscii = MakeAscii();

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u | 0x20) : u;
}

bool Continues(const std::string& text, size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

} // namespace

int CompareEntries(const std::string& a, const std::string& b) {
    // Most names part at a letter, digit or sign of ASCII that weighs one unit, after
    // bytes that are equal but for case: those two decide. Elsewhere the names are
    // weighed in full from the start of the character where they part, since what comes
    // before weighs alike in both.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (uint64_t x = 0, y = 0; i + 8 <= n; i += 8) { // eight equal bytes at a time
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            break;
        }
    }
    while (i < n && Folded(a[i]) == Folded(b[i])) {
        ++i;
    }
    if (i < n) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x < 0x80 && y < 0x80 && kAscii[x].oneUnit && kAscii[y].oneUnit &&
            kAscii[x].primary != kAscii[y].primary) {
            return kAscii[x].primary < kAscii[y].primary ? -1 : 1;
        }
    } else if (a.size() == b.size()) {
        return 0;
    }
    while (i > 0 && (Continues(a, i) || Continues(b, i))) {
        --i;
    }
    return WeighNames(std::string_view(a).substr(i), std::string_view(b).substr(i), WeightsOf);
}

} // namespace winlayer
