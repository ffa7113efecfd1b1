// Reading a point file from disk, and the messages for what can go wrong.
#include <cstdio>
#include <filesystem>
#include <new>

#include "points/point_files.hpp"

namespace dispersao {

std::optional<PointError> read_point_file(const std::string& path, PointFormat format,
                                          PointSet& points) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return PointError{PointFailure::unreadable, 0, ""};
    }
    std::error_code unknown;
    const std::uintmax_t bytes = std::filesystem::file_size(path, unknown);
    std::optional<PointError> error;
    try {
        error = format == PointFormat::tsplib
                    ? parse_tsplib_points(file_source(file), points)
                    : parse_csv_points(file_source(file), points,
                                       unknown ? 0 : static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        error = PointError{PointFailure::no_memory, 0, ""};
    }
    // A folder opens but cannot be read; nor can a file on a failing disk. Either way the
    // text seen may be cut short, so the read fault comes before anything the parser found.
    if (std::ferror(file) != 0) {
        error = PointError{PointFailure::unreadable, 0, ""};
    }
    std::fclose(file);
    if (error) {
        points = PointSet{};
    }
    return error;
}

std::string describe_point_error(const PointError& error, const std::string& path) {
    switch (error.failure) {
        case PointFailure::unreadable:
            return "O arquivo " + path + " nao pode ser lido.\n";
        case PointFailure::no_memory:
            return "Falta memoria para ler os pontos do arquivo " + path + ".\n";
        case PointFailure::malformed:
            break;
    }
    const std::string where =
        error.line > 0 ? ", linha " + std::to_string(error.line) : std::string();
    return "Erro no arquivo " + path + where + ": " + error.detail + ".\n";
}

}  // namespace dispersao
