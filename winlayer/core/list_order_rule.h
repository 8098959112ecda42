// The rule a sorted list orders names by, from the weights of their characters: the one
// rule, which the core applies with its measured table and the measuring program in
// tools/ checks against the list box's own answers while it measures.
#pragma once

#include <cstdint>
#include <string_view>

namespace winlayer {

// What a character weighs. Most weigh one unit, a letter that stands for several a few
// ("æ" is "ae"); a unit has a primary weight and, among the characters of the same
// primary weight, a secondary one (its accent: "a" < "á" < "à"). Some weigh nothing at
// all (kPassedOver), some only where names are otherwise equal (kTie: the hyphen, the
// apostrophe), in their own order, given as the first primary weight.
constexpr int kPassedOver = 0;
constexpr int kTie = -1;
struct CharWeights {
    int units = 1; // kPassedOver, kTie, or how many units it weighs (at most 3)
    uint32_t primary[3] = {};
    uint32_t secondary[3] = {};
};
using WeightsOfChar = CharWeights (*)(char32_t c);

// Two names in UTF-8, -1, 0 or 1: by their units' primary weights, then by their
// secondary ones, then by the characters that weigh only where all else is equal, one
// nearer the start weighing more, and where they stand alike by their own order.
int WeighNames(std::string_view a, std::string_view b, WeightsOfChar weightsOf);

} // namespace winlayer
