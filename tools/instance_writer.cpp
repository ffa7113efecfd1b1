// Writing of a converted TSPLIB instance into the two instance files, all or nothing.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "instance/instance_files.hpp"
#include "output/pending_file.hpp"
#include "tools/conversion.hpp"

namespace {

// Distances beyond this would overflow when scaled; no real instance comes near it.
constexpr double kLargestUsable = 1.0e300;

[[nodiscard]] ConversionError write_error(const std::string& path) {
    return {0, write_failure(path)};
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
        return write_error(distances.temporary_path());
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
        return write_error(distances.temporary_path());
    }
    PendingFile count(prefix + kCityCountFile);
    if (!count.opened()) {
        return write_error(count.temporary_path());
    }
    std::fprintf(count.file(), "%zu\n", cities.size());
    if (!count.close()) {
        return write_error(count.temporary_path());
    }
    if (auto failure = commit_files({&distances, &count})) {
        return ConversionError{0, std::move(*failure)};
    }
    return std::nullopt;
}
