// Reader of the city count file.
#include <cstdio>

#include "instance/instance_files.hpp"

CityCount parse_city_count(ByteSource source) {
    // A count file is tiny; a small block keeps a stray huge file from costing memory.
    IntegerScanner scanner(std::move(source), std::size_t{1} << 16);
    std::int64_t value = 0;
    switch (scanner.next(value)) {
        case ScanResult::integer:
        case ScanResult::out_of_range:
            return {CountStatus::read, value};
        case ScanResult::not_integer:
        case ScanResult::end:
            break;
    }
    return {CountStatus::no_integer, 0};
}

CityCount read_city_count(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        std::printf("O arquivo %s nao pode ser aberto. \n", path);
        std::fflush(stdout);
        // The menu's read leaves the rest of its line behind; taking one character here takes
        // the newline, so the program goes on without waiting for the user.
        std::getchar();
        return {CountStatus::cannot_open, -1};
    }
    const CityCount count = parse_city_count(file_source(file));
    std::fclose(file);
    if (count.status == CountStatus::no_integer) {
        std::printf("O arquivo %s nao comeca com um numero inteiro.\n", path);
    }
    return count;
}
