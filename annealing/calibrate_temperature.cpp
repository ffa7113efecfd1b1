// Calibration of the annealing's start temperature.
#include <cassert>
#include <cmath>

#include "annealing/annealing.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"

bool reaches_acceptance(int accepted, int moves, float target) {
    return accepted >= moves * static_cast<double>(target);
}

float calibrate_temperature(int n, int* selection, const float* const* matrix, float heating_factor,
                            float target_acceptance, int moves_per_temperature) {
    assert(n >= 3 && count_selected(selection, n) == kSelectedCount);
    assert(heating_factor > 1.0F);
    float temperature = kCalibrationStartTemperature;
    for (;;) {
        int accepted = 0;
        for (int move_count = 0; move_count < moves_per_temperature; ++move_count) {
            const ExchangeMove move = draw_exchange_move(n);
            const float before = evaluate_solution(n, selection, matrix);
            apply_exchange(selection, move);
            const float after = evaluate_solution(n, selection, matrix);
            const float delta = after - before;
            if (delta < 0.0F) {
                ++accepted;
            } else {
                const auto u = static_cast<float>(draw_real(0.0F, 1.0F));
                if (std::exp(-static_cast<double>(delta) / temperature) > u) {
                    ++accepted;
                }
            }
            apply_exchange(selection, move);
        }
        if (reaches_acceptance(accepted, moves_per_temperature, target_acceptance)) {
            return temperature;
        }
        temperature *= heating_factor;
    }
}
