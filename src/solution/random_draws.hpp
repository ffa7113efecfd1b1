// The program's one pseudo-random generator and the two draws taken from it.
//
// Every random bit, exchange position and acceptance number comes from this generator, which
// the driver seeds from the calendar time at every load. Tests seed it directly to replay a run.
#pragma once

#include <cstdint>

namespace dispersao {

// Restarts the generator from `seed`; the same seed gives the same sequence of draws.
void seed_generator(std::uint64_t seed);

// Returns the next small draw, a non-negative integer below 2^31.
[[nodiscard]] std::int64_t draw_small();

// Returns the next long draw, a non-negative integer below 2^63.
[[nodiscard]] std::int64_t draw_long();

// Returns 0 without drawing when n is 0, otherwise the long draw modulo n, in 0..n-1.
// Precondition: n >= 0.
[[nodiscard]] int draw_index(int n);

// Returns a without drawing when a equals b, otherwise a + (small draw modulo 10000) x 0.0001 x
// (b - a) in double precision: one of 10,000 evenly spaced values from a up to, but never
// reaching, b.
[[nodiscard]] double draw_real(float a, float b);

}  // namespace dispersao
