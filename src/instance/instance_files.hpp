// Readers of the two instance files: the city count and the distance triples.
//
// File numbering maps straight onto positions: the driver sizes the instance with N = count + 1
// positions 0..N-1, so a file that numbers its cities 1..count leaves position 0 without
// distances and one that numbers them 0..count-1 leaves position count without distances.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "instance/integer_scanner.hpp"

namespace dispersao {

inline constexpr const char* kCityCountFile = "numcidades.txt";
inline constexpr const char* kDistanceFile = "MatrizDistanciasteste.txt";

// How reading the city count went.
enum class CountStatus {
    read,         // `value` holds the first integer of the file
    cannot_open,  // the file could not be opened
    no_integer,   // the file does not start with an integer
};

struct CityCount {
    CountStatus status;
    // The count as written; one beyond the 64-bit range is clamped to its nearest end.
    std::int64_t value;
    // The count's text as written, shortened and made printable, for messages that quote it.
    std::string text;
};

// Returns the first integer of the text, read as "%d" reads it (leading white space skipped,
// anything after the integer ignored), or `no_integer`.
[[nodiscard]] CityCount parse_city_count(ByteSource source);

// What a count reader that fails does with standard input.
enum class AfterMissingCount {
    skip_menu_newline,  // takes one character: the newline the menu's read left behind
    read_nothing,       // reads nothing, for a program without a menu
};

// Reads the city count from the file at `path`. When the file cannot be opened or read (a
// folder under that name, say) it prints "O arquivo <path> nao pode ser aberto. \n", reads and
// discards one character of standard input unless told not to, and returns `cannot_open`; when
// the file holds no integer at its start it prints why and returns `no_integer`. Running out of
// memory while opening it ends the process through fail_out_of_memory.
CityCount read_city_count(const char* path,
                          AfterMissingCount after_missing = AfterMissingCount::skip_menu_newline);

// True when an instance of `count` cities can be held: N = count + 1 fits in 32 bits and the
// N x N matrix of floats, its row table and the selection vector fit in the memory this process
// can count on (the available memory, or its control group's limit when lower).
[[nodiscard]] bool instance_fits(std::int64_t count);

// True when `bytes` more can be held: they fit in the memory this process can count on (the
// available memory, or its control group's limit when lower), or that cannot be told.
[[nodiscard]] bool bytes_fit_in_memory(double bytes);

// Why a distance text was rejected.
enum class DistanceProblem {
    not_integer,         // a token that is not an integer
    out_of_range,        // an integer outside the 32-bit range
    position_out_range,  // a row or column outside 0..n-1
    incomplete_triple,   // the text ends one or two integers into a triple
};

struct DistanceError {
    DistanceProblem problem;
    long line;         // 1-based line of the offending token
    std::string text;  // the offending token, shortened and made printable
};

// Stores every triple (row, column, distance) of the text into cell [row][column] of `matrix`
// (n row pointers, each to n floats, 0-based positions), later triples replacing earlier ones
// and no other cell touched. Stops at the first malformed token and returns what was wrong;
// no cell outside the n x n matrix is ever written. The text is pulled in blocks of
// `block_size` bytes, which changes nothing but the memory used. Precondition: n >= 0,
// block_size > 0.
[[nodiscard]] std::optional<DistanceError> parse_distance_triples(
    ByteSource source, float* const* matrix, int n, std::size_t block_size = std::size_t{1} << 20);

// The one-line message that reports `error` in the file at `path`, ending in a newline.
[[nodiscard]] std::string describe_distance_error(const DistanceError& error, const char* path,
                                                  int n);

// Reads the distance file at `path` into `matrix` (n x n, 0-based, cleared by the caller).
// Returns true when the whole file was read; on a malformed file prints one line naming the
// file, the line and the offending text and returns false, leaving the matrix half-filled for
// the caller to release. A file that cannot be opened is fatal: the routine prints
// "O Arquivo <path> nao pode ser aberto.\n" and ends the process with status 1.
[[nodiscard]] bool read_distance_matrix(const char* path, float* const* matrix, int n);

}  // namespace dispersao
