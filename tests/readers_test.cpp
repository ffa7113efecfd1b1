// The instance readers: what "%d" accepts is accepted, whatever the block boundaries, and every
// malformed text is refused with its line and offending token, never writing outside the matrix.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instance/instance_files.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

std::optional<DistanceError> parse(const std::string& text, TestMatrix& matrix, int n,
                                   std::size_t block = SIZE_MAX) {
    return parse_distance_triples(memory_source(text.data(), text.size(), block), matrix.rows(), n);
}

CityCount count_of(const std::string& text) {
    return parse_city_count(memory_source(text.data(), text.size()));
}

}  // namespace

TEST(DistanceReader, StoresTriplesAsWrittenLaterOnesReplacingEarlier) {
    TestMatrix matrix(5);
    // No newline after the last triple; a below-diagonal triple; a repeated cell.
    const std::string text = "1 2 17\n1 2 20\r\n3 1 40\n\t 0  4\n-7\n2 3 +99";
    ASSERT_FALSE(parse(text, matrix, 5));
    EXPECT_EQ(matrix.at(1, 2), 20.0F);
    EXPECT_EQ(matrix.at(2, 1), 0.0F);
    EXPECT_EQ(matrix.at(3, 1), 40.0F);
    EXPECT_EQ(matrix.at(1, 3), 0.0F);
    EXPECT_EQ(matrix.at(0, 4), -7.0F);
    EXPECT_EQ(matrix.at(2, 3), 99.0F);
    EXPECT_EQ(matrix.damaged_guards(), 0);
}

TEST(DistanceReader, ReadsIntegersAsPercentDDoesWithoutSeparators) {
    TestMatrix matrix(4);
    // "%d" needs no blank after a number: "1-2" is 1 then -2, "+3+4" is 3 then 4.
    ASSERT_FALSE(parse("0 1-2 2+3+4 0003 1 000012", matrix, 4));
    EXPECT_EQ(matrix.at(0, 1), -2.0F);
    EXPECT_EQ(matrix.at(2, 3), 4.0F);
    EXPECT_EQ(matrix.at(3, 1), 12.0F);
}

TEST(DistanceReader, GivesTheSameMatrixWhateverTheBlockSize) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        for (int j = i + 1; j < 40; ++j) {
            text += std::to_string(i) + " " + std::to_string(j) + "  " +
                    std::to_string((i * 7919 + j * 104729) % 250 - 20) + "\n";
        }
    }
    TestMatrix whole(40);
    ASSERT_FALSE(parse(text, whole, 40));
    for (const std::size_t block : {1UL, 2UL, 3UL, 7UL, 64UL, 4097UL}) {
        TestMatrix pieces(40);
        ASSERT_FALSE(parse(text, pieces, 40, block)) << block;
        for (int i = 0; i < 40; ++i) {
            for (int j = 0; j < 40; ++j) {
                ASSERT_EQ(pieces.at(i, j), whole.at(i, j)) << block << ": " << i << "," << j;
            }
        }
    }
}

TEST(DistanceReader, EmptyOrBlankTextStoresNothing) {
    TestMatrix matrix(3);
    EXPECT_FALSE(parse("", matrix, 3));
    EXPECT_FALSE(parse(" \n\n\t\r\n", matrix, 3));
    EXPECT_EQ(matrix.at(1, 2), 0.0F);
}

TEST(DistanceReader, RefusesMalformedTextNamingLineAndToken) {
    struct Case {
        std::string text;
        DistanceProblem problem;
        long line;
        std::string token;
    };
    const std::vector<Case> cases = {
        {"1 2 17\n1 2 abc\n", DistanceProblem::not_integer, 2, "abc"},
        {"1 2 17x\n", DistanceProblem::not_integer, 1, "x"},
        {"1 2 3.5\n", DistanceProblem::not_integer, 1, ".5"},
        {"1 2 +\n", DistanceProblem::not_integer, 1, "+"},
        {"1 - 2 3\n", DistanceProblem::not_integer, 1, "-"},
        {"\n\n1 2 2147483648\n", DistanceProblem::out_of_range, 3, "2147483648"},
        {"1 2 -2147483649\n", DistanceProblem::out_of_range, 1, "-2147483649"},
        {"1 2 99999999999999999999999\n", DistanceProblem::out_of_range, 1,
         "99999999999999999999999"},
        {"1 2 3\n4 5 6\n", DistanceProblem::position_out_range, 2, "4"},
        {"1 -1 3\n", DistanceProblem::position_out_range, 1, "-1"},
        {"1 2 3\n\n2 3\n\n", DistanceProblem::incomplete_triple, 3, ""},
        {"1", DistanceProblem::incomplete_triple, 1, ""},
    };
    for (const Case& c : cases) {
        TestMatrix matrix(4);
        const std::optional<DistanceError> error = parse(c.text, matrix, 4);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->problem, c.problem) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_EQ(error->text, c.token) << c.text;
        EXPECT_EQ(matrix.damaged_guards(), 0) << c.text;
    }
}

TEST(DistanceReader, MessagesNameFileLineAndTextInPrintableForm) {
    TestMatrix matrix(4);
    const std::string text = std::string("1 2 3\n1 2 \x01\xE2z") + std::string(60, 'q');
    const std::optional<DistanceError> error = parse(text, matrix, 4);
    ASSERT_TRUE(error);
    EXPECT_EQ(describe_distance_error(*error, "m.txt", 4), "Erro no arquivo m.txt, linha 2: \"??z" +
                                                               std::string(37, 'q') +
                                                               "...\" nao e um numero inteiro.\n");
    EXPECT_EQ(describe_distance_error({DistanceProblem::position_out_range, 9, "7"}, "m.txt", 4),
              "Erro no arquivo m.txt, linha 9: a posicao 7 esta fora do intervalo 0..3.\n");
}

TEST(CountReader, ReadsTheFirstIntegerAsPercentDDoes) {
    EXPECT_EQ(count_of("5").value, 5);
    EXPECT_EQ(count_of("  \n+12 cidades\n").value, 12);
    EXPECT_EQ(count_of("-3").value, -3);
    EXPECT_EQ(count_of("7abc").value, 7);
    const CityCount huge = count_of("123456789012345678901234567890");
    EXPECT_EQ(huge.status, CountStatus::read);
    EXPECT_EQ(huge.value, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(count_of("-123456789012345678901234567890").value,
              std::numeric_limits<std::int64_t>::min());
}

TEST(CountReader, TextWithoutALeadingIntegerHasNoCount) {
    for (const char* text : {"", "   \n", "abc 5", "+ 5", "-x"}) {
        EXPECT_EQ(count_of(text).status, CountStatus::no_integer) << text;
    }
}
