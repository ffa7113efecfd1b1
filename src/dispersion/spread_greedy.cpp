// Farthest-point greedy: each point's squared distance to the nearest pick, the largest of
// each cell, and a tournament over the cells that names the farthest point at once.
#include "dispersion/spread_greedy.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

namespace dispersao {

namespace {

// The greedy's state: nearest-pick distances, per-cell maxima and their tournament.
class Greedy {
  public:
    explicit Greedy(const PointGrid& grid)
        : grid_(grid),
          far_(grid.size(), std::numeric_limits<double>::infinity()),
          cell_far_(grid.cells(), -1.0),
          cell_arg_(grid.cells(), 0) {
        leaves_ = std::bit_ceil(grid.cells());
        tree_.assign(2 * leaves_, kNone);
        for (std::size_t c = 0; c < grid.cells(); ++c) {
            if (grid.first(c) < grid.first(c + 1)) {
                cell_far_[c] = std::numeric_limits<double>::infinity();
                cell_arg_[c] = static_cast<std::uint32_t>(grid.first(c));
                tree_[leaves_ + c] = static_cast<std::uint32_t>(c);
            }
        }
        for (std::size_t node = leaves_ - 1; node >= 1; --node) {
            tree_[node] = better(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

    // Returns the grid position of the farthest unpicked point and its squared distance to
    // the picks (infinity before the first pick, -1 when every point is picked).
    [[nodiscard]] std::pair<std::size_t, double> farthest() const {
        const std::uint32_t c = tree_[1];
        if (c == kNone) {
            return {0, -1.0};
        }
        return {cell_arg_[c], cell_far_[c]};
    }

    // Picks grid position i and updates every point it is now the nearest pick of.
    void pick(std::size_t i) {
        const double reach = farthest().second;
        far_[i] = -1;
        const auto dims = static_cast<std::size_t>(grid_.dimensions());
        std::array<std::size_t, 3> from{0, 0, 0};
        std::array<std::size_t, 3> to{0, 0, 0};
        const double radius = std::sqrt(reach);
        for (std::size_t d = 0; d < dims; ++d) {
            const double at = grid_.at(i, d);
            from[d] = std::isfinite(radius) ? grid_.slot(at - radius, d) : 0;
            to[d] = std::isfinite(radius) ? grid_.slot(at + radius, d) : grid_.cells_along(d) - 1;
        }
        for (std::size_t cz = from[2]; cz <= to[2]; ++cz) {
            for (std::size_t cy = from[1]; cy <= to[1]; ++cy) {
                for (std::size_t cx = from[0]; cx <= to[0]; ++cx) {
                    const std::size_t c = grid_.cell(cx, cy, cz);
                    const bool own = i >= grid_.first(c) && i < grid_.first(c + 1);
                    if (own || cell_far_[c] > grid_.length2_to_cell(i, cx, cy, cz)) {
                        update_cell(c, i);
                    }
                }
            }
        }
    }

  private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    // Returns the cell of a and b with the farther point (a on ties); kNone loses.
    [[nodiscard]] std::uint32_t better(std::uint32_t a, std::uint32_t b) const {
        if (a == kNone) {
            return b;
        }
        if (b == kNone) {
            return a;
        }
        return cell_far_[b] > cell_far_[a] ? b : a;
    }

    // Lowers the distances of cell c's points to pick i, then its maximum and the tournament.
    void update_cell(std::size_t c, std::size_t i) {
        double best = -1;
        std::size_t arg = grid_.first(c);
        for (std::size_t j = grid_.first(c); j < grid_.first(c + 1); ++j) {
            if (far_[j] >= 0) {
                far_[j] = std::min(far_[j], grid_.length2(i, j));
                if (far_[j] > best) {
                    best = far_[j];
                    arg = j;
                }
            }
        }
        cell_far_[c] = best;
        cell_arg_[c] = static_cast<std::uint32_t>(arg);
        std::size_t node = leaves_ + c;
        tree_[node] = best >= 0 ? static_cast<std::uint32_t>(c) : kNone;
        for (node /= 2; node >= 1; node /= 2) {
            tree_[node] = better(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

    const PointGrid& grid_;
    std::vector<double> far_;              // squared distance to the nearest pick; -1 once picked
    std::vector<double> cell_far_;         // largest far_ of a cell; -1 when none is left
    std::vector<std::uint32_t> cell_arg_;  // the grid position holding it
    std::size_t leaves_ = 1;
    std::vector<std::uint32_t> tree_;  // tree_[node]: the cell of the farthest point below node
};

// Returns the grid position farthest from the centroid of all the points (the lowest on ties).
[[nodiscard]] std::size_t farthest_from_centroid(const PointGrid& grid) {
    const auto dims = static_cast<std::size_t>(grid.dimensions());
    std::array<double, 3> centre{};
    for (std::size_t d = 0; d < dims; ++d) {
        for (std::size_t i = 0; i < grid.size(); ++i) {
            centre[d] += grid.at(i, d);
        }
        centre[d] /= static_cast<double>(grid.size());
    }
    std::size_t best = 0;
    double far = -1;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        double sum = 0;
        for (std::size_t d = 0; d < dims; ++d) {
            const double gap = grid.at(i, d) - centre[d];
            sum += gap * gap;
        }
        if (sum > far) {
            far = sum;
            best = i;
        }
    }
    return best;
}

}  // namespace

GreedyPicks farthest_point_greedy(const PointGrid& grid, std::size_t p,
                                  const std::function<bool()>& stop) {
    assert(p >= 1 && p <= grid.size());
    Greedy greedy(grid);
    GreedyPicks picks;
    picks.chosen.reserve(p);
    picks.cover2 = std::numeric_limits<double>::infinity();
    std::size_t next = farthest_from_centroid(grid);
    double next2 = std::numeric_limits<double>::infinity();
    while (picks.chosen.size() < p) {
        if (stop && stop()) {
            return picks;
        }
        greedy.pick(next);
        picks.chosen.push_back(next);
        if (picks.chosen.size() >= 2) {
            picks.value2 = next2;
        }
        const auto [far, distance2] = greedy.farthest();
        if (picks.chosen.size() < p) {
            picks.cover2 = distance2;
        }
        next = far;
        next2 = distance2;
    }
    picks.complete = true;
    return picks;
}

}  // namespace dispersao
