// A fresh, empty folder under the system's temporary directory, removed with everything in it
// when the object goes. Tests write only here.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tests/support/files.hpp"

namespace test_support {

class TempFolder {
  public:
    // Makes the folder, named after `prefix` and a unique suffix; throws when it cannot.
    explicit TempFolder(const std::string& prefix = "dispersao-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    // Writes `content` byte for byte into the file `name` of the folder.
    void write(const std::string& name, const std::string& content) const {
        write_file(path_ / name, content);
    }

    // Returns every byte of the file `name` of the folder.
    [[nodiscard]] std::string read(const std::string& name) const {
        return read_file(path_ / name);
    }

    // Returns how many entries the folder holds.
    [[nodiscard]] std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(path_), {}));
    }

  private:
    std::filesystem::path path_;
};

}  // namespace test_support
