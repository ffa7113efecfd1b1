// The inputs of dispersao-exato: which kind the command line names, reading it, its names.
#include "exato/exact_input.hpp"

#include <cstddef>
#include <filesystem>
#include <system_error>
#include <utility>

#include "dispersion/fixed_sites.hpp"
#include "exato/fixed_ids.hpp"
#include "instance/city_names.hpp"
#include "output/chosen_sites.hpp"
#include "points/point_files.hpp"

namespace dispersao {

namespace {

[[nodiscard]] InputFault usage_fault(std::string message) {
    return {true, std::move(message)};
}

// The usage fault of an output only point inputs have (the map, the chosen sites), when one
// is asked for an input of distances.
[[nodiscard]] std::optional<InputFault> point_outputs_asked(const ExactOptions& options) {
    for (const auto& [option, path] :
         {std::pair{"--svg", &options.svg}, std::pair{"--geojson", &options.geojson},
          std::pair{"--csv", &options.csv}}) {
        if (!path->empty()) {
            return usage_fault(std::string(option) +
                               " vale apenas para entradas de pontos (.tsp, .csv ou .geojson)");
        }
    }
    return std::nullopt;
}

// Reads the menu instance of the folder `options.input` names (the working folder when empty).
[[nodiscard]] std::optional<InputFault> load_folder(const ExactOptions& options,
                                                    ExactInput& input) {
    input.kind = InputKind::menu_folder;
    if (const auto error = load_matrix_folder(options.input, input.folder)) {
        return InputFault{false, *error};
    }
    if (options.p > input.folder.n) {
        return usage_fault("p = " + std::to_string(options.p) + " passa do numero de " +
                           "posicoes da instancia (" + std::to_string(input.folder.n) + ")");
    }
    if (auto fault = point_outputs_asked(options)) {
        return fault;
    }
    const CityNames names = read_city_names(
        options.input.empty() ? std::string(kCityNamesFile)
                              : (std::filesystem::path(options.input) / kCityNamesFile).string(),
        input.folder.n);
    if (names.status == NamesStatus::failed) {
        return InputFault{false, names.message};
    }
    input.folder_names = names.names;
    return std::nullopt;
}

// Reads the point file `options.input` names ("-" for standard input), its format told by its
// name or, failing that, by its text.
[[nodiscard]] std::optional<InputFault> load_points(const ExactOptions& options,
                                                    ExactInput& input) {
    input.kind = InputKind::points;
    PointReadOptions read;
    // The rows of the input are kept only when a file of the chosen ones is asked for.
    read.keep_records = !options.csv.empty() || !options.geojson.empty();
    if (const auto error = read_point_file(options.input, point_format_of_name(options.input),
                                           input.points, read)) {
        return InputFault{false, describe_point_error(*error, options.input)};
    }
    if (!options.geojson.empty() && !geographic(input.points)) {
        return usage_fault(
            "--geojson quer pontos de latitude e longitude (colunas lat, lon, "
            "GeoJSON ou TSPLIB GEO), e " +
            options.input + " tem coordenadas x, y");
    }
    if (static_cast<std::size_t>(options.p) > input.points.size()) {
        return usage_fault("p = " + std::to_string(options.p) + " passa do numero de " +
                           "pontos de " + options.input + " (" +
                           std::to_string(input.points.size()) + ")");
    }
    return std::nullopt;
}

// Reads the distance matrix file `options.matrix` names.
[[nodiscard]] std::optional<InputFault> load_matrix(const ExactOptions& options,
                                                    ExactInput& input) {
    input.kind = InputKind::matrix;
    if (auto fault = point_outputs_asked(options)) {
        return fault;
    }
    if (const auto error = read_matrix_file(options.matrix, input.matrix)) {
        return InputFault{false, describe_matrix_error(*error, options.matrix)};
    }
    if (static_cast<std::size_t>(options.p) > input.matrix.n) {
        return usage_fault("p = " + std::to_string(options.p) + " passa do numero de " +
                           "linhas de " + options.matrix + " (" + std::to_string(input.matrix.n) +
                           ")");
    }
    return std::nullopt;
}

}  // namespace

std::optional<InputFault> load_exact_input(const ExactOptions& options, ExactInput& input) {
    std::error_code ignored;
    const bool matrix = !options.matrix.empty();
    const bool folder =
        !matrix && (options.input.empty() || std::filesystem::is_directory(options.input, ignored));
    if (auto fault = matrix   ? load_matrix(options, input)
                     : folder ? load_folder(options, input)
                              : load_points(options, input)) {
        return fault;
    }
    const auto fixed =
        matrix   ? fixed_row_positions(options.fixed, options.p, input.matrix.n)
        : folder ? fixed_folder_positions(options.fixed, options.p, input.folder.n)
                 : fixed_point_positions(options.fixed, options.p, input.points, options.input);
    if (const auto* problem = std::get_if<std::string>(&fixed)) {
        return usage_fault(*problem);
    }
    input.fixed = std::get<std::vector<std::size_t>>(fixed);
    return std::nullopt;
}

bool integer_values(const ExactInput& input) {
    switch (input.kind) {
        case InputKind::menu_folder:
            return true;
        case InputKind::points:
            return integer_distances(input.points.rule);
        case InputKind::matrix:
            break;
    }
    return false;
}

DispersionResult solve_input(const ExactInput& input, int p, const SearchLimits& limits) {
    switch (input.kind) {
        case InputKind::menu_folder:
            return solve_menu_dispersion_fixed(input.folder.n, input.folder.matrix(), p,
                                               input.fixed, limits);
        case InputKind::matrix:
            return solve_distance_matrix_fixed(input.matrix.view(), p, input.fixed, limits);
        case InputKind::points:
            break;
    }
    return solve_point_dispersion_fixed(input.points, p, input.fixed, limits);
}

ExactAnswer answer_of(const ExactInput& input, int p, const DispersionResult& result,
                      double seconds) {
    switch (input.kind) {
        case InputKind::menu_folder:
            return matrix_answer(input.folder.n, p, result, seconds, input.folder_names);
        case InputKind::matrix:
            return distance_matrix_answer(input.matrix.n, p, result, seconds, input.matrix.names);
        case InputKind::points:
            break;
    }
    return point_answer(input.points, p, result, seconds);
}

}  // namespace dispersao
