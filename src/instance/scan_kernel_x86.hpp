// The part of the x86-64 scan kernels that does not depend on the vector width: finding the
// tokens in the byte classes of 64-byte chunks and converting their digits eight at a time.
//
// Included only by the kernel sources, each compiled for its own instruction set; everything
// here has internal linkage, so no copy built for one instruction set is ever shared with code
// built for another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "instance/scan_paths.hpp"

namespace dispersao {

namespace {

// Classes of the 64 bytes of a chunk, bit k for byte k.
struct ChunkMasks {
    std::uint64_t digit;    // '0'..'9'
    std::uint64_t space;    // ' ', '\t', '\n', '\v', '\f', '\r'
    std::uint64_t minus;    // '-'
    std::uint64_t newline;  // '\n'
};

// Returns the classes of chunk[0..63] from those of its kParts equal parts, each classified by
// kClassifyPart with its bits from bit 0 on.
template <int kParts, ChunkMasks (*kClassifyPart)(const char*)>
ChunkMasks join_parts(const char* chunk) {
    constexpr std::ptrdiff_t kPartBytes = 64 / kParts;
    ChunkMasks masks{0, 0, 0, 0};
    for (std::ptrdiff_t part = 0; part < kParts; ++part) {
        const ChunkMasks classes = kClassifyPart(chunk + part * kPartBytes);
        const auto shift = static_cast<int>(part * kPartBytes);
        masks.digit |= classes.digit << shift;
        masks.space |= classes.space << shift;
        masks.minus |= classes.minus << shift;
        masks.newline |= classes.newline << shift;
    }
    return masks;
}

// Returns the value of the eight decimal digits of `word`, one per byte, the first (most
// significant) digit in the lowest byte, each already less '0'.
inline std::uint64_t eight_digits(std::uint64_t word) {
    word = word * 10 + (word >> 8);
    constexpr std::uint64_t kPairMask = 0x000000FF000000FF;
    constexpr std::uint64_t kHigh = 100 + (std::uint64_t{1000000} << 32);
    constexpr std::uint64_t kLow = 1 + (std::uint64_t{10000} << 32);
    return ((word & kPairMask) * kHigh + ((word >> 16) & kPairMask) * kLow) >> 32;
}

// Returns the value of the `length` digits at digits[0..length-1]; 1 <= length <= 8, and eight
// bytes from `digits` on are readable.
inline std::uint64_t short_digits(const char* digits, int length) {
    std::uint64_t word = 0;
    std::memcpy(&word, digits, sizeof word);
    // Bytes beyond the digits may borrow among themselves but never from a digit, since every
    // digit byte is at least '0'; the shift drops them and leaves leading zeros.
    word -= 0x3030303030303030;
    word <<= 8 * (8 - length);
    return eight_digits(word);
}

// Returns the value of the `length` digits at digits[0..length-1]; 1 <= length <= 16, and
// `length` + 8 bytes from `digits` on are readable. (Unused where this header is read alone.)
[[maybe_unused]] inline std::uint64_t digits_value(const char* digits, int length) {
    if (length <= 8) {
        return short_digits(digits, length);
    }
    return short_digits(digits, length - 8) * 100000000 + short_digits(digits + length - 8, 8);
}

// Converts the tokens that start in chunk[0..63], all of 1 to 4 digits and none signed, whose
// starts are the bits of `starts` (not 0) and whose digits are the bits of `digit` and, for the
// last one, of `next_digit` (bytes chunk[64..127]); writes their values to values[0..] and may
// write garbage after them, up to values[31]. Returns how many tokens there were.
using ShortTokenConverter = int (*)(const char* chunk, std::uint64_t digit,
                                    std::uint64_t next_digit, std::uint64_t starts,
                                    std::int64_t* values);

// The kernel of one instruction set, given its chunk classifier (bytes chunk[0..63]) and, where
// the instruction set converts several tokens at once, its converter of short tokens.
template <ChunkMasks (*kClassify)(const char*), ShortTokenConverter kConvertShort = nullptr>
ScanRun scan_plain_integers(const char* text, const char* end, std::int64_t* values,
                            std::size_t capacity) {
    constexpr int kChunk = 64;
    constexpr int kLongestRun = 16;
    // Bytes a pass needs: its chunk and the next.
    constexpr std::ptrdiff_t kWindow = 2 * std::ptrdiff_t{kChunk};
    // A chunk holds at most this many tokens, so a chunk begun with this much room left in
    // `values` needs no check of the room token by token.
    constexpr std::size_t kMostPerChunk = kChunk / 2 + 1;
    // Kept in locals rather than in the result, which the stores to `values` could alias.
    std::size_t count = 0;
    const char* stop = text;
    long newlines = 0;
    const char* chunk = text;
    // Newlines in the chunks before `chunk`; the first byte of the text starts afresh, so no
    // token runs into it.
    long newlines_before = 0;
    std::uint64_t token_carry = 0;
    if (end - chunk < kWindow) {
        return {count, stop, newlines};
    }
    ChunkMasks current = kClassify(chunk);
    // Each pass needs the next chunk's classes for tokens that run over into it.
    while (end - chunk >= kWindow) {
        const ChunkMasks next = kClassify(chunk + kChunk);
        const std::uint64_t token_bytes = current.digit | current.minus;
        const std::uint64_t digit_after = (current.digit >> 1) | (next.digit << 63);
        // Anything but digits, white space and a '-' before a digit goes to the reference.
        const std::uint64_t left_over =
            ~(token_bytes | current.space) | (current.minus & ~digit_after);
        // A token starts at a '-', or at a digit after neither a digit nor a '-'.
        std::uint64_t starts =
            current.minus | (current.digit & ~((token_bytes << 1) | token_carry));
        if (left_over != 0) {
            starts &= (std::uint64_t{1} << __builtin_ctzll(left_over)) - 1;
        }
        const std::uint64_t not_digit_low = ~current.digit;
        const std::uint64_t not_digit_high = ~next.digit;
        // Start (bit) of the last token taken from this chunk, or -1.
        int last_start = -1;
        const bool roomy = capacity - count >= kMostPerChunk;
        bool cut_short = false;
        if constexpr (kConvertShort != nullptr) {
            // Runs of five digits starting at each bit; tokens as long go to the loop below.
            std::uint64_t five = current.digit;
            for (int shift = 1; shift < 5; ++shift) {
                five &= (current.digit >> shift) | (next.digit << (kChunk - shift));
            }
            if (roomy && left_over == 0 && current.minus == 0 && (starts & five) == 0 &&
                starts != 0) {
                count += static_cast<std::size_t>(
                    kConvertShort(chunk, current.digit, next.digit, starts, values + count));
                last_start = kChunk - 1 - __builtin_clzll(starts);
                const std::uint64_t beyond = (not_digit_low >> last_start) |
                                             ((not_digit_high << 1) << (kChunk - 1 - last_start));
                stop = chunk + last_start + __builtin_ctzll(beyond);
                starts = 0;
            }
        }
        while (starts != 0) {
            if (!roomy && count == capacity) {
                cut_short = true;
                break;
            }
            const int start = __builtin_ctzll(starts);
            starts &= starts - 1;
            const int negative = static_cast<int>((current.minus >> start) & 1U);
            const int first_digit = start + negative;
            std::uint64_t beyond = not_digit_high;
            if (first_digit < kChunk) {
                // Two shifts, so that a start at bit 0 shifts by 64 in neither.
                beyond = (not_digit_low >> first_digit) |
                         ((not_digit_high << 1) << (kChunk - 1 - first_digit));
            }
            const int length = beyond == 0 ? kChunk : __builtin_ctzll(beyond);
            if (length > kLongestRun) {
                cut_short = true;
                break;
            }
            const char* const digits = chunk + first_digit;
            const auto magnitude = static_cast<std::int64_t>(digits_value(digits, length));
            values[count++] = negative != 0 ? -magnitude : magnitude;
            stop = digits + length;
            last_start = start;
        }
        if (last_start >= 0) {
            const std::uint64_t before = (std::uint64_t{1} << last_start) - 1;
            newlines = newlines_before + __builtin_popcountll(current.newline & before);
        }
        if (left_over != 0 || cut_short) {
            break;
        }
        newlines_before += __builtin_popcountll(current.newline);
        token_carry = token_bytes >> 63;
        current = next;
        chunk += kChunk;
    }
    return {count, stop, newlines};
}

}  // namespace

}  // namespace dispersao
