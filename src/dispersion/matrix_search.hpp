// The exact search over a distance matrix, for any p: one engine for the menu program's
// instances and for real distance matrices, which differ only in how a cell becomes a distance.
#pragma once

#include <cassert>
#include <cstddef>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_view.hpp"
#include "solution/selection.hpp"

namespace dispersao {

// The menu program's objective over its row table: the distance of positions a < b is cell
// [a][b] truncated toward zero and capped at 100 (capped_level), a whole number.
struct MenuObjective {
    std::size_t n = 0;
    const float* const* rows = nullptr;  // n row pointers to n floats, 0-based

    // Returns the distance between positions a and b, read from the upper triangle.
    // Preconditions: a != b, both below n.
    [[nodiscard]] double at(std::size_t a, std::size_t b) const {
        assert(a != b && a < n && b < n);
        return static_cast<double>(a < b ? capped_level(rows[a][b]) : capped_level(rows[b][a]));
    }
};

// Returns p positions of `distances` (MenuObjective or MatrixView: n, and at(a, b) for a != b)
// whose smallest pairwise distance is as large as possible, proven unless the limits stop it
// first. Among optimal selections it returns the one its pairs complete first: pairs taken in
// falling order of distance, ties by (a, b) ascending with a < b, the first pair that completes
// p positions whose pairs have all been taken, its other p - 2 positions the lexicographically
// smallest that do. At p = 3 that is the triple of find_exact_optimum (triple_search.hpp). A
// search stopped after its proof but before that choice returns another optimal selection.
// Memory beyond the matrix: one bitset graph of n^2 / 8 bytes and O(n p) words of scratch.
// Preconditions: 2 <= p <= n; every distance finite or (menu cells) a float the cap reads.
template <typename Distances>
[[nodiscard]] DispersionResult search_matrix(const Distances& distances, int p,
                                             const SearchLimits& limits);

extern template DispersionResult search_matrix(const MenuObjective&, int, const SearchLimits&);
extern template DispersionResult search_matrix(const MatrixView&, int, const SearchLimits&);

}  // namespace dispersao
