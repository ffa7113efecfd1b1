// The checks the public entry points make of their caller's input before any search starts.
#pragma once

#include <cstddef>

#include "dispersao/dispersao.hpp"

namespace dispersao {

// Throws std::invalid_argument unless 2 <= p <= n and `options` suits n sites and p: a time
// limit >= 0 (not NaN), threads from 0 to kMaxThreads, fixed ids distinct, below n and at most p
// of them.
void check_request(std::size_t n, int p, const SolveOptions& options);

// Throws std::invalid_argument unless `metric` is one of Metric's values, every coordinate of
// `points` is finite (and, for haversine and geo, every latitude lies within [-90, 90]) and the
// view's pointers are set where n > 0.
void check_points(const PointsView& points, Metric metric);

// Throws std::invalid_argument unless the n x n matrix at `cells` (rows row_stride apart) has
// finite, non-negative, symmetric cells off its diagonal, row_stride >= n and cells set where
// n > 0.
void check_matrix(const double* cells, std::size_t n, std::size_t row_stride);

}  // namespace dispersao
