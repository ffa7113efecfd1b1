// The integer scanner alone, on every path, over a distance file already in memory.
#pragma once

#include <string>
#include <vector>

#include "instance/scan_paths.hpp"

// One path's speed.
struct ScannerSpeed {
    dispersao::ScanPath path;
    double seconds;   // best of the runs
    double gb_per_s;  // file bytes per second of that run, in 10^9
    double integers;  // integers read, the same on every path
    double checksum;  // sum of the integers, the same on every path
};

// Reads the file at `path` into memory in a child process and scans every integer of it on each
// available path (portable first), best of a few runs each. Empty when the child failed.
[[nodiscard]] std::vector<ScannerSpeed> measure_scanner(const std::string& path);

// Prints the table of `speeds` for a file of `file_mb` MB, and whether the paths agreed.
void print_scanner_table(const std::vector<ScannerSpeed>& speeds, double file_mb);
