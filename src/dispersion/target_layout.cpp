// The layout of the target search: strips, squares and blocks of the points.
#include "dispersion/target_layout.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "dispersion/search_tuning.hpp"

namespace dispersao::target_layout {

// Returns the spacing of p points spread evenly over the points' bounding box: the side of the
// square each one would have. Precondition: p >= 1, the set is not empty.
[[nodiscard]] double spacing(const PointSet& points, std::size_t p) {
    assert(p >= 1 && !points.x.empty());
    const auto [low_x, high_x] = std::minmax_element(points.x.begin(), points.x.end());
    const auto [low_y, high_y] = std::minmax_element(points.y.begin(), points.y.end());
    return std::sqrt((*high_x - *low_x) * (*high_y - *low_y) / static_cast<double>(p));
}

// Returns every point of the set ordered by strips across the plane, each strip's points along
// it: points next in the order lie mostly close together. The strips are a quarter of the
// spacing of p points spread over the bounding box. Precondition: p >= 1.
[[nodiscard]] std::vector<std::size_t> strip_order(const PointSet& points, std::size_t p) {
    assert(p >= 1);
    const std::size_t n = points.size();
    const double low_y = *std::min_element(points.y.begin(), points.y.end());
    const double strip = spacing(points, p) / tuning::kTargetStripsPerSpacing;
    std::vector<std::pair<double, double>> place(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double y = points.y[i] - low_y;
        place[i] = {strip > 0 ? std::floor(y / strip) : 0.0, points.x[i]};
    }
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&place](std::size_t a, std::size_t b) { return place[a] < place[b]; });
    return order;
}

// Returns per point its place: points in one square of the plane share a place. The squares'
// side is `fraction` of the spacing of p points spread over the bounding box; 0 gives every
// point a place of its own. Places are numbered from 0 without gaps. Precondition: p >= 1.
[[nodiscard]] std::vector<std::size_t> places(const PointSet& points, std::size_t p,
                                              double fraction) {
    assert(p >= 1);
    const std::size_t n = points.size();
    const double low_x = *std::min_element(points.x.begin(), points.x.end());
    const double low_y = *std::min_element(points.y.begin(), points.y.end());
    const double side = spacing(points, p) * fraction;
    std::vector<std::size_t> place(n);
    if (!(side > 0)) {
        for (std::size_t i = 0; i < n; ++i) {
            place[i] = i;
        }
        return place;
    }
    std::vector<std::pair<std::pair<double, double>, std::size_t>> squares(n);
    for (std::size_t i = 0; i < n; ++i) {
        squares[i] = {
            {std::floor((points.x[i] - low_x) / side), std::floor((points.y[i] - low_y) / side)},
            i};
    }
    std::sort(squares.begin(), squares.end());
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && squares[i].first != squares[i - 1].first) {
            ++next;
        }
        place[squares[i].second] = next;
    }
    return place;
}

// Returns `order` cut into runs of tuning::kTargetBlockPoints points (the last one shorter),
// each with its bounding box. Precondition: every entry of `order` is a point of the set.
[[nodiscard]] std::vector<Block> blocks_of(const PointSet& points,
                                           const std::vector<std::size_t>& order) {
    std::vector<Block> blocks;
    for (std::size_t begin = 0; begin < order.size(); begin += tuning::kTargetBlockPoints) {
        const std::size_t end = std::min(order.size(), begin + tuning::kTargetBlockPoints);
        Block block{begin,
                    end,
                    points.x[order[begin]],
                    points.x[order[begin]],
                    points.y[order[begin]],
                    points.y[order[begin]]};
        for (std::size_t i = begin; i < end; ++i) {
            assert(order[i] < points.size());
            block.low_x = std::min(block.low_x, points.x[order[i]]);
            block.high_x = std::max(block.high_x, points.x[order[i]]);
            block.low_y = std::min(block.low_y, points.y[order[i]]);
            block.high_y = std::max(block.high_y, points.y[order[i]]);
        }
        blocks.push_back(block);
    }
    return blocks;
}

std::vector<Block> groups_of(const std::vector<Block>& blocks) {
    std::vector<Block> groups;
    for (std::size_t begin = 0; begin < blocks.size(); begin += tuning::kTargetGroupBlocks) {
        const std::size_t end = std::min(blocks.size(), begin + tuning::kTargetGroupBlocks);
        Block group = blocks[begin];
        group.begin = begin;
        group.end = end;
        for (std::size_t b = begin; b < end; ++b) {
            group.low_x = std::min(group.low_x, blocks[b].low_x);
            group.high_x = std::max(group.high_x, blocks[b].high_x);
            group.low_y = std::min(group.low_y, blocks[b].low_y);
            group.high_y = std::max(group.high_y, blocks[b].high_y);
        }
        groups.push_back(group);
    }
    return groups;
}

}  // namespace dispersao::target_layout
