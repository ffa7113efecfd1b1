// Scan kernel for AVX-512 (BW, VBMI and VBMI2): classifies a whole 64-byte chunk at once and
// converts up to sixteen short tokens at once; this file is built for those instruction sets
// and runs only where the processor has them.
// g++ 12 takes the deliberately undefined vectors inside its own AVX-512 intrinsics for
// uninitialised variables; the warning says nothing about this file's code.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "instance/scan_kernel_x86.hpp"

namespace dispersao {

namespace {

// Returns the mask of the bytes of `bytes` that lie in first..last, compared as unsigned.
std::uint64_t in_range(__m512i bytes, char first, char last) {
    const __m512i offset = _mm512_sub_epi8(bytes, _mm512_set1_epi8(first));
    return _mm512_cmple_epu8_mask(offset, _mm512_set1_epi8(static_cast<char>(last - first)));
}

// Returns the mask of the bytes of `bytes` equal to `value`.
std::uint64_t equal_to(__m512i bytes, char value) {
    return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(value));
}

ChunkMasks classify(const char* chunk) {
    const __m512i bytes = _mm512_loadu_si512(chunk);
    return {in_range(bytes, '0', '9'), equal_to(bytes, ' ') | in_range(bytes, '\t', '\r'),
            equal_to(bytes, '-'), equal_to(bytes, '\n')};
}

// Byte k is k, for k in 0..63. Kept as plain bytes: a vector constant built before main would
// run AVX-512 instructions on processors without them.
alignas(64) constexpr std::uint8_t kByteIndex[64] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
    22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
    44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};

// Writes the values of the tokens `first`..`first` + 15, whose first and last digits are at the
// byte offsets held in bytes first.. of `starts` and `ends` (offsets into chunk[0..127]), into
// values[0..15] (garbage beyond the last token). Each token takes a 32-bit lane that gathers
// the four bytes ending at its last digit, of which those before its first digit are cleared.
void convert_sixteen(const char* chunk, __m512i starts, __m512i ends, int first,
                     std::int64_t* values) {
    // Byte 4k + j of `spread` is first + k, which copies token k's offsets to all of lane k.
    const __m512i spread = _mm512_add_epi8(
        _mm512_set_epi8(15, 15, 15, 15, 14, 14, 14, 14, 13, 13, 13, 13, 12, 12, 12, 12, 11, 11, 11,
                        11, 10, 10, 10, 10, 9, 9, 9, 9, 8, 8, 8, 8, 7, 7, 7, 7, 6, 6, 6, 6, 5, 5, 5,
                        5, 4, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0),
        _mm512_set1_epi8(static_cast<char>(first)));
    const __m512i back = _mm512_set1_epi32(0x00FFFEFD);  // bytes -3, -2, -1, 0
    const __m512i index = _mm512_add_epi8(_mm512_permutexvar_epi8(spread, ends), back);
    const __mmask64 in_token =
        _mm512_cmpge_epi8_mask(index, _mm512_permutexvar_epi8(spread, starts));
    const __m512i low = _mm512_loadu_si512(chunk);
    const __m512i high = _mm512_loadu_si512(chunk + 64);
    const __m512i bytes = _mm512_permutex2var_epi8(low, index, high);
    const __m512i digits = _mm512_maskz_sub_epi8(in_token, bytes, _mm512_set1_epi8('0'));
    const __m512i pairs = _mm512_maddubs_epi16(digits, _mm512_set1_epi32(0x010A010A));
    const __m512i numbers = _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00010064));
    _mm512_storeu_si512(values, _mm512_cvtepu32_epi64(_mm512_castsi512_si256(numbers)));
    _mm512_storeu_si512(values + 8, _mm512_cvtepu32_epi64(_mm512_extracti64x4_epi64(numbers, 1)));
}

int convert_short(const char* chunk, std::uint64_t digit, std::uint64_t next_digit,
                  std::uint64_t starts, std::int64_t* values) {
    const int tokens = __builtin_popcountll(starts);
    // Last digits at or after the first start: those of every token but, when it runs into the
    // next chunk, the last one, whose last digit is put in by hand.
    const std::uint64_t digit_after = (digit >> 1) | (next_digit << 63);
    const std::uint64_t from_first = ~((starts & (~starts + 1)) - 1);
    const std::uint64_t ends = digit & ~digit_after & from_first;
    const __m512i byte_index = _mm512_load_si512(kByteIndex);
    __m512i end_offsets = _mm512_maskz_compress_epi8(ends, byte_index);
    if (__builtin_popcountll(ends) < tokens) {
        const int last_end = 64 + __builtin_ctzll(~next_digit) - 1;
        end_offsets = _mm512_mask_set1_epi8(end_offsets, __mmask64{1} << (tokens - 1),
                                            static_cast<char>(last_end));
    }
    const __m512i start_offsets = _mm512_maskz_compress_epi8(starts, byte_index);
    convert_sixteen(chunk, start_offsets, end_offsets, 0, values);
    if (tokens > 16) {
        convert_sixteen(chunk, start_offsets, end_offsets, 16, values + 16);
    }
    return tokens;
}

}  // namespace

ScanRun scan_run_avx512(const char* text, const char* end, std::int64_t* values,
                        std::size_t capacity) {
    return scan_plain_integers<classify, convert_short>(text, end, values, capacity);
}

}  // namespace dispersao
