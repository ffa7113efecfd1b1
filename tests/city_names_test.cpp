// The names file: line k names position k; blank lines leave a position unnamed.
#include <gtest/gtest.h>

#include "instance/city_names.hpp"

using namespace dispersao;

namespace {

TEST(CityNames, LineKNamesPositionK) {
    const CityNames result = parse_city_names("Lisboa\n  Porto \r\n\nFaro", 5, "nomes.txt");
    ASSERT_EQ(result.status, NamesStatus::read);
    EXPECT_EQ(result.names, (std::vector<std::string>{"", "Lisboa", "Porto", "", "Faro"}));
}

TEST(CityNames, ANameBeyondTheLastPositionFails) {
    const CityNames result = parse_city_names("a\nb\n\n\nc\n", 4, "x/nomes.txt");
    ASSERT_EQ(result.status, NamesStatus::failed);
    EXPECT_EQ(result.message,
              "Erro no arquivo x/nomes.txt, linha 5: nao existe a posicao 5 (as posicoes vao de 0 "
              "a 3).\n");
    // Trailing blank lines beyond the positions are harmless.
    EXPECT_EQ(parse_city_names("a\n\n\n\n\n", 2, "nomes.txt").status, NamesStatus::read);
}

TEST(CityNames, MissingFileMeansNoNamesAndAFolderFails) {
    EXPECT_EQ(read_city_names("/nonexistent/nomes.txt", 3).status, NamesStatus::absent);
    const CityNames folder = read_city_names("/", 3);
    ASSERT_EQ(folder.status, NamesStatus::failed);
    EXPECT_EQ(folder.message, "Erro ao ler o arquivo /.\n");
}

}  // namespace
