// A square distance matrix owned by a test, handed to the code under test as float**.
#pragma once

#include <vector>

class TestMatrix {
  public:
    explicit TestMatrix(int n, float fill = 0.0F)
        : n_(n),
          cells_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), fill),
          rows_(static_cast<std::size_t>(n)) {
        for (int i = 0; i < n; ++i) {
            rows_[static_cast<std::size_t>(i)] =
                &cells_[static_cast<std::size_t>(i) * static_cast<std::size_t>(n)];
        }
    }
    [[nodiscard]] float* const* rows() { return rows_.data(); }
    [[nodiscard]] const float* const* cells() const { return rows_.data(); }
    [[nodiscard]] int size() const { return n_; }
    float& at(int i, int j) { return rows_[static_cast<std::size_t>(i)][j]; }

  private:
    int n_;
    std::vector<float> cells_;
    std::vector<float*> rows_;
};
