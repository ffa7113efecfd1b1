// Nearest chosen neighbours of a selection, by a sweep along the first working coordinate.
#include "dispersion/chosen_neighbours.hpp"

#include <algorithm>
#include <cassert>
#include <limits>
#include <utility>

#include "dispersion/dispersion.hpp"
#include "dispersion/distance_bounds.hpp"

namespace dispersao {

ChosenNeighbours chosen_neighbours(const PointSet& points, const std::vector<std::size_t>& chosen) {
    assert(chosen.size() >= 2);
    const std::size_t p = chosen.size();
    const WorkingSpace space = WorkingSpace::of(points);
    // The chosen points in rising first working coordinate: two points farther apart there
    // than lower_from_gap allows are no nearer than the bound, so each scan stops early.
    std::vector<std::pair<double, std::size_t>> sweep(p);
    for (std::size_t k = 0; k < p; ++k) {
        assert(chosen[k] < points.size());
        sweep[k] = {space.place(points, chosen[k])[0], k};
    }
    std::sort(sweep.begin(), sweep.end());
    ChosenNeighbours result;
    result.nearest.assign(p, p);
    result.distance.assign(p, std::numeric_limits<double>::infinity());
    // Offers chosen point b as the neighbour of a; ties go to the lower index, as in a scan of
    // the pairs in order.
    const auto offer = [&](std::size_t a, std::size_t b) {
        const double d = point_distance(points, chosen[a], chosen[b]);
        if (d < result.distance[a] || (d == result.distance[a] && b < result.nearest[a])) {
            result.distance[a] = d;
            result.nearest[a] = b;
        }
    };
    for (std::size_t i = 0; i < p; ++i) {
        const auto [x, a] = sweep[i];
        for (std::size_t j = i; j-- > 0;) {
            if (space.lower_from_gap(x - sweep[j].first) > result.distance[a]) {
                break;
            }
            offer(a, sweep[j].second);
        }
        for (std::size_t j = i + 1; j < p; ++j) {
            if (space.lower_from_gap(sweep[j].first - x) > result.distance[a]) {
                break;
            }
            offer(a, sweep[j].second);
        }
    }
    // The closest pair met first in pair order: its lower index is the lowest whose nearest
    // distance is the smallest, and its partner that index's nearest (never a lower one, which
    // would make a pair met earlier).
    std::size_t first = 0;
    for (std::size_t k = 1; k < p; ++k) {
        if (result.distance[k] < result.distance[first]) {
            first = k;
        }
    }
    assert(result.nearest[first] > first);
    result.closest_first = first;
    result.closest_second = result.nearest[first];
    return result;
}

}  // namespace dispersao
