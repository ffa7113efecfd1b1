// Fixed sites among points: the conditional search over the point engine.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dispersion/conditional_search.hpp"
#include "dispersion/fixed_sites.hpp"

namespace dispersao {

DispersionResult solve_point_dispersion_fixed(const PointSet& points, int p,
                                              const std::vector<std::size_t>& fixed,
                                              const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= points.size());
    if (fixed.empty()) {
        return solve_point_dispersion(points, p, limits);
    }
    ConditionalInstance instance;
    instance.n = points.size();
    instance.distance = [&points](std::size_t a, std::size_t b) {
        return point_distance(points, a, b);
    };
    instance.solve_subset = [&points](const std::vector<std::size_t>& subset, int q,
                                      const SearchLimits& inner) {
        PointSet some;
        some.rule = points.rule;
        some.x.reserve(subset.size());
        some.y.reserve(subset.size());
        some.ids.reserve(subset.size());
        for (const std::size_t i : subset) {
            some.x.push_back(points.x[i]);
            some.y.push_back(points.y[i]);
            some.ids.push_back(points.ids.empty() ? static_cast<std::int64_t>(i) : points.ids[i]);
        }
        return lift(solve_point_dispersion(some, q, inner), subset);
    };
    return solve_conditional(instance, p, fixed, limits);
}

}  // namespace dispersao
