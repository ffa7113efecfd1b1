// The chosen points of a large selection, filed in a grid so that near ones are found fast.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dispersion/point_grid.hpp"

namespace dispersao {

// A selection of grid positions of a PointGrid (its slots 0..p-1 each hold one), filed in
// cells of a side given at construction, widened so that there are at most about 4 cells a
// slot. Memory: a few words a slot. Lengths are working lengths.
class SelectionGrid {
  public:
    static constexpr std::size_t kNobody = static_cast<std::size_t>(-1);

    // Files `chosen` (distinct grid positions of `grid`) in cells of about `side` a side.
    // Preconditions: chosen.size() >= 2, side > 0.
    SelectionGrid(const PointGrid& grid, const std::vector<std::size_t>& chosen, double side);

    [[nodiscard]] std::size_t size() const { return at_.size(); }
    // The grid position slot k holds.
    [[nodiscard]] std::size_t at(std::size_t k) const { return at_[k]; }
    [[nodiscard]] const std::vector<std::size_t>& positions() const { return at_; }

    // Returns the squared length from grid position x to the nearest slot other than `skip`
    // (kNobody for none) and names that slot in `who` (kNobody when none was met). Returns
    // early: as soon as a slot within sqrt(enough2) is met, with that slot's squared length;
    // and once every slot within sqrt(far2) is known, with a value >= far2 (the nearest met,
    // or infinity) when none is that near.
    [[nodiscard]] double nearest2(std::size_t x, std::size_t skip, double enough2, double far2,
                                  std::size_t& who) const;

    // Returns the squared length between the two closest slots.
    [[nodiscard]] double closest2() const;

    // Calls visit(j) for every slot j whose cell meets the box of half-side `radius` around
    // grid position x (a superset of the slots within `radius`).
    template <class Visit>
    void around(std::size_t x, double radius, const Visit& visit) const {
        std::array<std::size_t, 3> from{0, 0, 0};
        std::array<std::size_t, 3> to{0, 0, 0};
        for (std::size_t d = 0; d < dims_; ++d) {
            from[d] = slot(grid_.at(x, d) - radius, d);
            to[d] = slot(grid_.at(x, d) + radius, d);
        }
        for (std::size_t cz = from[2]; cz <= to[2]; ++cz) {
            for (std::size_t cy = from[1]; cy <= to[1]; ++cy) {
                for (std::size_t cx = from[0]; cx <= to[0]; ++cx) {
                    for (std::uint32_t j = head_[cell(cx, cy, cz)]; j != kEnd; j = next_[j]) {
                        visit(std::size_t{j});
                    }
                }
            }
        }
    }

    // Calls visit(k) for every slot k, cell by cell: slots near each other come one after
    // another, so that a pass over all of them reads the points nearly in order.
    template <class Visit>
    void each_by_cell(const Visit& visit) const {
        for (const std::uint32_t first : head_) {
            for (std::uint32_t k = first; k != kEnd; k = next_[k]) {
                visit(std::size_t{k});
            }
        }
    }

    // Moves slot k to grid position x. Precondition: x is held by no slot.
    void move(std::size_t k, std::size_t x);

  private:
    static constexpr std::uint32_t kEnd = static_cast<std::uint32_t>(-1);

    [[nodiscard]] std::size_t slot(double value, std::size_t d) const;
    [[nodiscard]] std::size_t cell(std::size_t cx, std::size_t cy, std::size_t cz) const {
        return (cz * count_[1] + cy) * count_[0] + cx;
    }
    [[nodiscard]] std::size_t cell_of(std::size_t x) const;
    void file(std::size_t k);
    void unfile(std::size_t k);

    const PointGrid& grid_;
    std::size_t dims_;
    double side_ = 1;
    std::array<std::size_t, 3> count_{1, 1, 1};
    std::vector<std::size_t> at_;      // grid position of each slot
    std::vector<std::uint32_t> head_;  // first slot of each cell
    std::vector<std::uint32_t> next_;  // next slot of the same cell
};

}  // namespace dispersao
