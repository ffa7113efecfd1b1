// The literal loader and search loops: the differential test's oracle, the benchmark's baseline.
#include "tests/literal_baseline.hpp"

#include <cassert>
#include <cstdio>

#include "annealing/acceptance.hpp"
#include "annealing/annealing.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

void literal_zero_matrix(float* const* matrix, int rows, int cols) {
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            matrix[i][j] = 0.0F;
        }
    }
}

int literal_read_city_count(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return -1;
    }
    int count = -1;
    if (std::fscanf(file, "%d", &count) != 1) {
        count = -1;
    }
    std::fclose(file);
    return count;
}

bool literal_read_distance_matrix(const char* path, float* const* matrix, int n) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    int row = 0;
    int column = 0;
    int distance = 0;
    while (std::feof(file) == 0) {
        if (std::fscanf(file, "%d %d %d", &row, &column, &distance) != 3) {
            break;
        }
        if (row >= 0 && row < n && column >= 0 && column < n) {
            matrix[row][column] = static_cast<float>(distance);
        }
    }
    std::fclose(file);
    return true;
}

float literal_calibrate_temperature(int n, int* selection, const float* const* matrix,
                                    float heating_factor, float target_acceptance,
                                    int moves_per_temperature) {
    assert(n >= 3 && count_selected(selection, n) == kSelectedCount);
    assert(heating_factor > 1.0F);
    float temperature = kCalibrationStartTemperature;
    for (;;) {
        int accepted = 0;
        for (int move_count = 0; move_count < moves_per_temperature; ++move_count) {
            const ExchangeMove move = draw_exchange_move(n);
            const float before = evaluate_solution(n, selection, matrix);
            apply_exchange(selection, move);
            const float after = evaluate_solution(n, selection, matrix);
            const float delta = after - before;
            if (delta < 0.0F) {
                ++accepted;
            } else {
                const auto u = static_cast<float>(draw_real(0.0F, 1.0F));
                if (passes_when_minimising(delta, temperature, u)) {
                    ++accepted;
                }
            }
            apply_exchange(selection, move);
        }
        if (accepted >= moves_per_temperature * static_cast<double>(target_acceptance)) {
            return temperature;
        }
        temperature *= heating_factor;
    }
}

float literal_run_annealing(int n, int* selection, const float* const* matrix, float cooling_factor,
                            float initial_temperature, float final_temperature,
                            int moves_per_temperature) {
    assert(n >= 3 && count_selected(selection, n) == kSelectedCount);
    assert(cooling_factor > 0.0F && cooling_factor < 1.0F);
    int* best = alloc_vector(n);
    copy_vector(best, selection, n);
    float temperature = initial_temperature;
    float current = evaluate_solution(n, selection, matrix);
    float fo_star = current;

    while (temperature > final_temperature) {
        for (int move_count = 0; move_count < moves_per_temperature; ++move_count) {
            const ExchangeMove move = draw_exchange_move(n);
            const float before = evaluate_solution(n, selection, matrix);
            apply_exchange(selection, move);
            const float after = evaluate_solution(n, selection, matrix);
            const float delta = after - before;
            if (delta > 0.0F) {
                current = after;
                if (current > fo_star) {
                    fo_star = current;
                    copy_vector(best, selection, n);
                    std::printf("Fo_star = %8.2f \t Temperatura = %8.2f \n",
                                static_cast<double>(fo_star), static_cast<double>(temperature));
                }
            } else {
                const auto u = static_cast<float>(draw_real(0.0F, 1.0F));
                if (passes_when_maximising(delta, temperature, u)) {
                    current = after;
                } else {
                    apply_exchange(selection, move);
                }
            }
        }
        temperature *= cooling_factor;
    }

    copy_vector(selection, best, n);
    free_vector(best);
    return fo_star;
}
