// The order of a sorted list's entries, as Windows' sorted list box compares them.
#pragma once

#include <string>

namespace winlayer {

// The list's order, for entries in UTF-8 (the file system's names): ascending
// characters, letters compared without regard to case and first without their
// accents, so that "Émile" goes between "Emil" and "Emma", and "анна" before "Борис".
// Equal when only case tells them apart.
int CompareEntries(const std::string& a, const std::string& b);

} // namespace winlayer
