// The order of a sorted list's entries, as Windows' sorted list box compares them.
#pragma once

#include <string>

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

} // namespace winlayer
