// Entry of dispersao-tsplib: converts a TSPLIB file into the instance files of the working
// directory.
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "console/standard_output.hpp"
#include "instance/instance_files.hpp"
#include "tools/conversion.hpp"
#include "tools/interrupt_cleanup.hpp"

namespace {

void report(const char* path, const ConversionError& error) {
    if (error.line > 0) {
        std::fprintf(stderr, "Erro no arquivo %s, linha %ld: %s\n", path, error.line,
                     error.message.c_str());
    } else {
        std::fprintf(stderr, "Erro no arquivo %s: %s\n", path, error.message.c_str());
    }
}

// Reads the whole file at `path` into `text`; returns 0, or 1 after printing why it cannot.
// A folder given as the file opens but cannot be read, and is reported as unreadable.
int read_whole_file(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        if (errno == ENOMEM) {
            throw std::bad_alloc();
        }
        std::fprintf(stderr, "O arquivo %s nao pode ser aberto.\n", path);
        return 1;
    }
    // Bytes read by one call; 64 KiB keeps the calls few.
    char block[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "Erro ao ler o arquivo %s.\n", path);
        return 1;
    }
    return 0;
}

// Converts the file at `path`; returns the exit status after printing any message.
int convert(const char* path) {
    std::string text;
    if (read_whole_file(path, text) != 0) {
        return 1;
    }
    std::vector<Point> cities;
    if (const auto error = parse_tsplib(text, cities)) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: dispersao-tsplib ARQUIVO.tsp\n");
        return 2;
    }
    remove_temporaries_on_interrupt();
    const char* const path = argv[1];
    int status = 1;
    try {
        status = convert(path);
    } catch (const std::bad_alloc&) {
        // Unwinding has removed the temporary files, and the earlier files were not touched.
        std::fprintf(stderr, "Falta memoria para converter o arquivo %s.\n", path);
    }
    return finish_standard_output(status);
}
