// Entry of dispersao-exato-base: the straightforward exact search that dispersao-exato is timed
// against. It reads the two instance files with fscanf and, for each threshold t from 100 down,
// builds the bitset rows of the pairs worth at least t and looks for a triangle among them.
// Only distances of 0 and more are considered; it exists for timing, not for use.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

int main() {
    std::FILE* count_file = std::fopen("numcidades.txt", "r");
    int cities = 0;
    if (count_file == nullptr || std::fscanf(count_file, "%d", &cities) != 1 || cities < 2) {
        std::printf("numcidades.txt ausente ou invalido\n");
        return 1;
    }
    std::fclose(count_file);
    const int n = cities + 1;
    const auto size = static_cast<std::size_t>(n);
    std::vector<float> matrix(size * size, 0.0F);
    std::FILE* distance_file = std::fopen("MatrizDistanciasteste.txt", "r");
    if (distance_file == nullptr) {
        std::printf("MatrizDistanciasteste.txt ausente\n");
        return 1;
    }
    int i = 0;
    int j = 0;
    int d = 0;
    while (std::fscanf(distance_file, "%d %d %d", &i, &j, &d) == 3) {
        if (i >= 0 && i < n && j >= 0 && j < n) {
            matrix[static_cast<std::size_t>(i) * size + static_cast<std::size_t>(j)] =
                static_cast<float>(d);
        }
    }
    std::fclose(distance_file);

    const std::clock_t start = std::clock();
    const std::size_t words = (size + 63) / 64;
    std::vector<std::uint64_t> rows(size * words);
    for (int t = 100; t >= 0; --t) {
        std::fill(rows.begin(), rows.end(), 0);
        for (std::size_t p = 0; p < size; ++p) {
            for (std::size_t q = p + 1; q < size; ++q) {
                if (matrix[p * size + q] >= static_cast<float>(t)) {
                    rows[p * words + q / 64] |= std::uint64_t{1} << (q % 64);
                    rows[q * words + p / 64] |= std::uint64_t{1} << (p % 64);
                }
            }
        }
        for (std::size_t p = 0; p < size; ++p) {
            for (std::size_t q = p + 1; q < size; ++q) {
                if ((rows[p * words + q / 64] >> (q % 64) & 1U) == 0) {
                    continue;
                }
                for (std::size_t w = 0; w < words; ++w) {
                    const std::uint64_t common = rows[p * words + w] & rows[q * words + w];
                    if (common != 0) {
                        const std::size_t r =
                            w * 64 + static_cast<std::size_t>(std::countr_zero(common));
                        std::printf("Menor distancia = %d (posicoes %zu %zu %zu)\n", t, p, q, r);
                        std::printf("Tempo de CPU = %f segundos\n",
                                    static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
                        return 0;
                    }
                }
            }
        }
    }
    std::printf("Nenhum trio com distancias de 0 ou mais\n");
    return 0;
}
