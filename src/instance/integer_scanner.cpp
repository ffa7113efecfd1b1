// The "%d"-compatible integer scanner.
#include "instance/integer_scanner.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>
#include <limits>

namespace dispersao {

namespace {

[[nodiscard]] bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

IntegerScanner::IntegerScanner(ByteSource source, std::size_t block_size, ScanPath path)
    // The unread tail is always shorter than the token window; one read a refill.
    : BlockBuffer(std::move(source), kTokenWindow, block_size, false), kernel_(run_kernel(path)) {
    assert(block_size > 0);
}

ScanResult IntegerScanner::next_general(std::int64_t& value) {
    // Skip white space, counting line breaks, across as many blocks as it takes.
    for (;;) {
        while (pos_ < end_ && is_space(*pos_)) {
            line_ += (*pos_ == '\n') ? 1 : 0;
            ++pos_;
        }
        if (pos_ < end_ || !refill()) {
            break;
        }
    }
    token_line_ = line_;
    token_start_ = pos_;
    token_length_ = 0;
    if (pos_ == end_) {
        return ScanResult::end;
    }
    // Make the whole token window readable, so that a token cut by a block boundary is
    // parsed as one; a source may hand out fewer bytes than asked for, hence the loop.
    while (static_cast<std::size_t>(end_ - pos_) < kTokenWindow && refill()) {
    }
    token_start_ = pos_;

    const char* digits = pos_;
    if (*digits == '+' || *digits == '-') {
        ++digits;
    }
    if (digits == end_ || !is_digit(*digits)) {
        // Name the whole run of non-blank bytes; scanning stops here, so nothing is consumed.
        const char* run_end = pos_;
        while (run_end < end_ && !is_space(*run_end)) {
            ++run_end;
        }
        token_length_ = static_cast<std::size_t>(run_end - pos_);
        return ScanResult::not_integer;
    }
    const bool negative = *pos_ == '-';
    // from_chars takes a '-' but not a '+', so a '+' is stepped over.
    const auto [stop, error] = std::from_chars(negative ? pos_ : digits, end_, value);
    const char* run_end = stop;
    while (run_end < end_ && is_digit(*run_end)) {
        ++run_end;
    }
    token_length_ = static_cast<std::size_t>(run_end - pos_);
    pos_ = run_end;
    // A token as long as the token window may run past the end of the buffer, so only
    // shorter ones are parsed; no integer that fits in 64 bits needs that many characters
    // but for thousands of leading zeros. Deciding by length alone, rather than by whether
    // the run happens to reach the end of the buffer, keeps the verdict independent of where
    // the block boundaries fall.
    if (error == std::errc::result_out_of_range || token_length_ >= kTokenWindow) {
        value = negative ? std::numeric_limits<std::int64_t>::min()
                         : std::numeric_limits<std::int64_t>::max();
        return ScanResult::out_of_range;
    }
    return ScanResult::integer;
}

std::size_t IntegerScanner::next_vectorised_run(std::int64_t* values, std::size_t capacity) {
    // Keep at least a token window ahead, as next_general would, so that runs stay long.
    if (static_cast<std::size_t>(end_ - pos_) < kTokenWindow) {
        refill();
    }
    const ScanRun run = kernel_(pos_, end_, values, capacity);
    run_start_ = pos_;
    run_line_ = line_;
    pos_ = run.stop;
    line_ += run.newlines;
    return run.count;
}

void IntegerScanner::point_at_run_token(std::size_t k) {
    // The run holds only white space and plain integers, so walking it again is simple.
    const char* p = run_start_;
    long line = run_line_;
    for (std::size_t token = 0;; ++token) {
        while (is_space(*p)) {
            line += (*p == '\n') ? 1 : 0;
            ++p;
        }
        const char* const start = p;
        p += (*p == '-') ? 1 : 0;
        while (is_digit(*p)) {
            ++p;
        }
        if (token == k) {
            token_line_ = line;
            token_start_ = start;
            token_length_ = static_cast<std::size_t>(p - start);
            return;
        }
    }
}

std::string IntegerScanner::token_text() const {
    constexpr std::size_t kShown = 40;
    std::string text(token_start_, std::min(token_length_, kShown));
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            c = '?';
        }
    }
    if (token_length_ > kShown) {
        text += "...";
    }
    return text;
}

}  // namespace dispersao
