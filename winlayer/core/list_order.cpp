#include "winlayer/core/list_order.h"

#include "winlayer/core/codepage.h"

#include <algorithm>
#include <iterator>

namespace winlayer {

namespace {

// Letters outside ASCII that sort otherwise than by their own number: {letter, base,
// small form}, by letter.
struct SortLetter {
    char32_t letter, base, small;
};
constexpr SortLetter kSortLetters[] = {
#include "winlayer/core/sort_letters.inc"
};

// A character's place in the order: by its base letter (case and accents aside), or,
// with `accents`, by its small form.
char32_t SortKey(char32_t c, bool accents) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    }
    const SortLetter* at =
        std::lower_bound(std::begin(kSortLetters), std::end(kSortLetters), c,
                         [](const SortLetter& l, char32_t value) { return l.letter < value; });
    if (at == std::end(kSortLetters) || at->letter != c) {
        return c;
    }
    return accents ? at->small : at->base;
}

} // namespace

int CompareEntries(const std::string& a, const std::string& b) {
    // Up to the first character outside ASCII, byte by byte, as most names go.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n && static_cast<unsigned char>(a[i]) < 0x80 &&
           static_cast<unsigned char>(b[i]) < 0x80;
         ++i) {
        const char32_t x = SortKey(static_cast<unsigned char>(a[i]), false);
        const char32_t y = SortKey(static_cast<unsigned char>(b[i]), false);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (i == n) {
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    // From there on by characters: base letters first, and where they are the same,
    // accents.
    const std::u32string x = Utf8ToChars(a.substr(i));
    const std::u32string y = Utf8ToChars(b.substr(i));
    const size_t m = std::min(x.size(), y.size());
    for (const bool accents : {false, true}) {
        for (size_t k = 0; k < m; ++k) {
            const char32_t p = SortKey(x[k], accents);
            const char32_t q = SortKey(y[k], accents);
            if (p != q) {
                return p < q ? -1 : 1;
            }
        }
        if (x.size() != y.size()) {
            return x.size() < y.size() ? -1 : 1;
        }
    }
    return 0;
}

} // namespace winlayer
