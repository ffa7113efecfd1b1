// Calibration of the annealing's start temperature.
#include <cassert>

#include "annealing/acceptance.hpp"
#include "annealing/annealing.hpp"
#include "annealing/tracked_selection.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"

namespace dispersao {

bool reaches_acceptance(int accepted, int moves, float target) {
    return accepted >= moves * static_cast<double>(target);
}

float calibrate_temperature(int n, int* selection, const float* const* matrix, float heating_factor,
                            float target_acceptance, int moves_per_temperature) {
    assert(n >= 3 && count_selected(selection, n) == kSelectedCount);
    assert(heating_factor > 1.0F);
    TrackedSelection tracked(n, selection, matrix);
    // Every sampled move is undone, so the value before each move is always this one.
    const float before = tracked.value();
    float temperature = kCalibrationStartTemperature;
    for (;;) {
        int accepted = 0;
        for (int move_count = 0; move_count < moves_per_temperature; ++move_count) {
            const ExchangeMove move = draw_exchange_move(n);
            tracked.exchange(move);
            const float after = tracked.value();
            const float delta = after - before;
            if (delta < 0.0F) {
                ++accepted;
            } else {
                const auto u = static_cast<float>(draw_real(0.0F, 1.0F));
                if (passes_when_minimising(delta, temperature, u)) {
                    ++accepted;
                }
            }
            tracked.exchange(move);
        }
        if (reaches_acceptance(accepted, moves_per_temperature, target_acceptance)) {
            return temperature;
        }
        temperature *= heating_factor;
    }
}

}  // namespace dispersao
