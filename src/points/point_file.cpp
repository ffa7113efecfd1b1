// Reading a point file from disk or standard input, its format from its name or its text, and
// the messages for what can go wrong.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "output/system_error.hpp"
#include "points/fault_message.hpp"
#include "points/point_files.hpp"
#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Bytes of the start of a text that point_format_of_text is given.
constexpr std::size_t kSniffBytes = 4096;

// True when `name` ends in `extension` (".tsp", say, in lower case), in any case.
[[nodiscard]] bool has_extension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// A source that hands out `start` first and then the rest of `rest`, telling `progress` of
// every block.
[[nodiscard]] ByteSource replayed_source(std::string start, ByteSource rest,
                                         const ReadProgress& progress) {
    return [start = std::move(start), rest = std::move(rest), progress, offset = std::size_t{0}](
               char* destination, std::size_t capacity) mutable {
        std::size_t count = 0;
        if (offset < start.size()) {
            count = std::min(capacity, start.size() - offset);
            std::memcpy(destination, start.data() + offset, count);
            offset += count;
            return count;
        }
        count = rest(destination, capacity);
        if (progress && count > 0) {
            progress(count);
        }
        return count;
    };
}

// Reads up to kSniffBytes from `file` into `start`.
void read_start(std::FILE* file, std::string& start) {
    start.resize(kSniffBytes);
    std::size_t got = 0;
    while (got < start.size()) {
        const std::size_t count = std::fread(start.data() + got, 1, start.size() - got, file);
        if (count == 0) {
            break;
        }
        got += count;
    }
    start.resize(got);
}

}  // namespace

PointFormat point_format_of_name(std::string_view name) {
    if (has_extension(name, ".tsp")) {
        return PointFormat::tsplib;
    }
    if (has_extension(name, ".csv")) {
        return PointFormat::csv;
    }
    if (has_extension(name, ".geojson") || has_extension(name, ".json")) {
        return PointFormat::geojson;
    }
    return PointFormat::by_content;
}

PointFormat point_format_of_text(std::string_view start) {
    drop_byte_order_mark(start);
    const auto* const first =
        std::find_if(start.begin(), start.end(), [](char c) { return !is_blank(c) && c != '\n'; });
    if (first != start.end() && *first == '{') {
        return PointFormat::geojson;
    }
    const std::string_view rest = start.substr(static_cast<std::size_t>(first - start.begin()));
    const std::string_view line = rest.substr(0, rest.find('\n'));
    // A header row naming columns holds a separator and no colon; a TSPLIB keyword line holds
    // a colon or no separator ("DIMENSION 52").
    if (line.find(':') == std::string_view::npos &&
        line.find_first_of(",;\t") != std::string_view::npos) {
        return PointFormat::csv;
    }
    for (const std::string_view keyword :
         {"NAME", "TYPE", "COMMENT", "DIMENSION", "EDGE_WEIGHT_TYPE"}) {
        if (line.substr(0, keyword.size()) == keyword && line.size() > keyword.size() &&
            (line[keyword.size()] == ':' || is_blank(line[keyword.size()]))) {
            return PointFormat::tsplib;
        }
    }
    return PointFormat::csv;
}

std::optional<PointError> read_point_file(const std::string& path, PointFormat format,
                                          PointSet& points, const PointReadOptions& options) {
    const bool standard_input = path == kStandardInputName;
    std::error_code code;
    if (!standard_input && std::filesystem::is_directory(path, code)) {
        return PointError{PointFailure::unreadable, 0, "", EISDIR};
    }
    std::FILE* file = standard_input ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOMEM) {
            return PointError{PointFailure::no_memory, 0, "", 0};
        }
        return PointError{PointFailure::unopenable, 0, "", errno};
    }
    std::optional<PointError> error;
    try {
        std::string start;
        read_start(file, start);
        if (options.progress && !start.empty()) {
            options.progress(start.size());
        }
        if (format == PointFormat::by_content) {
            format = point_format_of_text(start);
        }
        ByteSource source = replayed_source(std::move(start), file_source(file), options.progress);
        const std::uintmax_t bytes = standard_input ? 0 : std::filesystem::file_size(path, code);
        switch (format) {
            case PointFormat::tsplib:
                error = parse_tsplib_points(std::move(source), points);
                break;
            case PointFormat::geojson:
                error = parse_geojson_points(source, points, options.keep_records);
                break;
            case PointFormat::csv:
            case PointFormat::by_content:
                error = parse_csv_points(std::move(source), points,
                                         code ? 0 : static_cast<std::size_t>(bytes),
                                         options.keep_records);
                break;
        }
    } catch (const std::bad_alloc&) {
        error = PointError{PointFailure::no_memory, 0, "", 0};
    }
    // A file on a failing disk may be cut short, so the read fault comes before anything the
    // parser found.
    if (std::ferror(file) != 0) {
        error = PointError{PointFailure::unreadable, 0, "", errno};
    }
    if (!standard_input) {
        std::fclose(file);
    }
    const bool planar =
        points.rule != DistanceRule::tsplib_geo && points.rule != DistanceRule::great_circle_km;
    if (!error && planar &&
        !planar_spread_fits(points.x.data(), points.y.data(), points.size(), 1)) {
        error = PointError{PointFailure::malformed, 0,
                           "os pontos se afastam demais: a distancia entre os mais afastados "
                           "passa do maior numero representavel (cerca de 1,8e308)",
                           0};
    }
    if (error) {
        points = PointSet{};
    }
    return error;
}

std::string describe_point_error(const PointError& error, const std::string& path) {
    const std::string name = path == kStandardInputName ? "<entrada padrao>" : path;
    switch (error.failure) {
        case PointFailure::unopenable:
            return "O arquivo " + name +
                   " nao pode ser aberto: " + system_error_text(error.system_error) + ".\n";
        case PointFailure::unreadable:
            return "Erro ao ler o arquivo " + name + ".\n";
        case PointFailure::no_memory:
            return "Falta memoria para ler os pontos do arquivo " + name + ".\n";
        case PointFailure::malformed:
            break;
    }
    return file_fault_message(name, error.line, error.detail);
}

}  // namespace dispersao
