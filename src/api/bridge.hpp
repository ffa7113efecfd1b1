// What the public entry points hand to the engines and take back from them.
#pragma once

#include <chrono>
#include <utility>

#include "dispersao/dispersao.hpp"
#include "dispersion/dispersion.hpp"

namespace dispersao {

// Returns the engine's limits for `options`.
[[nodiscard]] inline SearchLimits limits_of(const SolveOptions& options) {
    SearchLimits limits;
    limits.seconds = options.time_limit;
    limits.interrupted = options.cancel;
    limits.on_progress = options.on_progress;
    limits.threads = options.threads;
    return limits;
}

// Returns the public result of an engine's answer that took the time since `started`.
[[nodiscard]] inline SolveResult result_of(DispersionResult found,
                                           std::chrono::steady_clock::time_point started) {
    SolveResult result;
    result.ids = std::move(found.chosen);
    result.value = found.value;
    result.upper_bound = found.upper_bound;
    result.proven = found.proven;
    result.cancelled = found.interrupted;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

}  // namespace dispersao
