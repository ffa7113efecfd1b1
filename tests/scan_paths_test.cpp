// Every scanner path against the portable one: the same integers, errors, lines and tokens on
// texts built to put every kind of token at every offset of the kernels' 64-byte chunks.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "instance/instance_files.hpp"
#include "instance/scan_paths.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

constexpr int kPositions = 50;

// Restores the path the process started with when a test ends.
class ScanPathGuard {
  public:
    ScanPathGuard() : saved_(scan_path()) {}
    ~ScanPathGuard() { set_scan_path(saved_); }
    ScanPathGuard(const ScanPathGuard&) = delete;
    ScanPathGuard& operator=(const ScanPathGuard&) = delete;

  private:
    ScanPath saved_;
};

struct Reading {
    std::optional<DistanceError> error;
    TestMatrix matrix{kPositions};
};

Reading read_on(ScanPath path, const std::string& text, std::size_t source_block,
                std::size_t scanner_block) {
    set_scan_path(path);
    Reading reading;
    reading.error = parse_distance_triples(memory_source(text.data(), text.size(), source_block),
                                           reading.matrix.rows(), kPositions, scanner_block);
    return reading;
}

// Expects every path to read `text` as the portable path does, whatever the block sizes.
void expect_same_on_every_path(const std::string& text) {
    const ScanPathGuard guard;
    for (const std::size_t source_block : {std::size_t{1} << 20, std::size_t{97}}) {
        for (const std::size_t scanner_block : {std::size_t{1} << 20, std::size_t{200}}) {
            const Reading reference =
                read_on(ScanPath::portable, text, source_block, scanner_block);
            for (const ScanPath path : available_scan_paths()) {
                SCOPED_TRACE(scan_path_name(path));
                const Reading reading = read_on(path, text, source_block, scanner_block);
                ASSERT_EQ(reading.error.has_value(), reference.error.has_value()) << text;
                if (reference.error) {
                    EXPECT_EQ(reading.error->problem, reference.error->problem);
                    EXPECT_EQ(reading.error->line, reference.error->line);
                    EXPECT_EQ(reading.error->text, reference.error->text);
                }
                EXPECT_TRUE(reading.matrix.same_cells(reference.matrix));
                EXPECT_EQ(reading.matrix.damaged_guards(), 0);
            }
        }
    }
}

// Valid triples of positions below kPositions, the distance drawn from `distances`, with
// varied white space.
std::string triples(std::mt19937& generator, int count, const std::vector<std::string>& distances) {
    const std::vector<std::string> gaps = {" ", "  ", "\t", " \r\n ", "\n"};
    std::uniform_int_distribution<int> position(0, kPositions - 1);
    std::string text;
    for (int t = 0; t < count; ++t) {
        auto pick = [&](const std::vector<std::string>& options) {
            return options[generator() % options.size()];
        };
        text += std::to_string(position(generator)) + pick(gaps) +
                std::to_string(position(generator)) + pick(gaps) + pick(distances) + pick(gaps);
    }
    return text;
}

}  // namespace

TEST(ScanPaths, PortableIsAlwaysThereAndComesFirst) {
    const std::vector<ScanPath> paths = available_scan_paths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), ScanPath::portable);
}

TEST(ScanPaths, PlainTriplesReadAlikeAtEveryOffset) {
    std::mt19937 generator(11);
    const std::vector<std::string> distances = {"7",
                                                "42",
                                                "100",
                                                "0",
                                                "-3",
                                                "-0",
                                                "9999",
                                                "12345",
                                                "99999999",
                                                "1234567890123456",
                                                "-2147483648",
                                                "2147483647",
                                                "0000000000000042"};
    for (int shift = 0; shift < 70; ++shift) {
        expect_same_on_every_path(std::string(static_cast<std::size_t>(shift), ' ') +
                                  triples(generator, 120, distances));
    }
}

TEST(ScanPaths, EveryTokenThePortableScannerLeavesAloneReadsAlike) {
    // Each odd token lands, over the shifts, on every offset of a chunk and across its end.
    const std::vector<std::string> odd = {"+5",
                                          "1-2",
                                          "--4",
                                          "- 4",
                                          "x",
                                          "2.5",
                                          "\x01",
                                          "\xE2",
                                          "12345678901234567",
                                          "00000000000000000007",
                                          "99999999999999999999",
                                          "4294967296",
                                          "-",
                                          "+",
                                          "5+"};
    std::mt19937 generator(5);
    for (const std::string& token : odd) {
        for (int shift = 0; shift < 130; shift += 3) {
            const std::string text = triples(generator, 30, {"8", "61"}) +
                                     std::string(static_cast<std::size_t>(shift), ' ') + "1 2 " +
                                     token + "\n" + triples(generator, 30, {"9"});
            expect_same_on_every_path(text);
        }
    }
}

TEST(ScanPaths, IncompleteTriplesAndOutOfRangePositionsNameTheSameLine) {
    std::mt19937 generator(17);
    for (int extra = 0; extra < 3; ++extra) {
        std::string text = triples(generator, 200, {"1", "22", "333"});
        for (int k = 0; k < extra; ++k) {
            text += "3\n";
        }
        expect_same_on_every_path(text + std::string(5000, ' ') + "\n");
        expect_same_on_every_path(text + "1 " + std::to_string(kPositions + extra) + " 4\n" +
                                  triples(generator, 50, {"5"}));
    }
}
