// A square distance matrix owned by a test or fuzz target, handed to the code under test as a
// row table. Every row is a heap block of its own with a guard cell on each side, so a write just
// outside a row shows in damaged_guards() and one further out is caught by AddressSanitizer.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

class TestMatrix {
  public:
    // An n x n matrix with every cell set to `fill`. Precondition: n >= 0.
    explicit TestMatrix(int n, float fill = 0.0F)
        : n_(n), storage_(static_cast<std::size_t>(n)), rows_(static_cast<std::size_t>(n)) {
        assert(n >= 0);
        for (std::size_t i = 0; i < storage_.size(); ++i) {
            storage_[i].assign(storage_.size() + 2, kGuard);
            rows_[i] = storage_[i].data() + 1;
            for (int j = 0; j < n; ++j) {
                rows_[i][j] = fill;
            }
        }
    }

    // The row table: n row pointers, each to n floats, 0-based.
    [[nodiscard]] float* const* rows() { return rows_.data(); }
    [[nodiscard]] const float* const* cells() const { return rows_.data(); }
    [[nodiscard]] int size() const { return n_; }
    float& at(int i, int j) { return rows_[static_cast<std::size_t>(i)][j]; }
    [[nodiscard]] float at(int i, int j) const { return rows_[static_cast<std::size_t>(i)][j]; }

    // Returns how many guard cells, one before and one after each row, no longer hold the guard.
    [[nodiscard]] int damaged_guards() const {
        int count = 0;
        for (const std::vector<float>& row : storage_) {
            count += (row.front() != kGuard ? 1 : 0) + (row.back() != kGuard ? 1 : 0);
        }
        return count;
    }

    // Returns whether every cell of `other`, of the same size, holds the same bits as this one's.
    [[nodiscard]] bool same_cells(const TestMatrix& other) const {
        assert(other.n_ == n_);
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (std::memcmp(rows_[i], other.rows_[i], storage_.size() * sizeof(float)) != 0) {
                return false;
            }
        }
        return true;
    }

  private:
    static constexpr float kGuard = -12345.0F;

    int n_;
    // n rows of n + 2 floats: a guard, the row's n cells, a guard.
    std::vector<std::vector<float>> storage_;
    // n pointers, each to cell 0 of a row of `storage_`.
    std::vector<float*> rows_;
};

// Returns the menu instance in `folder` (numcidades.txt and MatrizDistanciasteste.txt) read again
// here: positions 0..count, each triple "i j distance" at (i, j), every other cell 0.
[[nodiscard]] inline TestMatrix read_menu_instance(const std::filesystem::path& folder) {
    std::ifstream count(folder / "numcidades.txt");
    int cities = 0;
    count >> cities;
    TestMatrix instance(cities + 1);
    std::ifstream triples(folder / "MatrizDistanciasteste.txt");
    int i = 0;
    int j = 0;
    int distance = 0;
    while (triples >> i >> j >> distance) {
        instance.at(i, j) = static_cast<float>(distance);
    }
    return instance;
}
