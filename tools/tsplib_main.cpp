// Entry of dispersao-tsplib: converts a TSPLIB file into the instance files of the working
// directory.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "instance/instance_files.hpp"
#include "tools/conversion.hpp"

namespace {

void report(const char* path, const ConversionError& error) {
    if (error.line > 0) {
        std::fprintf(stderr, "Erro no arquivo %s, linha %ld: %s\n", path, error.line,
                     error.message.c_str());
    } else {
        std::fprintf(stderr, "Erro no arquivo %s: %s\n", path, error.message.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: dispersao-tsplib ARQUIVO.tsp\n");
        return 2;
    }
    const char* const path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "O arquivo %s nao pode ser aberto.\n", path);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        std::fprintf(stderr, "Erro ao ler o arquivo %s.\n", path);
        return 1;
    }
    std::vector<Point> cities;
    if (const auto error = parse_tsplib(text.str(), cities)) {
        report(path, *error);
        return 1;
    }
    if (const auto error = write_instance_files("", cities)) {
        report(path, *error);
        return 1;
    }
    std::printf("%zu cidades gravadas em %s e %s.\n", cities.size(), kCityCountFile, kDistanceFile);
    return 0;
}
