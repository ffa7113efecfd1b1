// Speed section of the benchmark: loading and annealing, each beside its literal baseline.
#pragma once

#include <string>
#include <vector>

// Where the instances come from and which sizes to measure.
struct SpeedSettings {
    std::string generator;    // path of the dispersao-gerar tool
    std::string folder;       // folder that receives one subfolder per size
    std::vector<int> cities;  // city counts to measure, ascending
};

// Generates an instance per city count, measures the fast and the literal loader and search on
// it, each in a child process of its own, and prints the tables and the verdict on each target.
// Returns false when an instance could not be generated or a measurement failed.
[[nodiscard]] bool run_speed_benchmark(const SpeedSettings& settings);
