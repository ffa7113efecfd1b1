// Oler's packing count summed over the blocks of a grid, bisected for the spacing it rules out.
#include "dispersion/packing_bound.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace dispersao {

namespace {

// Bisection steps of the bound: the interval shrinks by 2^-48, below any printed digit.
constexpr int kSteps = 48;
// Relative slack added to each block's count before it is rounded down, for rounding errors.
constexpr double kCountSlack = 1e-9;

// The points of one block of cells: how many, and their bounding box.
struct Block {
    std::uint32_t count = 0;
    double low_x = 0;
    double high_x = 0;
    double low_y = 0;
    double high_y = 0;
};

// One partition of the points: blocks of `span` cells a side, `across` blocks to a row.
struct Level {
    double span = 0;  // working length of a block's side
    std::size_t across = 0;
    std::size_t down = 0;
    std::vector<Block> blocks;
};

// Adds a block (or point) to `into`.
void merge(Block& into, const Block& from) {
    if (from.count == 0) {
        return;
    }
    if (into.count == 0) {
        into = from;
        return;
    }
    into.count += from.count;
    into.low_x = std::min(into.low_x, from.low_x);
    into.high_x = std::max(into.high_x, from.high_x);
    into.low_y = std::min(into.low_y, from.low_y);
    into.high_y = std::max(into.high_y, from.high_y);
}

// Returns the partition with blocks of 2^shift cells a side, built from the points.
[[nodiscard]] Level from_points(const PointGrid& grid, unsigned shift) {
    Level level;
    level.span = std::ldexp(grid.cell_side(), static_cast<int>(shift));
    level.across = ((grid.cells_along(0) - 1) >> shift) + 1;
    level.down = ((grid.cells_along(1) - 1) >> shift) + 1;
    level.blocks.resize(level.across * level.down);
    for (std::size_t cy = 0; cy < grid.cells_along(1); ++cy) {
        for (std::size_t cx = 0; cx < grid.cells_along(0); ++cx) {
            const std::size_t c = grid.cell(cx, cy, 0);
            Block& block = level.blocks[(cy >> shift) * level.across + (cx >> shift)];
            for (std::size_t i = grid.first(c); i < grid.first(c + 1); ++i) {
                const double x = grid.at(i, 0);
                const double y = grid.at(i, 1);
                merge(block, Block{1, x, x, y, y});
            }
        }
    }
    return level;
}

// Returns the partition whose blocks are 2 x 2 blocks of `finer`.
[[nodiscard]] Level coarser(const Level& finer) {
    Level level;
    level.span = 2 * finer.span;
    level.across = (finer.across + 1) / 2;
    level.down = (finer.down + 1) / 2;
    level.blocks.resize(level.across * level.down);
    for (std::size_t by = 0; by < finer.down; ++by) {
        for (std::size_t bx = 0; bx < finer.across; ++bx) {
            merge(level.blocks[(by / 2) * level.across + bx / 2],
                  finer.blocks[by * finer.across + bx]);
        }
    }
    return level;
}

// Returns how many points pairwise at least `d` apart the blocks of `level` hold at most.
[[nodiscard]] double capacity(const Level& level, double d) {
    const double area_factor = 2.0 / (std::sqrt(3.0) * d * d);
    double total = 0;
    for (const Block& block : level.blocks) {
        if (block.count == 0) {
            continue;
        }
        const double width = block.high_x - block.low_x;
        const double height = block.high_y - block.low_y;
        const double oler = area_factor * width * height + (width + height) / d + 1.0;
        const double fits = std::floor(oler * (1.0 + kCountSlack) + kCountSlack);
        total += std::min(static_cast<double>(block.count), fits);
    }
    return total;
}

}  // namespace

double packing_bound(const PointGrid& grid, std::size_t p, double reached, double cap,
                     const std::function<bool()>& stop) {
    assert(p >= 2 && p <= grid.size() && reached >= 0 && reached <= cap);
    if (grid.dimensions() != 2 || !std::isfinite(cap)) {
        return cap;
    }
    // The finest blocks are about half the spacing reached a side: finer ones hold a point
    // each at best.
    unsigned shift = 0;
    while (std::ldexp(grid.cell_side(), static_cast<int>(shift) + 1) <= reached / 2 &&
           (grid.cells_along(0) >> shift) > 1 && (grid.cells_along(1) >> shift) > 1) {
        ++shift;
    }
    std::vector<Level> levels;
    levels.push_back(from_points(grid, shift));
    while (levels.back().across > 1 || levels.back().down > 1) {
        levels.push_back(coarser(levels.back()));
    }
    const auto too_few = [&](double d) {
        for (const Level& level : levels) {
            // Blocks much narrower than the spacing count a point each; they prove nothing.
            // The one block of all is always asked.
            const bool last = &level == &levels.back();
            if ((level.span * 4 >= d || last) && capacity(level, d) < static_cast<double>(p)) {
                return true;
            }
        }
        return false;
    };
    double low = reached;
    double high = cap;
    for (int step = 0; step < kSteps && high > low; ++step) {
        if (stop && stop()) {
            break;
        }
        const double middle = low + (high - low) / 2;
        if (middle <= 0 || middle <= low || middle >= high) {
            break;
        }
        if (too_few(middle)) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return high;
}

}  // namespace dispersao
