// Nearest chosen neighbours of a selection.
#include "dispersion/chosen_neighbours.hpp"

#include <cassert>
#include <limits>

#include "dispersion/dispersion.hpp"

namespace dispersao {

ChosenNeighbours chosen_neighbours(const PointSet& points, const std::vector<std::size_t>& chosen) {
    assert(chosen.size() >= 2);
    const std::size_t p = chosen.size();
    ChosenNeighbours result;
    result.nearest.assign(p, 0);
    result.distance.assign(p, std::numeric_limits<double>::infinity());
    double closest = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < p; ++a) {
        assert(chosen[a] < points.size());
        for (std::size_t b = a + 1; b < p; ++b) {
            const double d = point_distance(points, chosen[a], chosen[b]);
            if (d < result.distance[a]) {
                result.distance[a] = d;
                result.nearest[a] = b;
            }
            if (d < result.distance[b]) {
                result.distance[b] = d;
                result.nearest[b] = a;
            }
            if (d < closest) {
                closest = d;
                result.closest_first = a;
                result.closest_second = b;
            }
        }
    }
    return result;
}

}  // namespace dispersao
