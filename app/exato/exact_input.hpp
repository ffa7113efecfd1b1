// What dispersao-exato searches: the input its command line names, read, with its names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "exato/command_line.hpp"
#include "exato/report.hpp"
#include "instance/matrix_folder.hpp"
#include "matrix/matrix_file.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// The kinds of input the program searches.
enum class InputKind {
    menu_folder,  // a menu program instance: numcidades.txt and MatrizDistanciasteste.txt
    points,       // a point file, .tsp or .csv
    matrix,       // a distance matrix file, CSV or MDPLIB (--matriz)
};

// One input, read.
struct ExactInput {
    InputKind kind = InputKind::menu_folder;
    MatrixInstance folder;                  // menu_folder: the instance
    std::vector<std::string> folder_names;  // menu_folder: one per position ("" for none), or none
    PointSet points;                        // points: the set, with its rule and names
    DistanceMatrix matrix;                  // matrix: the distances, with the header's names
    std::vector<std::size_t> fixed;         // positions the answer must hold (--fixos)
};

// Why an input cannot be searched.
struct InputFault {
    // usage: the command line asks for what the input cannot give (status 2, with the usage),
    // and `message` is one line without its newline; otherwise a file cannot be used (status 1)
    // and `message` is one line ending in a newline.
    bool usage = false;
    std::string message;
};

// Reads the input `options` name (a matrix file, a folder, the working folder when none is
// named, or a point file by its extension) into `input`, with the names of a folder's positions,
// and checks that p and the other options suit it. Returns nothing when it can be searched,
// otherwise why not. Throws std::bad_alloc when the input cannot be held.
[[nodiscard]] std::optional<InputFault> load_exact_input(const ExactOptions& options,
                                                         ExactInput& input);

// True when every distance of `input` is a whole number.
[[nodiscard]] bool integer_values(const ExactInput& input);

// Returns the best selection of p points of `input` the limits allow.
// Precondition: load_exact_input accepted `input` for this p.
[[nodiscard]] DispersionResult solve_input(const ExactInput& input, int p,
                                           const SearchLimits& limits);

// Returns the answer the reports show for `result` on `input`; its `input` field is left empty.
[[nodiscard]] ExactAnswer answer_of(const ExactInput& input, int p, const DispersionResult& result,
                                    double seconds);

}  // namespace dispersao
