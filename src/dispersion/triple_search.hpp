// Exact search for the best selection of three positions.
#pragma once

#include <functional>
#include <optional>

#include "solution/selection.hpp"

namespace dispersao {

// The best value a selection of three positions can reach and one selection that reaches it.
struct ExactOptimum {
    float value;  // the objective value of the selection, a whole number no greater than 100
    int positions[kSelectedCount];  // the selected positions, in ascending order, 0-based
};

// Returns the largest value t such that three positions p < q < r have all of trunc(D[p][q]),
// trunc(D[p][r]) and trunc(D[q][r]), each capped at 100, at least t, with one such triple:
// the value evaluate_solution gives the best selection. Pairs are taken in falling order of
// their capped value, ties by (p, q), and the first pair that closes a triangle with pairs
// taken before it gives the triple, its third position the smallest that closes it; the answer
// is thus the same on every run. Reads only cells [p][q] with p < q of `matrix` (n row pointers,
// each to n floats, 0-based). Precondition: n >= 3.
[[nodiscard]] ExactOptimum find_exact_optimum(int n, const float* const* matrix);

// What a triangle search that may be stopped ends with: the optimum, or (when `should_stop`
// said so first) nothing but a bound no triple beats, a whole number no greater than 100.
struct StoppableOptimum {
    std::optional<ExactOptimum> optimum;
    float upper = static_cast<float>(kValueCap);
};

// Returns find_exact_optimum's answer, unless `should_stop` returns true first: it is asked
// once per row of the scans and once per 4,096 pairs taken, so that the search answers a
// time limit or an interrupt within a few milliseconds at any n. Precondition: n >= 3.
[[nodiscard]] StoppableOptimum find_exact_optimum(int n, const float* const* matrix,
                                                  const std::function<bool()>& should_stop);

}  // namespace dispersao
