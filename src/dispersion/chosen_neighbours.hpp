// The neighbourhood of a selection: each chosen point's nearest other chosen point, and the
// closest pair, whose distance is the selection's value.
#pragma once

#include <cstddef>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao {

struct ChosenNeighbours {
    // nearest[i]: index into the selection of the chosen point nearest chosen[i] (not itself),
    // and distance[i] that distance under the set's rule.
    std::vector<std::size_t> nearest;
    std::vector<double> distance;
    // Indices into the selection of the closest pair, first < second.
    std::size_t closest_first = 0;
    std::size_t closest_second = 1;
};

// Returns the neighbourhood of `chosen` (positions in `points`) under the set's distance rule;
// ties go to the pair met first (in the order (0,1), (0,2), ..., (1,2), ...). Takes about
// p sqrt(p) distances on spread selections, p(p-1)/2 at worst. Preconditions: at least two
// positions, all inside the set.
[[nodiscard]] ChosenNeighbours chosen_neighbours(const PointSet& points,
                                                 const std::vector<std::size_t>& chosen);

}  // namespace dispersao
