// The order of a sorted list's entries, as Windows' sorted list box compares them.
#pragma once

#include <string>
#include <vector>

namespace winlayer {

// The list's order, for entries in UTF-8 (the file system's names), as measured from
// Windows' sorted list box: signs and symbols before digits, digits before letters
// ("[Live] Song" and "_hidden" before "01 Intro"), symbols in the list box's own order
// ("a~b" before "a+b" before "ab"); letters without regard to case and first without
// their accents ("Émile" between "Emil" and "Emma", "анна" before "Борис", "Æther" as
// "Aether"). A hyphen, an apostrophe or a dash weighs only where the names are otherwise
// equal ("coop" before "co-op", "Dont Go" before "Don't Stop", "AC-DC" before
// "ACDC live"). Equal when only case tells them apart.
int CompareEntries(const std::string& a, const std::string& b);

// Where a sorted list box puts `entry` among `items`, which `compare` keeps in order: its
// halving search over the entries from the first to the last (the middle one rounded
// down) puts it before the first equal entry it meets, else after every entry that sorts
// before it. Among equal entries the place depends on how many there are: with two, an
// equal name goes before the first.
template <typename Compare>
int SortedPlace(const std::vector<std::string>& items, const std::string& entry, Compare compare) {
    int low = 0;
    int high = static_cast<int>(items.size()) - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int order = compare(entry, items[static_cast<size_t>(middle)]);
        if (order == 0) {
            return middle;
        }
        if (order < 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

} // namespace winlayer
