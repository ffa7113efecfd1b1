// Whole-file reading and writing for tests, byte for byte.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

// Returns every byte of the file at `path`; an empty string when it cannot be opened.
[[nodiscard]] inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Replaces the file at `path` with exactly the bytes of `text`.
inline void write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace test_support
