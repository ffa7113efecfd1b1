// The instances of the quality benchmark: the public files and random points in a square.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/conversion.hpp"

// An instance ready for the search: `n` positions (the file's count plus one) and its matrix,
// n row pointers each to n floats, 0-based, owned by the instance.
struct BenchInstance {
    std::string name;
    std::string source;
    int cities = 0;
    int n = 0;
    float** matrix = nullptr;

    BenchInstance() = default;
    BenchInstance(const BenchInstance&) = delete;
    BenchInstance& operator=(const BenchInstance&) = delete;
    BenchInstance(BenchInstance&& other) noexcept;
    BenchInstance& operator=(BenchInstance&&) = delete;
    ~BenchInstance();
};

// Returns `count` points with integer coordinates drawn uniformly from 0..9999, the same for the
// same seed on every platform.
[[nodiscard]] std::vector<dispersao::Point> square_points(int count, std::uint64_t seed);

// Returns the instance of `cities` (index = id - 1) as dispersao-tsplib would write it.
// Precondition: at least two cities, not all at the same point.
[[nodiscard]] BenchInstance instance_from_points(const std::vector<dispersao::Point>& cities);

// Reads the TSPLIB or MDPLIB file at `path` into `instance`; returns false after printing why
// on the error stream.
[[nodiscard]] bool load_public_instance(const std::string& path, BenchInstance& instance);
