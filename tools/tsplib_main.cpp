// Entry of dispersao-tsplib: converts a TSPLIB file into the instance files of the working
// directory.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "console/standard_output.hpp"
#include "instance/instance_files.hpp"
#include "tools/conversion.hpp"
#include "output/interrupt_cleanup.hpp"

namespace {

// The file being converted, for the memory message.
const char* converted_path = "";

// Removes the temporary files, prints the memory message and ends with status 1.
[[noreturn]] void on_memory_exhaustion() {
    remove_temporaries_now();
    std::fprintf(stderr, "Falta memoria para converter o arquivo %s.\n", converted_path);
    std::exit(1);
}

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
            on_memory_exhaustion();
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
    converted_path = argv[1];
    remove_temporaries_on_interrupt();
    // Exhaustion ends the program at the failing allocation itself, with no unwinding that could
    // itself need memory; the earlier files are untouched at every point where it can happen.
    std::set_new_handler(on_memory_exhaustion);
    return finish_standard_output(convert(converted_path));
}
