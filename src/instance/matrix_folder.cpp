// The instance files of a folder, read for the exact search.
#include "instance/matrix_folder.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "instance/instance_files.hpp"
#include "storage/storage.hpp"

namespace dispersao {

namespace {

// Closes a file when it goes out of scope.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[nodiscard]] std::string cannot_open(const std::string& path) {
    return "O arquivo " + path + " nao pode ser aberto.\n";
}

}  // namespace

std::optional<std::string> load_matrix_folder(const std::string& folder, MatrixInstance& instance) {
    const auto in_folder = [&](const char* name) {
        return folder.empty() ? std::string(name) : (std::filesystem::path(folder) / name).string();
    };
    const std::string count_path = in_folder(kCityCountFile);
    const std::string distance_path = in_folder(kDistanceFile);

    const FileHandle count_file(std::fopen(count_path.c_str(), "r"));
    if (!count_file) {
        return cannot_open(count_path);
    }
    const CityCount count = parse_city_count(file_source(count_file.get()));
    if (std::ferror(count_file.get()) != 0) {
        return "Erro ao ler o arquivo " + count_path + ".\n";
    }
    if (count.status != CountStatus::read) {
        return "O arquivo " + count_path + " nao comeca com um numero inteiro.\n";
    }
    if (count.value < 2) {
        return "O arquivo " + count_path + " indica " + std::to_string(count.value) +
               " cidades; sao necessarias pelo menos 2.\n";
    }
    if (!instance_fits(count.value)) {
        return "Falta memoria para a matriz de distancias de " + std::to_string(count.value) +
               " cidades.\n";
    }
    const FileHandle distance_file(std::fopen(distance_path.c_str(), "r"));
    if (!distance_file) {
        return cannot_open(distance_path);
    }
    const int n = static_cast<int>(count.value + 1);
    const auto size = static_cast<std::size_t>(n);
    instance.n = n;
    instance.cells.assign(size * size, 0.0F);
    instance.rows.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        instance.rows[i] = instance.cells.data() + i * size;
    }
    const std::optional<DistanceError> error =
        parse_distance_triples(file_source(distance_file.get()), instance.rows.data(), n);
    if (std::ferror(distance_file.get()) != 0) {
        return "Erro ao ler o arquivo " + distance_path + ".\n";
    }
    if (error) {
        return describe_distance_error(*error, distance_path.c_str(), n);
    }
    return std::nullopt;
}

bool load_menu_instance(int& n, int*& selection, float**& matrix, AfterMissingCount after_missing) {
    const CityCount count = read_city_count(kCityCountFile, after_missing);
    if (count.status != CountStatus::read) {
        return false;
    }
    if (count.value < 2) {
        std::printf("O arquivo %s indica %s cidades; sao necessarias pelo menos 2.\n",
                    kCityCountFile, count.text.c_str());
        return false;
    }
    if (!instance_fits(count.value)) {
        // Refusing up front keeps the system from killing the process half-way through
        // clearing a matrix that was granted but cannot be backed.
        std::printf("Falta memoria para alocar a matriz de ponteiros\n");
        std::exit(1);
    }
    n = static_cast<int>(count.value + 1);
    selection = alloc_vector(n);
    zero_vector(selection, n);
    matrix = alloc_matrix(n, n);
    zero_matrix(matrix, n, n);
    if (!read_distance_matrix(kDistanceFile, matrix, n)) {
        release_menu_instance(n, selection, matrix);
        selection = nullptr;
        matrix = nullptr;
        return false;
    }
    return true;
}

void release_menu_instance(int n, int* selection, float** matrix) {
    free_vector(selection);
    free_matrix(matrix, n);
}

}  // namespace dispersao
