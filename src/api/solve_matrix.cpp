// The public entries for distance matrices: check the cells, solve on them in place.
#include <chrono>
#include <stdexcept>
#include <string>

#include "api/bridge.hpp"
#include "api/input_checks.hpp"
#include "dispersao/dispersao.hpp"
#include "dispersion/fixed_sites.hpp"
#include "dispersion/matrix_view.hpp"

namespace dispersao {

SolveResult solve_matrix(const double* cells, std::size_t n, std::size_t row_stride, int p,
                         const SolveOptions& options) {
    const auto started = std::chrono::steady_clock::now();
    check_request(n, p, options);
    check_matrix(cells, n, row_stride);
    const MatrixView matrix{n, cells, row_stride};
    return result_of(solve_distance_matrix_fixed(matrix, p, options.fixed, limits_of(options)),
                     started);
}

SolveResult solve_matrix(std::span<const double> cells, std::size_t n, int p,
                         const SolveOptions& options) {
    const bool square = n == 0 ? cells.empty() : cells.size() % n == 0 && cells.size() / n == n;
    if (!square) {
        throw std::invalid_argument("the matrix holds " + std::to_string(cells.size()) +
                                    " cells, not n * n = " + std::to_string(n) + " * " +
                                    std::to_string(n));
    }
    return solve_matrix(cells.data(), n, n, p, options);
}

}  // namespace dispersao
