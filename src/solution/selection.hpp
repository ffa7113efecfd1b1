// Selections of three positions, their value, the random start and the exchange move.
//
// A selection is a vector of N ints, one per position, 1 where the city is selected and 0
// elsewhere; the search keeps exactly three entries at 1. Its value is the smallest distance
// between two selected positions, truncated toward zero and capped at 100, read only from
// cells [p][q] with p < q.
#pragma once

#include <cstdint>

namespace dispersao {

// Number of positions a selection holds.
inline constexpr int kSelectedCount = 3;

// Largest value a selection can have: distances of this much or more count as this much.
inline constexpr float kValueCap = 100.0F;

// Returns a cell's value as the objective counts it when it compares whole levels: truncated
// toward zero and capped at 100. A NaN cell never lowers a minimum, so it counts as the cap;
// values far below any 32-bit distance are clamped so that the conversion stays defined.
[[nodiscard]] inline std::int64_t capped_level(float cell) {
    if (!(cell < kValueCap)) {
        return static_cast<std::int64_t>(kValueCap);
    }
    constexpr float kFloor = -1.0e18F;
    return cell < kFloor ? static_cast<std::int64_t>(kFloor) : static_cast<std::int64_t>(cell);
}

// Returns min(100, trunc(D[p1][p2]), trunc(D[p1][p3]), trunc(D[p2][p3])) for the selected
// positions p1 < p2 < p3 of `selection` (n ints, 0-based) in `matrix` (n row pointers to n
// floats). Precondition: exactly three entries of the selection equal 1.
[[nodiscard]] float evaluate_solution(int n, const int* selection, const float* const* matrix);

// Writes the selected positions of `selection` (n ints, 0-based) into `positions` (3 ints), in
// ascending order. Precondition: exactly three entries of the selection equal 1.
void find_selected_positions(int n, const int* selection, int* positions);

// Returns the value of the selection of `positions` (3 ints, ascending, 0-based) in `matrix`,
// comparing the pairs (first, second), (first, third), (second, third) in that order, as
// evaluate_solution does once it has found its three positions.
[[nodiscard]] float value_of_positions(const int* positions, const float* const* matrix);

// Writes into `selection` (n ints, all 0 on entry) the positions of the first three 1-bits of
// n random bits, drawing a bit for every position even after the third 1. Fewer than three
// positions are selected when fewer than three 1-bits come up.
void build_random_solution(int* selection, int n);

// Fills `selection` (n ints, all 0 on entry) with a random start of exactly three positions:
// a draw of build_random_solution that selects fewer is cleared and drawn again.
// Precondition: n >= 3, so that three 1-bits can come up.
void build_random_start(int* selection, int n);

// Returns how many entries of `selection` (n ints) equal 1.
[[nodiscard]] int count_selected(const int* selection, int n);

// Two distinct positions whose entries an exchange move swaps.
struct ExchangeMove {
    int i;
    int j;
};

// Draws an exchange move: i = draw_index(n), then j = draw_index(n) until j differs from i.
// Precondition: n >= 2, or the second draw would never end.
[[nodiscard]] ExchangeMove draw_exchange_move(int n);

// Swaps entries move.i and move.j of `selection`; applying the same move again undoes it.
void apply_exchange(int* selection, ExchangeMove move);

}  // namespace dispersao
