// Fuzz target for the city-count reader: any text, parsed in one block and in tiny blocks.
//
// Input layout: byte 0 picks the largest block of the second parse (1..8 bytes), the rest is
// the text of the count file. Both parses must give the same status and value.
#include <cstdint>
#include <cstdlib>

#include "instance/instance_files.hpp"

using namespace dispersao;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t block = 1 + data[0] % 8;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;

    const CityCount whole = parse_city_count(memory_source(text, length));
    const CityCount pieces = parse_city_count(memory_source(text, length, block));
    if (whole.status != pieces.status || whole.value != pieces.value) {
        std::abort();
    }
    if (whole.status == CountStatus::no_integer && whole.value != 0) {
        std::abort();
    }
    return 0;
}
