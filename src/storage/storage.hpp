// Integer vectors and single-precision matrices that hold an instance and its scratch copies.
//
// A vector is a bare block of n ints; only the caller knows its length. A matrix is a table of
// `rows` row pointers, each row its own block of `cols` floats, so that cell [i][j] is
// matrix[i][j]. Allocation failure is fatal: the routines print their message on standard
// output and end the process with status 1, so callers never see a null result.
#pragma once

namespace dispersao {

// Returns a vector of n ints with unspecified contents. Precondition: n >= 0.
[[nodiscard]] int* alloc_vector(int n);

// Returns a matrix of rows x cols floats with unspecified contents, rows allocated in
// ascending order after the row table. Preconditions: rows >= 0, cols >= 0.
[[nodiscard]] float** alloc_matrix(int rows, int cols);

// Sets entries 0..n-1 of `vector` (n ints, 0-based) to 0.
void zero_vector(int* vector, int n);

// Sets every cell of rows 0..rows-1, columns 0..cols-1 of `matrix` (rows row pointers, each to
// cols floats) to 0.0, row by row.
void zero_matrix(float* const* matrix, int rows, int cols);

// Copies source[0..n-1] into destination[0..n-1] in ascending order; both hold n ints and do
// not overlap.
void copy_vector(int* destination, const int* source, int n);

// Prints vector[0..n-1] (n ints) on standard output, each entry followed by one space, with no
// newline at the end.
void print_vector(const int* vector, int n);

// Prints the vector message and ends the process with status 1: what every allocation of the
// program does when memory runs out, the storage routines' own and any other.
[[noreturn]] void fail_out_of_memory();

// Makes every failing `new` of the program end it as fail_out_of_memory does, rather than throw
// std::bad_alloc that nothing catches and abort.
void exit_on_memory_exhaustion();

// Releases a vector obtained from alloc_vector; a null vector is ignored.
void free_vector(int* vector);

// Releases rows rows-1 down to 0 of `matrix`, then its row table; a null matrix is ignored.
void free_matrix(float** matrix, int rows);

}  // namespace dispersao
