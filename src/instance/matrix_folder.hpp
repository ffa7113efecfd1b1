// Loading a menu program instance (its two files): from the working folder as the menu program
// does, or from any folder for dispersao-exato's options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "instance/instance_files.hpp"

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

// Loads the instance of the working folder as the menu program does, into n, selection (n ints,
// all 0) and matrix (n row pointers from alloc_matrix, cells the file leaves out 0). Returns
// true with an instance of at least three positions; returns false, with nothing allocated and
// the menu program's message already printed on standard output, when the files describe no
// usable instance. Ends the process with status 1, after that message, when the distance file
// cannot be opened or the matrix cannot fit in memory. A missing count file takes the rest of
// the menu's line from standard input unless `after_missing` says otherwise.
[[nodiscard]] bool load_menu_instance(int& n, int*& selection, float**& matrix,
                                      AfterMissingCount after_missing);

// Releases what load_menu_instance allocated: the selection vector, then the matrix.
void release_menu_instance(int n, int* selection, float** matrix);

}  // namespace dispersao
