#include "winlayer/core/list_order_rule.h"

#include "winlayer/core/codepage.h"

#include <algorithm>
#include <cstddef>

namespace winlayer {

namespace {

// A name's units one by one, or the characters that weigh only where names are
// otherwise equal, each with the count of units before it.
class Units {
  public:
    Units(std::string_view text, WeightsOfChar weightsOf) : text_(text), weightsOf_(weightsOf) {}

    bool Next(uint32_t& primary, uint32_t& secondary) {
        while (unit_ >= char_.units) {
            if (at_ >= text_.size()) {
                return false;
            }
            char_ = weightsOf_(NextChar(text_, at_));
            unit_ = 0;
        }
        primary = char_.primary[unit_];
        secondary = char_.secondary[unit_];
        ++unit_;
        return true;
    }

    bool NextTie(uint32_t& order, size_t& unitsBefore) {
        while (at_ < text_.size()) {
            const CharWeights w = weightsOf_(NextChar(text_, at_));
            if (w.units == kTie) {
                order = w.primary[0];
                unitsBefore = units_;
                return true;
            }
            units_ += static_cast<size_t>(std::max(w.units, 0));
        }
        return false;
    }

  private:
    std::string_view text_;
    WeightsOfChar weightsOf_;
    size_t at_ = 0;
    CharWeights char_{kPassedOver};
    int unit_ = 0;
    size_t units_ = 0;
};

int Order(uint32_t x, uint32_t y) {
    return x < y ? -1 : x > y ? 1 : 0;
}

} // namespace

int WeighNames(std::string_view a, std::string_view b, WeightsOfChar weightsOf) {
    int accents = 0;
    Units x(a, weightsOf), y(b, weightsOf);
    for (;;) {
        uint32_t p = 0, s = 0, q = 0, t = 0;
        const bool more = x.Next(p, s);
        if (more != y.Next(q, t)) {
            return more ? 1 : -1;
        }
        if (!more) {
            break;
        }
        if (int order = Order(p, q)) {
            return order;
        }
        accents = accents != 0 ? accents : Order(s, t);
    }
    if (accents != 0) {
        return accents;
    }
    Units u(a, weightsOf), v(b, weightsOf);
    for (;;) {
        uint32_t p = 0, q = 0;
        size_t before = 0, after = 0;
        const bool more = u.NextTie(p, before);
        if (more != v.NextTie(q, after)) {
            return more ? 1 : -1;
        }
        if (!more) {
            return 0;
        }
        if (before != after) {
            return before < after ? 1 : -1;
        }
        if (int order = Order(p, q)) {
            return order;
        }
    }
}

} // namespace winlayer
