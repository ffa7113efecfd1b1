// The integer scanner gives the same tokens, values, lines and texts however its input is cut
// into blocks, on texts long enough that its buffered fast path takes most tokens. (Tokens
// longer than the scanner's token window are outside that promise and not tried.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "instance/instance_files.hpp"
#include "instance/integer_scanner.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

struct Token {
    ScanResult result;
    std::int64_t value;
    long line;
    std::string text;

    bool operator==(const Token&) const = default;
};

// Every token of `text` up to the end or the first token that is not an integer, read with a
// scanner of `block_size` over a source handing out at most `max_block` bytes at a time.
std::vector<Token> scan_all(const std::string& text, std::size_t block_size,
                            std::size_t max_block) {
    IntegerScanner scanner(memory_source(text.data(), text.size(), max_block), block_size);
    std::vector<Token> tokens;
    for (;;) {
        std::int64_t value = 0;
        const ScanResult result = scanner.next(value);
        tokens.push_back({result, value, scanner.line(), scanner.token_text()});
        if (result == ScanResult::end || result == ScanResult::not_integer) {
            return tokens;
        }
    }
}

// A long text of integers as "%d" accepts them: every kind of white space, signs, leading
// zeros, integers run together ("5-6"), a few beyond 64 bits, then `tail`.
std::string varied_text(std::uint32_t seed, const std::string& tail) {
    std::mt19937 engine(seed);
    const std::vector<std::string> spaces = {" ", " ", " ", "\n", "\n", "\t", "\r\n", "  \n\v\f "};
    const std::vector<std::string> odd = {"+17",
                                          "-0",
                                          "+0",
                                          "0007",
                                          "-2147483648",
                                          "99999999999999999999",
                                          "-99999999999999999999",
                                          "9223372036854775807"};
    std::string text;
    while (text.size() < 300'000) {
        const auto pick = engine() % 100;
        if (pick < 3) {
            text += odd[engine() % odd.size()];
        } else if (pick < 5) {
            text += std::to_string(engine() % 1000) + "-" + std::to_string(engine() % 1000);
        } else {
            text += std::to_string(static_cast<int>(engine() % 5000) - 100);
        }
        text += spaces[engine() % spaces.size()];
    }
    return text + tail;
}

TEST(ScannerBlocks, SameTokensWhateverTheBlocks) {
    const std::vector<std::string> tails = {
        "", "12", "12x", "+", "- 3", "7 abc 8", std::string(4000, '0') + "7"};
    for (const std::string& tail : tails) {
        SCOPED_TRACE("tail \"" + tail.substr(0, 10) + "\"");
        const std::string text = varied_text(static_cast<std::uint32_t>(tail.size()) + 1, tail);
        const std::vector<Token> one_block = scan_all(text, std::size_t{1} << 20, SIZE_MAX);
        ASSERT_GT(one_block.size(), 40'000U);
        EXPECT_EQ(scan_all(text, 1000, SIZE_MAX), one_block);
        EXPECT_EQ(scan_all(text, std::size_t{1} << 20, 1), one_block);
        EXPECT_EQ(scan_all(text, std::size_t{1} << 20, 4095), one_block);
        EXPECT_EQ(scan_all(text, 65536, 4097), one_block);
    }
}

TEST(ScannerBlocks, DistanceErrorsNameTheSameLine) {
    // A long valid file with one bad line far into it, read in one block and in tiny pieces.
    std::string text;
    for (int row = 1; row < 300; ++row) {
        for (int column = row + 1; column < 300; column += 7) {
            text += std::to_string(row) + " " + std::to_string(column) + " " +
                    std::to_string(row * column % 97) + "\n";
        }
    }
    const std::vector<std::string> bad_lines = {"5 9 1e3\n", "5 300 4\n", "-1 2 3\n",
                                                "5 9 4294967296\n"};
    for (const std::string& bad : bad_lines) {
        SCOPED_TRACE(bad);
        const std::string file = text + bad + "1 2 3\n";
        TestMatrix matrix(300);
        const auto whole =
            parse_distance_triples(memory_source(file.data(), file.size()), matrix.rows(), 300);
        const auto pieces =
            parse_distance_triples(memory_source(file.data(), file.size(), 3), matrix.rows(), 300);
        ASSERT_TRUE(whole.has_value());
        ASSERT_TRUE(pieces.has_value());
        EXPECT_EQ(whole->problem, pieces->problem);
        EXPECT_EQ(whole->text, pieces->text);
        EXPECT_EQ(whole->line, pieces->line);
        EXPECT_EQ(whole->line, static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1);
    }
}

}  // namespace
