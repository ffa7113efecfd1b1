// The layout of the target search: orders of the points, squares of the plane that give them
// places, and runs of the order with their bounding boxes.
#pragma once

#include <cstddef>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao::target_layout {

// Returns the spacing of p points spread evenly over the points' bounding box: the side of the
// square each one would have. Precondition: p >= 1, the set is not empty.
[[nodiscard]] double spacing(const PointSet& points, std::size_t p);

// Returns every point of the set ordered by strips across the plane, each strip's points along
// it: points next in the order lie mostly close together. The strips are a quarter of the
// spacing of p points spread over the bounding box. Precondition: p >= 1.
[[nodiscard]] std::vector<std::size_t> strip_order(const PointSet& points, std::size_t p);

// Returns per point its place: points in one square of the plane share a place. The squares'
// side is `fraction` of the spacing of p points spread over the bounding box; 0 gives every
// point a place of its own. Places are numbered from 0 without gaps. Precondition: p >= 1.
[[nodiscard]] std::vector<std::size_t> places(const PointSet& points, std::size_t p,
                                              double fraction);

// A run of consecutive points of the search's order (or of consecutive blocks) and their
// bounding box.
struct Block {
    std::size_t begin;
    std::size_t end;
    double low_x;
    double high_x;
    double low_y;
    double high_y;
};

// Returns `order` cut into runs of tuning::kTargetBlockPoints points (the last one shorter),
// each with its bounding box. Precondition: every entry of `order` is a point of the set.
[[nodiscard]] std::vector<Block> blocks_of(const PointSet& points,
                                           const std::vector<std::size_t>& order);

// Returns `blocks` cut into groups of tuning::kTargetGroupBlocks blocks (the last one
// shorter): begin and end number blocks, and the box holds every block's.
[[nodiscard]] std::vector<Block> groups_of(const std::vector<Block>& blocks);

}  // namespace dispersao::target_layout
