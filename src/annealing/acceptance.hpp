// The acceptance test of a move that makes the selection worse, in both senses the annealing
// uses: the calibration samples moves as if minimising the value, the run maximises it.
//
// Both pass a worsening move of size |delta| at temperature T when exp(-|delta| / T) exceeds a
// uniform draw u; they differ only in which sign of delta is worse. The exponent is taken in
// double precision from the single-precision delta, temperature and draw. The caller draws u
// only for a worsening or neutral move, so a better move takes no draw.
#pragma once

#include <cassert>
#include <cmath>

namespace dispersao {

// Minimising sense (the calibration): returns whether a move that raises the value by delta
// (delta >= 0) passes, that is exp(-delta / T) > u. Precondition: delta >= 0.
[[nodiscard]] inline bool passes_when_minimising(float delta, float temperature, float u) {
    assert(delta >= 0.0F);
    return std::exp(-static_cast<double>(delta) / temperature) > u;
}

// Maximising sense (the run): returns whether a move that lowers the value by -delta
// (delta <= 0) passes, that is exp(delta / T) > u. Precondition: delta <= 0.
[[nodiscard]] inline bool passes_when_maximising(float delta, float temperature, float u) {
    assert(delta <= 0.0F);
    return std::exp(static_cast<double>(delta) / temperature) > u;
}

}  // namespace dispersao
