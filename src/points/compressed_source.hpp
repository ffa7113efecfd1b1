// Point files compressed with gzip or xz, read as they are decompressed.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "instance/byte_source.hpp"

namespace dispersao {

// How a file is compressed.
enum class Compression { none, gzip, xz };

// The compression the first bytes of a file show: gzip's 1F 8B, xz's FD 37 7A 58 5A 00.
[[nodiscard]] Compression compression_of(std::string_view start);

// Whether a decompressing source met a fault: the data is damaged, or memory ran out.
struct DecompressionState {
    bool damaged = false;
    bool no_memory = false;
};

// Returns a source that hands out the decompressed bytes of `compressed` (a source of the
// compressed bytes, from their start), recording faults in `state`, which ends the text early.
// Precondition: `compression` is not none.
[[nodiscard]] ByteSource decompressing_source(ByteSource compressed, Compression compression,
                                              std::shared_ptr<DecompressionState> state);

}  // namespace dispersao
