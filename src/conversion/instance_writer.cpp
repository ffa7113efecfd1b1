// Writing of a converted instance into the instance files, all or nothing.
#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "conversion/conversion.hpp"
#include "instance/city_names.hpp"
#include "instance/instance_files.hpp"
#include "output/pending_file.hpp"

namespace dispersao {

namespace {

// Distances beyond this would overflow when scaled; no real instance comes near it.
constexpr double kLargestUsable = 1.0e300;

[[nodiscard]] ConversionError write_error(const std::string& path) {
    return {0, write_failure(path), true};
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
    return write_instance_files(directory, cities.size(),
                                [&cities](std::size_t a, std::size_t b) {
                                    return euclidean_distance(cities[a], cities[b]);
                                },
                                {});
}

std::optional<ConversionError> write_instance_files(const std::string& directory, std::size_t count,
                                                    const CityDistance& distance,
                                                    const std::vector<std::string>& names) {
    assert(count >= 2 && (names.empty() || names.size() == count));
    double largest = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            largest = std::max(largest, distance(i, j));
        }
    }
    if (!(largest > 0.0)) {
        return ConversionError{0, "todas as cidades estao no mesmo ponto."};
    }
    if (!(largest <= kLargestUsable)) {
        return ConversionError{0, "as coordenadas sao grandes demais para as distancias."};
    }
    const std::string prefix = directory.empty() ? "" : directory + "/";
    PendingFile distances(prefix + kDistanceFile);
    if (!distances.opened()) {
        return write_error(distances.temporary_path());
    }
    {
        // Whole lines go out in large blocks: a 4,000-city instance has 8 million of them.
        std::vector<char> buffer(std::size_t{1} << 20);
        char* out = buffer.data();
        char* const limit = buffer.data() + buffer.size() - 40;
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t j = i + 1; j < count; ++j) {
                const int d = scale_distance(distance(i, j), largest);
                out = put_triple(out, static_cast<int>(i + 1), static_cast<int>(j + 1), d);
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
        return write_error(distances.temporary_path());
    }
    PendingFile count_file(prefix + kCityCountFile);
    if (!count_file.opened()) {
        return write_error(count_file.temporary_path());
    }
    std::fprintf(count_file.file(), "%zu\n", count);
    if (!count_file.close()) {
        return write_error(count_file.temporary_path());
    }
    std::vector<PendingFile*> files{&distances, &count_file};
    std::vector<std::string> retired;
    std::optional<PendingFile> names_file;
    if (names.empty()) {
        retired.push_back(prefix + kCityNamesFile);
    } else {
        names_file.emplace(prefix + kCityNamesFile);
        if (!names_file->opened()) {
            return write_error(names_file->temporary_path());
        }
        for (std::string name : names) {
            // A name is one line of the file: line breaks inside it become blanks.
            std::replace_if(
                name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
            std::fprintf(names_file->file(), "%s\n", name.c_str());
        }
        if (!names_file->close()) {
            return write_error(names_file->temporary_path());
        }
        files.push_back(&*names_file);
    }
    if (auto failure = commit_files(files, retired)) {
        return ConversionError{0, std::move(*failure), true};
    }
    return std::nullopt;
}

}  // namespace dispersao
