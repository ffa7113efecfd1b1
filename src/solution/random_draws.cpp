// A 64-bit Mersenne Twister behind the small and long draws.
#include "solution/random_draws.hpp"

#include <cassert>
#include <random>

namespace dispersao {

namespace {

// The process-wide generator; seeded at every load, so its initial state never matters.
std::mt19937_64& generator() {
    static std::mt19937_64 engine;
    return engine;
}

}  // namespace

void seed_generator(std::uint64_t seed) {
    generator().seed(seed);
}

std::int64_t draw_small() {
    return static_cast<std::int64_t>(generator()() >> 33);
}

std::int64_t draw_long() {
    return static_cast<std::int64_t>(generator()() >> 1);
}

int draw_index(int n) {
    assert(n >= 0);
    if (n == 0) {
        return 0;
    }
    return static_cast<int>(draw_long() % n);
}

double draw_real(float a, float b) {
    if (a == b) {
        return a;
    }
    const auto m = static_cast<double>(draw_small() % 10000);
    return m * 0.0001 * (static_cast<double>(b) - static_cast<double>(a)) + a;
}

}  // namespace dispersao
