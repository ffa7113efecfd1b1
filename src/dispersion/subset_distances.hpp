// The distances among some sites of a larger instance, read through it without a copy.
#pragma once

#include <cassert>
#include <cstddef>

namespace dispersao {

// Sites 0..n-1 standing for sites index[0..n-1] of `base` (a MatrixView or MenuObjective):
// at(a, b) is base.at(index[a], index[b]). The base and the index outlive the view.
template <typename Base>
struct SubsetDistances {
    std::size_t n = 0;
    const Base* base = nullptr;
    const std::size_t* index = nullptr;  // n distinct sites of base

    // Returns the distance between sites a and b. Preconditions: a != b, both below n.
    [[nodiscard]] double at(std::size_t a, std::size_t b) const {
        assert(a != b && a < n && b < n);
        return base->at(index[a], index[b]);
    }
};

}  // namespace dispersao
