// The "%d"-compatible integer scanner that both instance readers parse their text with.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "instance/block_buffer.hpp"
#include "instance/byte_source.hpp"
#include "instance/scan_paths.hpp"

namespace dispersao {

// What the next integer of a text turned out to be.
enum class ScanResult {
    integer,       // an integer that fits in 64 bits
    out_of_range,  // an integer too large for 64 bits, or written with too many characters
    not_integer,   // something other than an optionally signed run of decimal digits
    end,           // only white space was left
};

// Reads optionally signed decimal integers from a source exactly as "%d" would: white space of
// any kind before each, a leading + or -, and no separator needed after the last digit
// ("1-2" is the two integers 1 and -2). Counts lines so that errors can name where they are.
class IntegerScanner : private BlockBuffer {
  public:
    // Digits of one integer are parsed from one contiguous stretch of the buffer, so every
    // token shorter than this many bytes is parsed in one go whatever the block boundaries.
    static constexpr std::size_t kTokenWindow = 4096;

    // Scans the text of `source`, pulled `block_size` bytes at a time, on `path`.
    // Precondition: block_size > 0, `path` one of available_scan_paths().
    explicit IntegerScanner(ByteSource source, std::size_t block_size = std::size_t{1} << 20,
                            ScanPath path = scan_path());

    // Scans the next token. For `integer` it stores the value in `value`; for `out_of_range`
    // it stores the largest or smallest 64-bit value, by the sign written.
    [[nodiscard]] ScanResult next(std::int64_t& value) {
        // The common case is handled here, inline in the caller's loop and on local copies of
        // the position and line: an integer that fits, after white space, with a whole token
        // window buffered beyond its start, its end inside the buffer and inside the window. The
        // buffer then holds all that next_general would look at, so the result is the same;
        // anything else goes to next_general, which starts again from the unchanged state.
        const char* p = pos_;
        long line = line_;
        while (p != end_ && is_space(*p)) {
            line += (*p == '\n') ? 1 : 0;
            ++p;
        }
        if (static_cast<std::size_t>(end_ - p) >= kTokenWindow) {
            const bool negative = *p == '-';
            const char* digits = (negative || *p == '+') ? p + 1 : p;
            if (*digits >= '0' && *digits <= '9') {
                const auto [stop, error] = std::from_chars(negative ? p : digits, end_, value);
                if (error == std::errc{} && stop != end_ &&
                    static_cast<std::size_t>(stop - p) < kTokenWindow) {
                    line_ = line;
                    token_line_ = line;
                    token_start_ = p;
                    token_length_ = static_cast<std::size_t>(stop - p);
                    pos_ = stop;
                    return ScanResult::integer;
                }
            }
        }
        return next_general(value);
    }

    // Scans a run of the integers next() would return one by one as `integer`, on a vectorised
    // path, into values[0..count-1] (room for `capacity`), and returns the count. Returns 0 when
    // the next token is for next(): on the portable path always, and otherwise wherever the text
    // holds anything but plain integers of up to 16 digits, or ends within the next 128 bytes.
    // Afterwards line() and token_text() are unset until point_at_run_token says which token.
    [[nodiscard]] std::size_t next_run(std::int64_t* values, std::size_t capacity) {
        return kernel_ == nullptr ? 0 : next_vectorised_run(values, capacity);
    }

    // Makes line() and token_text() describe token k (0-based) of the last run, as they would
    // had next() just returned it. Precondition: k < the count the last next_run returned.
    void point_at_run_token(std::size_t k);

    // Line (1-based) on which the last token began.
    [[nodiscard]] long line() const { return token_line_; }

    // Text of the last token, at most 40 bytes, with unprintable bytes shown as '?'.
    [[nodiscard]] std::string token_text() const;

    // True for the bytes "%d" skips as white space in the C locale.
    [[nodiscard]] static bool is_space(char c) { return kIsSpace[static_cast<unsigned char>(c)]; }

  private:
    static constexpr std::array<bool, 256> kIsSpace = [] {
        std::array<bool, 256> table{};
        for (const unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) {
            table[c] = true;
        }
        return table;
    }();

    // The whole scan, for every case: white space across blocks, tokens cut by a block
    // boundary, signs without digits, and integers out of range.
    [[nodiscard]] ScanResult next_general(std::int64_t& value);

    // next_run on a vectorised path.
    [[nodiscard]] std::size_t next_vectorised_run(std::int64_t* values, std::size_t capacity);

    // The vectorised kernel of the scanner's path, or nullptr on the portable path.
    RunKernel kernel_;
    long line_ = 1;
    long token_line_ = 1;
    const char* token_start_ = nullptr;
    std::size_t token_length_ = 0;
    // Where the last run began, and the line there.
    const char* run_start_ = nullptr;
    long run_line_ = 1;
};

}  // namespace dispersao
