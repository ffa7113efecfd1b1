// Cities of a converted instance in the order of their ids.
#include <cassert>

#include "conversion/conversion.hpp"

namespace dispersao {

std::vector<std::size_t> positions_by_id(const PointSet& points) {
    std::vector<std::size_t> positions(points.size());
    for (std::size_t position = 0; position < points.size(); ++position) {
        const std::int64_t id = points.ids[position];
        assert(id >= 1 && static_cast<std::size_t>(id) <= points.size());
        positions[static_cast<std::size_t>(id - 1)] = position;
    }
    return positions;
}

std::vector<Point> cities_by_id(const PointSet& points) {
    std::vector<Point> cities;
    cities.reserve(points.size());
    for (const std::size_t position : positions_by_id(points)) {
        cities.push_back({points.x[position], points.y[position]});
    }
    return cities;
}

}  // namespace dispersao
