// dispersao-bench: measures the program's loading and search against their literal baselines.
//
// Usage: dispersao-bench GERADOR PASTA [CIDADES...]
// GERADOR is the dispersao-gerar tool, PASTA a scratch folder for the generated instances.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/speed_benchmark.hpp"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "uso: %s GERADOR PASTA [CIDADES...]\n", argv[0]);
        return 2;
    }
    SpeedSettings settings{argv[1], argv[2], {}};
    for (int i = 3; i < argc; ++i) {
        int cities = 0;
        const char* end = argv[i] + std::strlen(argv[i]);
        const auto [stop, error] = std::from_chars(argv[i], end, cities);
        if (error != std::errc{} || stop != end || cities < 3) {
            std::fprintf(stderr, "numero de cidades invalido: %s\n", argv[i]);
            return 2;
        }
        settings.cities.push_back(cities);
    }
    if (settings.cities.empty()) {
        settings.cities = {50, 100, 1000, 4000};
    }
    return run_speed_benchmark(settings) ? 0 : 1;
}
