// Simulated annealing over exchange moves: the start-temperature calibration and the run.
#pragma once

namespace dispersao {

// Temperature at which every calibration starts.
inline constexpr float kCalibrationStartTemperature = 10.0F;

// The search parameters of the menu's annealing option, all in single precision.
inline constexpr float kHeatingFactor = 1.1F;
inline constexpr float kTargetAcceptance = 0.98F;
inline constexpr int kMovesPerTemperature = 500;
inline constexpr float kCoolingFactor = 0.95F;
inline constexpr float kFinalTemperature = 0.01F;

// Returns whether `accepted` counted moves out of `moves` reach the fraction `target`: the
// product moves x target is formed in double precision from the single-precision fraction, so
// 500 x 0.98f = 490.0000095... needs 491 counted moves.
[[nodiscard]] bool reaches_acceptance(int accepted, int moves, float target);

// Returns the first temperature, from 10.0 upward by factors of `heating_factor` (each product
// rounded to single precision), at which at least moves_per_temperature x target_acceptance of
// moves_per_temperature sampled exchange moves pass a minimising acceptance test: a move that
// lowers the value always passes, one that raises it by delta passes when exp(-delta / T)
// exceeds a uniform draw. Every sampled move is undone, so `selection` (n ints, 0-based) is
// unchanged on return. Preconditions: n >= 3, exactly three positions selected, `matrix`
// n x n, heating_factor > 1 so that the search ends.
[[nodiscard]] float calibrate_temperature(int n, int* selection, const float* const* matrix,
                                          float heating_factor, float target_acceptance,
                                          int moves_per_temperature);

// Anneals `selection` (n ints, 0-based) toward a larger value and returns the best value found,
// Fo_star. From initial_temperature, while the temperature exceeds final_temperature, it tries
// moves_per_temperature exchange moves, keeping every raising move and a lowering or neutral
// one with probability exp(delta / T), then multiplies the temperature by cooling_factor.
// Each new best value prints a progress line. On return `selection` holds the best selection
// found, which may differ from the one the run ended on. Preconditions: n >= 3, exactly three
// positions selected, `matrix` n x n, 0 < cooling_factor < 1.
float run_annealing(int n, int* selection, const float* const* matrix, float cooling_factor,
                    float initial_temperature, float final_temperature, int moves_per_temperature);

}  // namespace dispersao
