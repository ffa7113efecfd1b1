// A search of dispersao-exato as the user watches it: its time limit, Ctrl-C and progress line.
#pragma once

#include <functional>

#include "dispersion/dispersion.hpp"

namespace dispersao {

// Runs `search` with a time limit of `seconds_limit` wall-clock seconds (infinity for none),
// the first Ctrl-C stopping it (a second one ends the program) and, on a terminal, the line of
// its bounds on standard error, shown as whole numbers when `integer_values`. Returns its
// result and stores in `seconds` the wall-clock seconds it took.
[[nodiscard]] DispersionResult run_search(
    double seconds_limit, bool integer_values, double& seconds,
    const std::function<DispersionResult(const SearchLimits&)>& search);

}  // namespace dispersao
