// The straightforward versions of loading and searching that the fast ones are measured and
// checked against: an fscanf loop over the distance file, a cell-by-cell clear, and a
// calibration and annealing run that evaluate the whole selection vector before and after
// every move.
//
// The differential test uses the two search loops as its oracle and the benchmark uses all of
// it as its baseline, so these stay as plain as they are written here.
#pragma once

// Sets every cell of `matrix` (rows row pointers, each to cols floats) to 0.0, one cell at a
// time in ascending order.
void literal_zero_matrix(float* const* matrix, int rows, int cols);

// Returns the first integer of the file at `path` read with fscanf "%d", or -1 when the file
// cannot be opened or holds no integer.
[[nodiscard]] int literal_read_city_count(const char* path);

// Reads the triples of the file at `path` with fscanf "%d %d %d" until the end of the file or
// the first triple that does not convert, storing each into cell [row][column] of `matrix`
// (n x n, 0-based); triples naming a position outside 0..n-1 are skipped. Returns false when
// the file cannot be opened.
[[nodiscard]] bool literal_read_distance_matrix(const char* path, float* const* matrix, int n);

// calibrate_temperature with `evaluate_solution` called before and after every sampled move.
[[nodiscard]] float literal_calibrate_temperature(int n, int* selection, const float* const* matrix,
                                                  float heating_factor, float target_acceptance,
                                                  int moves_per_temperature);

// run_annealing with `evaluate_solution` called before and after every move.
float literal_run_annealing(int n, int* selection, const float* const* matrix, float cooling_factor,
                            float initial_temperature, float final_temperature,
                            int moves_per_temperature);
