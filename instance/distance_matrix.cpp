// Reader of the distance file: integer triples (row, column, distance).
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "instance/instance_files.hpp"
#include "storage/storage.hpp"

namespace {

[[nodiscard]] bool fits_int32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

[[nodiscard]] DistanceError error_at(const IntegerScanner& scanner, DistanceProblem problem) {
    return {problem, scanner.line(), scanner.token_text()};
}

}  // namespace

std::optional<DistanceError> parse_distance_triples(ByteSource source, float* const* matrix, int n,
                                                    std::size_t block_size) {
    assert(n >= 0);
    IntegerScanner scanner(std::move(source), block_size);
    // field 0 is the row, 1 the column, 2 the distance of the triple being read.
    std::int64_t fields[3] = {0, 0, 0};
    int field = 0;
    // Line of the first integer of the triple being read, which an incomplete triple names.
    long triple_line = 1;
    for (;;) {
        switch (scanner.next(fields[field])) {
            case ScanResult::end:
                if (field != 0) {
                    return DistanceError{DistanceProblem::incomplete_triple, triple_line, ""};
                }
                return std::nullopt;
            case ScanResult::not_integer:
                return error_at(scanner, DistanceProblem::not_integer);
            case ScanResult::out_of_range:
                return error_at(scanner, DistanceProblem::out_of_range);
            case ScanResult::integer:
                break;
        }
        if (!fits_int32(fields[field])) {
            return error_at(scanner, DistanceProblem::out_of_range);
        }
        if (field < 2 && (fields[field] < 0 || fields[field] >= n)) {
            return error_at(scanner, DistanceProblem::position_out_range);
        }
        if (field == 0) {
            triple_line = scanner.line();
        }
        if (++field == 3) {
            matrix[fields[0]][fields[1]] = static_cast<float>(fields[2]);
            field = 0;
        }
    }
}

std::string describe_distance_error(const DistanceError& error, const char* path, int n) {
    std::string where =
        "Erro no arquivo " + std::string(path) + ", linha " + std::to_string(error.line) + ": ";
    switch (error.problem) {
        case DistanceProblem::not_integer:
            return where + "\"" + error.text + "\" nao e um numero inteiro.\n";
        case DistanceProblem::out_of_range:
            return where + "o numero " + error.text + " esta fora do intervalo de 32 bits.\n";
        case DistanceProblem::position_out_range:
            return where + "a posicao " + error.text + " esta fora do intervalo 0.." +
                   std::to_string(n - 1) + ".\n";
        case DistanceProblem::incomplete_triple:
            return where + "o arquivo termina no meio de uma tripla.\n";
    }
    return where + "\n";
}

bool read_distance_matrix(const char* path, float* const* matrix, int n) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        if (errno == ENOMEM) {
            fail_out_of_memory();
        }
        std::printf("O Arquivo %s nao pode ser aberto.\n", path);
        std::exit(1);
    }
    const std::optional<DistanceError> error = parse_distance_triples(file_source(file), matrix, n);
    const bool read_failed = std::ferror(file) != 0;
    std::fclose(file);
    if (read_failed) {
        std::printf("Erro ao ler o arquivo %s.\n", path);
        return false;
    }
    if (error) {
        std::printf("%s", describe_distance_error(*error, path, n).c_str());
        return false;
    }
    return true;
}
