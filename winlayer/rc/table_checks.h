// Checks the compiler runs over the converted tables: the generated file asserts them,
// so a script that uses a number twice does not build.
#pragma once

#include <cstddef>

namespace rc {

// True when no two entries share an id; IDC_STATIC (-1) may repeat.
template <typename Entry, std::size_t N> constexpr bool IdsUnique(const Entry (&entries)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (entries[i].id != -1 && entries[i].id == entries[j].id) {
                return false;
            }
        }
    }
    return true;
}

} // namespace rc
