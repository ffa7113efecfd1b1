// Writing of a converted TSPLIB instance into the two instance files, all or nothing.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "instance/instance_files.hpp"
#include "tools/conversion.hpp"

namespace {

// Distances beyond this would overflow when scaled; no real instance comes near it.
constexpr double kLargestUsable = 1.0e300;

// A file being written under a temporary name, removed unless it is committed.
class PendingFile {
  public:
    explicit PendingFile(std::string final_path)
        : final_path_(std::move(final_path)), temporary_path_(final_path_ + ".parcial") {
        file_ = std::fopen(temporary_path_.c_str(), "w");
        created_ = file_ != nullptr;
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() {
        close();
        // Only a file this object created is removed: whatever else holds the name stays.
        if (created_ && !committed_) {
            std::remove(temporary_path_.c_str());
        }
    }

    [[nodiscard]] bool opened() const { return file_ != nullptr; }
    [[nodiscard]] std::FILE* file() const { return file_; }
    [[nodiscard]] const std::string& temporary_path() const { return temporary_path_; }

    // Flushes and closes the file; returns false if any write failed.
    bool close() {
        if (file_ == nullptr) {
            return closed_well_;
        }
        closed_well_ = std::ferror(file_) == 0;
        closed_well_ = (std::fclose(file_) == 0) && closed_well_;
        file_ = nullptr;
        return closed_well_;
    }

    // Renames the closed file to its final name; returns false if that failed.
    bool commit() {
        committed_ = std::rename(temporary_path_.c_str(), final_path_.c_str()) == 0;
        return committed_;
    }

  private:
    std::string final_path_;
    std::string temporary_path_;
    std::FILE* file_ = nullptr;
    bool created_ = false;
    bool closed_well_ = false;
    bool committed_ = false;
};

[[nodiscard]] ConversionError write_failure(const std::string& path) {
    return {0, "nao foi possivel gravar " + path + ": " + std::strerror(errno) + "."};
}

// Appends "i j d\n" to `out`, which has room for it.
char* put_triple(char* out, int i, int j, int d) {
    out = std::to_chars(out, out + 12, i).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 12, j).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 12, d).ptr;
    *out++ = '\n';
    return out;
}

}  // namespace

std::optional<ConversionError> write_instance_files(const std::string& directory,
                                                    const std::vector<Point>& cities) {
    const double largest = largest_distance(cities);
    if (!(largest > 0.0)) {
        return ConversionError{0, "todas as cidades estao no mesmo ponto."};
    }
    if (!(largest <= kLargestUsable)) {
        return ConversionError{0, "as coordenadas sao grandes demais para as distancias."};
    }
    const std::string prefix = directory.empty() ? "" : directory + "/";
    PendingFile distances(prefix + kDistanceFile);
    if (!distances.opened()) {
        return write_failure(distances.temporary_path());
    }
    {
        // Whole lines go out in large blocks: a 4,000-city instance has 8 million of them.
        std::vector<char> buffer(std::size_t{1} << 20);
        char* out = buffer.data();
        char* const limit = buffer.data() + buffer.size() - 40;
        const auto n = static_cast<int>(cities.size());
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const int d = scaled_distance(cities[static_cast<std::size_t>(i)],
                                              cities[static_cast<std::size_t>(j)], largest);
                out = put_triple(out, i + 1, j + 1, d);
                if (out >= limit) {
                    std::fwrite(buffer.data(), 1, static_cast<std::size_t>(out - buffer.data()),
                                distances.file());
                    out = buffer.data();
                }
            }
        }
        std::fwrite(buffer.data(), 1, static_cast<std::size_t>(out - buffer.data()),
                    distances.file());
    }
    if (!distances.close()) {
        return write_failure(distances.temporary_path());
    }
    PendingFile count(prefix + kCityCountFile);
    if (!count.opened()) {
        return write_failure(count.temporary_path());
    }
    std::fprintf(count.file(), "%zu\n", cities.size());
    if (!count.close()) {
        return write_failure(count.temporary_path());
    }
    if (!distances.commit()) {
        return write_failure(prefix + kDistanceFile);
    }
    if (!count.commit()) {
        // The new distance file is already in place; without its count it must not stay.
        const ConversionError error = write_failure(prefix + kCityCountFile);
        std::remove((prefix + kDistanceFile).c_str());
        return error;
    }
    return std::nullopt;
}
