// The console front end: the main menu, loading of the instance and the two options.
//
// The driver in main owns the instance: its position count n, its selection vector (n ints,
// 0-based) and its distance matrix (n row pointers, each to n floats). It holds one from the
// choice 1 that loads it until the next choice 1 or the end; everything here borrows it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "instance/instance_files.hpp"

namespace dispersao {

// What one read of a menu choice found.
enum class MenuInputKind {
    integer,      // `value` holds the integer, clamped to +-10^18
    not_integer,  // something else; the rest of its line has been discarded
    end,          // the input has ended
};

struct MenuInput {
    MenuInputKind kind;
    std::int64_t value;
};

// Reads one integer from `in` as "%d" would, leaving the character after it unread; on input
// that is not an integer it discards the rest of that line.
[[nodiscard]] MenuInput read_menu_input(std::FILE* in);

// Prints the main menu and reads choices from standard input until one in 0..2 comes, showing
// the whole menu again after anything else. Returns that choice, or 0 once the input has ended.
[[nodiscard]] int read_menu_choice();

// Loads the instance from the two files of the working directory into n, selection and matrix,
// after seeding the generator from the calendar time. Returns true with an instance of at least
// three positions; returns false, with nothing allocated and the reason already printed, when
// the files describe no usable instance. Ends the process with status 1 when the distance file
// cannot be opened or the matrix cannot fit in memory.
// A missing count file takes the rest of the menu's line unless `after_missing` says otherwise.
[[nodiscard]] bool load_instance(
    int& n, int*& selection, float**& matrix,
    AfterMissingCount after_missing = AfterMissingCount::skip_menu_newline);

// Releases an instance: the selection vector first, then the matrix's rows and row table.
void release_instance(int n, int* selection, float** matrix);

// Fills `selection` (all 0 on entry) with a random start of exactly three positions and prints
// it with its value. Precondition: n >= 3.
void run_random_start_option(int n, int* selection, const float* const* matrix);

// Calibrates a start temperature, anneals `selection` and prints the best selection found, its
// value and the processor time of the run; `selection` keeps the best selection.
// Preconditions: n >= 3, exactly three positions selected.
void run_annealing_option(int n, int* selection, const float* const* matrix);

}  // namespace dispersao
