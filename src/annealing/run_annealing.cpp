// The annealing run: geometric cooling over exchange moves, maximising the selection's value.
#include <cassert>
#include <cstdio>

#include "annealing/acceptance.hpp"
#include "annealing/annealing.hpp"
#include "annealing/tracked_selection.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"

namespace dispersao {

float run_annealing(int n, int* selection, const float* const* matrix, float cooling_factor,
                    float initial_temperature, float final_temperature, int moves_per_temperature) {
    assert(n >= 3 && count_selected(selection, n) == kSelectedCount);
    assert(cooling_factor > 0.0F && cooling_factor < 1.0F);
    // The best selection found; fo_star is its value. Both change only on a strictly better
    // value, so fo_star never decreases while the current value may.
    int* best = alloc_vector(n);
    copy_vector(best, selection, n);
    float temperature = initial_temperature;
    TrackedSelection tracked(n, selection, matrix);
    // `current` is the value of the selection as it stands, taken afresh after every kept move
    // rather than summed from the differences: a difference of two values far beyond 2^24 is
    // rounded in single precision, and a sum of rounded differences would drift away from
    // every value a selection has. Where the differences are exact both ways agree.
    float current = tracked.value();
    float fo_star = current;

    while (temperature > final_temperature) {
        for (int move_count = 0; move_count < moves_per_temperature; ++move_count) {
            const ExchangeMove move = draw_exchange_move(n);
            const float before = tracked.value();
            tracked.exchange(move);
            const float after = tracked.value();
            const float delta = after - before;
            if (delta > 0.0F) {
                current = after;
                if (current > fo_star) {
                    fo_star = current;
                    copy_vector(best, selection, n);
                    std::printf("Fo_star = %8.2f \t Temperatura = %8.2f \n",
                                static_cast<double>(fo_star), static_cast<double>(temperature));
                }
            } else {
                const auto u = static_cast<float>(draw_real(0.0F, 1.0F));
                if (passes_when_maximising(delta, temperature, u)) {
                    current = after;
                } else {
                    tracked.exchange(move);
                }
            }
        }
        temperature *= cooling_factor;
    }

    copy_vector(selection, best, n);
    free_vector(best);
    return fo_star;
}

}  // namespace dispersao
