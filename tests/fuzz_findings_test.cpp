// Inputs that fuzzing found mishandled, kept so that they stay handled.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "instance/instance_files.hpp"
#include "menu/console.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

// A "%d" token of more characters than the scanner's token window: a zero written with
// thousands of leading zeros, then `tail`.
std::string long_zero_token(const std::string& tail) {
    return "+" + std::string(IntegerScanner::kTokenWindow + 10, '0') + tail;
}

}  // namespace

// A token longer than the token window used to be parsed when the whole text sat in one block
// and refused when a block boundary fell inside it, so the same file read differently
// depending on where the 1 MiB blocks fell.
TEST(FuzzFindings, OverlongTokenIsRefusedWhateverTheBlockBoundaries) {
    const std::string text = "1 2 " + long_zero_token("7") + "\n";
    for (const std::size_t block : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
        TestMatrix matrix(3);
        const std::optional<DistanceError> error = parse_distance_triples(
            memory_source(text.data(), text.size(), block), matrix.rows(), 3, block);
        ASSERT_TRUE(error) << "block " << block;
        EXPECT_EQ(error->problem, DistanceProblem::out_of_range);
        EXPECT_EQ(error->line, 1);
        EXPECT_EQ(matrix.at(1, 2), 0.0F);
        EXPECT_EQ(matrix.damaged_guards(), 0);

        const std::string count_text = long_zero_token("\xFF");
        const CityCount count =
            parse_city_count(memory_source(count_text.data(), count_text.size(), block));
        EXPECT_EQ(count.status, CountStatus::read);
        EXPECT_EQ(count.value, INT64_MAX) << "block " << block;
    }
}

// Nineteen or more digits at the menu used to overflow a signed 64-bit value (undefined
// behaviour) on their way to the clamp.
TEST(FuzzFindings, MenuChoiceWithManyDigitsClampsWithoutOverflow) {
    char text[] = "9999999999999999999\n-99999999999999999999999 1000000000000000001 2";
    std::FILE* in = fmemopen(text, sizeof text - 1, "r");
    ASSERT_NE(in, nullptr);
    const std::int64_t expected[] = {1'000'000'000'000'000'000, -1'000'000'000'000'000'000,
                                     1'000'000'000'000'000'000, 2};
    for (const std::int64_t value : expected) {
        const MenuInput input = read_menu_input(in);
        EXPECT_EQ(input.kind, MenuInputKind::integer);
        EXPECT_EQ(input.value, value);
    }
    EXPECT_EQ(read_menu_input(in).kind, MenuInputKind::end);
    std::fclose(in);
}
