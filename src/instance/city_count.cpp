// Reader of the city count file.
#include <cerrno>
#include <cstdio>

#include "instance/instance_files.hpp"
#include "storage/storage.hpp"

namespace dispersao {

namespace {

// Prints that the count file at `path` cannot be used and takes one character of standard
// input: the menu's read leaves the rest of its line behind, and taking its newline here lets
// the program go on without waiting for the user.
CityCount cannot_open(const char* path, AfterMissingCount after_missing) {
    std::printf("O arquivo %s nao pode ser aberto. \n", path);
    std::fflush(stdout);
    if (after_missing == AfterMissingCount::skip_menu_newline) {
        std::getchar();
    }
    return {CountStatus::cannot_open, -1, ""};
}

}  // namespace

CityCount parse_city_count(ByteSource source) {
    // A count file is tiny; a small block keeps a stray huge file from costing memory.
    IntegerScanner scanner(std::move(source), std::size_t{1} << 16);
    std::int64_t value = 0;
    switch (scanner.next(value)) {
        case ScanResult::integer:
        case ScanResult::out_of_range:
            return {CountStatus::read, value, scanner.token_text()};
        case ScanResult::not_integer:
        case ScanResult::end:
            break;
    }
    return {CountStatus::no_integer, 0, ""};
}

CityCount read_city_count(const char* path, AfterMissingCount after_missing) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        if (errno == ENOMEM) {
            fail_out_of_memory();
        }
        return cannot_open(path, after_missing);
    }
    CityCount count = parse_city_count(file_source(file));
    const bool read_failed = std::ferror(file) != 0;
    std::fclose(file);
    if (read_failed) {
        return cannot_open(path, after_missing);
    }
    if (count.status == CountStatus::no_integer) {
        std::printf("O arquivo %s nao comeca com um numero inteiro.\n", path);
    }
    return count;
}

}  // namespace dispersao
