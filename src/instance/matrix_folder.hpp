// Loading a menu program instance (its two files) from a folder, for dispersao-exato's options.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dispersao {

// A menu program instance: n positions and their n x n distance matrix.
struct MatrixInstance {
    int n = 0;
    std::vector<float> cells;  // n * n floats, row-major: cell [i][j] at i * n + j, 0-based
    std::vector<float*> rows;  // n pointers, rows[i] == &cells[i * n]

    [[nodiscard]] const float* const* matrix() const { return rows.data(); }
};

// Reads numcidades.txt and MatrizDistanciasteste.txt from `folder` (their bare names when
// `folder` is empty) into `instance`, as the menu program reads them: n = count + 1 positions,
// cells the file leaves out are 0. Returns nothing on success, otherwise the one-line message
// (ending in a newline) that names the file and what is wrong. Never reads standard input.
// Throws std::bad_alloc when the matrix cannot be allocated.
[[nodiscard]] std::optional<std::string> load_matrix_folder(const std::string& folder,
                                                            MatrixInstance& instance);

}  // namespace dispersao
