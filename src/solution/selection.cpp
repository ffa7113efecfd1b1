// The objective, the random start and the exchange move.
#include "solution/selection.hpp"

#include <cassert>
#include <utility>

#include "solution/random_draws.hpp"
#include "storage/storage.hpp"

namespace dispersao {

float evaluate_solution(int n, const int* selection, const float* const* matrix) {
    // Selected positions in ascending order.
    int* selected = alloc_vector(kSelectedCount);
    find_selected_positions(n, selection, selected);
    const float value = value_of_positions(selected, matrix);
    free_vector(selected);
    return value;
}

void find_selected_positions(int n, const int* selection, int* positions) {
    int found = 0;
    for (int position = 0; position < n; ++position) {
        if (selection[position] == 1) {
            assert(found < kSelectedCount);
            positions[found++] = position;
        }
    }
    assert(found == kSelectedCount);
}

float value_of_positions(const int* positions, const float* const* matrix) {
    assert(positions[0] < positions[1] && positions[1] < positions[2]);
    float value = kValueCap;
    constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& pair : kPairs) {
        const float cell = matrix[positions[pair[0]]][positions[pair[1]]];
        if (value > cell) {
            // Cells hold 32-bit integers and this one is below 100, so its truncation fits.
            value = static_cast<float>(static_cast<int>(cell));
        }
    }
    return value;
}

void build_random_solution(int* selection, int n) {
    assert(n >= 0);
    int ones = 0;
    for (int position = 0; position < n; ++position) {
        const int bit = draw_index(2);
        ones += bit;
        if (ones <= kSelectedCount) {
            selection[position] = bit;
        }
    }
}

void build_random_start(int* selection, int n) {
    assert(n >= kSelectedCount);
    build_random_solution(selection, n);
    while (count_selected(selection, n) != kSelectedCount) {
        zero_vector(selection, n);
        build_random_solution(selection, n);
    }
}

int count_selected(const int* selection, int n) {
    int count = 0;
    for (int position = 0; position < n; ++position) {
        count += selection[position] == 1 ? 1 : 0;
    }
    return count;
}

ExchangeMove draw_exchange_move(int n) {
    assert(n >= 2);
    const int i = draw_index(n);
    int j = draw_index(n);
    while (j == i) {
        j = draw_index(n);
    }
    return {i, j};
}

void apply_exchange(int* selection, ExchangeMove move) {
    std::swap(selection[move.i], selection[move.j]);
}

}  // namespace dispersao
