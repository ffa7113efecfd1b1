// A selection vector together with its three selected positions, so that the value before and
// after an exchange move comes from three matrix cells instead of a scan of all n entries.
//
// Used by the calibration and the annealing run only; both take the same draws and make the same
// decisions as a search that evaluates the whole vector around every move, because the value
// read here is the one evaluate_solution would return for the vector as it stands.
#pragma once

#include <utility>

#include "solution/selection.hpp"

namespace dispersao {

class TrackedSelection {
  public:
    // Takes over `selection` (n ints, 0-based) for the length of one search, finding its
    // selected positions once. Preconditions: exactly three entries equal 1, `matrix` n x n;
    // both outlive this object.
    TrackedSelection(int n, int* selection, const float* const* matrix)
        : selection_(selection), matrix_(matrix) {
        find_selected_positions(n, selection, positions_);
        value_ = value_of_positions(positions_, matrix_);
    }

    // Value of the selection as it stands, equal to evaluate_solution on the vector.
    [[nodiscard]] float value() const { return value_; }

    // Swaps entries move.i and move.j of the vector and brings the positions and the value up to
    // date; applying the same move again undoes it. An exchange of two entries that are both
    // selected or both not selected leaves the positions and the value as they were.
    void exchange(ExchangeMove move) {
        const bool i_selected = selection_[move.i] == 1;
        const bool j_selected = selection_[move.j] == 1;
        apply_exchange(selection_, move);
        if (i_selected == j_selected) {
            return;
        }
        const int leaving = i_selected ? move.i : move.j;
        const int arriving = i_selected ? move.j : move.i;
        int slot = 0;
        while (positions_[slot] != leaving) {
            ++slot;
        }
        positions_[slot] = arriving;
        // One entry changed, so one pass of neighbour swaps in its direction restores the order.
        while (slot > 0 && positions_[slot - 1] > positions_[slot]) {
            std::swap(positions_[slot - 1], positions_[slot]);
            --slot;
        }
        while (slot < kSelectedCount - 1 && positions_[slot] > positions_[slot + 1]) {
            std::swap(positions_[slot], positions_[slot + 1]);
            ++slot;
        }
        value_ = value_of_positions(positions_, matrix_);
    }

  private:
    int* selection_;
    const float* const* matrix_;
    int positions_[kSelectedCount] = {0, 0, 0};
    float value_ = 0.0F;
};

}  // namespace dispersao
