// Allocation, clearing, copying, printing and release of vectors and matrices.
#include "storage/storage.hpp"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace dispersao {

namespace {

// Prints `message` and ends the process with status 1 through exit(), which flushes standard
// output so that a message without a trailing newline still reaches the console.
[[noreturn]] void fail_with(const char* message) {
    std::printf("%s", message);
    std::exit(1);
}

// Returns a block of `count` elements of `size` bytes, or null on exhaustion. A request for
// zero elements asks for one byte so that a valid, releasable block comes back.
void* allocate(int count, std::size_t size) {
    const std::size_t bytes = static_cast<std::size_t>(count) * size;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

}  // namespace

void fail_out_of_memory() {
    fail_with("Falta memoria para alocar o vetor de ponteiros");
}

void exit_on_memory_exhaustion() {
    std::set_new_handler(fail_out_of_memory);
}

int* alloc_vector(int n) {
    assert(n >= 0);
    auto* vector = static_cast<int*>(allocate(n, sizeof(int)));
    if (vector == nullptr) {
        fail_out_of_memory();
    }
    return vector;
}

float** alloc_matrix(int rows, int cols) {
    assert(rows >= 0 && cols >= 0);
    auto* matrix = static_cast<float**>(allocate(rows, sizeof(float*)));
    if (matrix == nullptr) {
        fail_with("Falta memoria para alocar a matriz de ponteiros\n");
    }
    for (int i = 0; i < rows; ++i) {
        matrix[i] = static_cast<float*>(allocate(cols, sizeof(float)));
        if (matrix[i] == nullptr) {
            fail_with("Falta memoria para alocar a matriz de ponteiros.\n");
        }
    }
    return matrix;
}

void zero_vector(int* vector, int n) {
    assert(n >= 0);
    for (int i = 0; i < n; ++i) {
        vector[i] = 0;
    }
}

void zero_matrix(float* const* matrix, int rows, int cols) {
    assert(rows >= 0 && cols >= 0);
    // All-zero bits are 0.0f, so one block fill per row clears it.
    const std::size_t row_bytes = static_cast<std::size_t>(cols) * sizeof(float);
    for (int i = 0; i < rows; ++i) {
        std::memset(matrix[i], 0, row_bytes);
    }
}

void copy_vector(int* destination, const int* source, int n) {
    assert(n >= 0);
    for (int i = 0; i < n; ++i) {
        destination[i] = source[i];
    }
}

void print_vector(const int* vector, int n) {
    assert(n >= 0);
    for (int i = 0; i < n; ++i) {
        std::printf("%d ", vector[i]);
    }
}

void free_vector(int* vector) {
    std::free(vector);
}

void free_matrix(float** matrix, int rows) {
    if (matrix == nullptr) {
        return;
    }
    for (int i = rows - 1; i >= 0; --i) {
        std::free(matrix[i]);
    }
    std::free(matrix);
}

}  // namespace dispersao
