// Reader of the distance file: integer triples (row, column, distance).
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include "instance/instance_files.hpp"
#include "progress/progress_line.hpp"
#include "storage/storage.hpp"

namespace dispersao {

namespace {

[[nodiscard]] bool fits_int32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

[[nodiscard]] bool is_position(std::int64_t value, int n) {
    return value >= 0 && value < n;
}

[[nodiscard]] DistanceError error_at(const IntegerScanner& scanner, DistanceProblem problem) {
    return {problem, scanner.line(), scanner.token_text()};
}

// Integers taken from the vectorised runs at a time: a multiple of three.
constexpr std::size_t kRunCapacity = std::size_t{3} * 1024;

// The triple being read and the rules each of its integers must meet.
class TripleReader {
  public:
    TripleReader(float* const* matrix, int n) : matrix_(matrix), n_(n) {}

    // How many integers of the triple under way are in: 0, 1 or 2.
    [[nodiscard]] int field() const { return field_; }

    // Takes `value` as the next integer of the triple, storing the triple once it is whole.
    // Returns what is wrong with it instead, taking nothing, when it breaks a rule.
    [[nodiscard]] std::optional<DistanceProblem> take(std::int64_t value) {
        if (!fits_int32(value)) {
            return DistanceProblem::out_of_range;
        }
        if (field_ < 2 && !is_position(value, n_)) {
            return DistanceProblem::position_out_range;
        }
        fields_[field_] = value;
        if (++field_ == 3) {
            matrix_[fields_[0]][fields_[1]] = static_cast<float>(fields_[2]);
            field_ = 0;
        }
        return std::nullopt;
    }

    // Stores the whole triples at the start of values[0..count-1] that break no rule, while no
    // triple is under way, and returns how many integers it took.
    [[nodiscard]] std::size_t take_whole_triples(const std::int64_t* values, std::size_t count) {
        std::size_t taken = 0;
        if (field_ != 0) {
            return taken;
        }
        while (count - taken >= 3) {
            const std::int64_t row = values[taken];
            const std::int64_t column = values[taken + 1];
            const std::int64_t distance = values[taken + 2];
            if (!is_position(row, n_) || !is_position(column, n_) || !fits_int32(distance)) {
                break;
            }
            matrix_[row][column] = static_cast<float>(distance);
            taken += 3;
        }
        return taken;
    }

  private:
    float* const* matrix_;
    int n_;
    // fields_[0] is the row, [1] the column, [2] the distance of the triple under way.
    std::int64_t fields_[3] = {0, 0, 0};
    int field_ = 0;
};

}  // namespace

std::optional<DistanceError> parse_distance_triples(ByteSource source, float* const* matrix, int n,
                                                    std::size_t block_size) {
    assert(n >= 0);
    IntegerScanner scanner(std::move(source), block_size);
    TripleReader triple(matrix, n);
    // Line of the first integer of the triple under way, which an incomplete triple names.
    long triple_line = 1;
    // Integers of the last vectorised run, run[0..count-1].
    std::int64_t run[kRunCapacity];
    for (;;) {
        // A run cut short by its capacity then ends on a triple's boundary, and only a run cut
        // short by anything else needs the line of a triple's first integer looked up again.
        const std::size_t count =
            scanner.next_run(run, kRunCapacity - static_cast<std::size_t>(triple.field()));
        if (count > 0) {
            // Index in the run of the first integer of the triple under way, if it began there.
            std::size_t triple_start = count;
            std::size_t k = 0;
            while (k < count) {
                k += triple.take_whole_triples(run + k, count - k);
                if (k == count) {
                    break;
                }
                triple_start = triple.field() == 0 ? k : triple_start;
                if (const std::optional<DistanceProblem> problem = triple.take(run[k])) {
                    scanner.point_at_run_token(k);
                    return error_at(scanner, *problem);
                }
                ++k;
            }
            if (triple.field() != 0 && triple_start < count) {
                scanner.point_at_run_token(triple_start);
                triple_line = scanner.line();
            }
            continue;
        }
        std::int64_t value = 0;
        switch (scanner.next(value)) {
            case ScanResult::end:
                if (triple.field() != 0) {
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
        if (triple.field() == 0) {
            triple_line = scanner.line();
        }
        if (const std::optional<DistanceProblem> problem = triple.take(value)) {
            return error_at(scanner, *problem);
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
    // A long load shows its progress on standard error, when that is a terminal.
    std::error_code size_error;
    const std::uintmax_t size = std::filesystem::file_size(path, size_error);
    ProgressLine progress(stderr, path, size_error ? 0 : size);
    ByteSource counted = [&progress, source = file_source(file)](char* destination,
                                                                 std::size_t capacity) {
        const std::size_t got = source(destination, capacity);
        progress.advance(got);
        return got;
    };
    const std::optional<DistanceError> error =
        parse_distance_triples(std::move(counted), matrix, n);
    progress.finish();
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

}  // namespace dispersao
