// The command-line convention of the companion programs.
#include <gtest/gtest.h>

#include <array>

#include "cli/command_line.hpp"

using namespace dispersao;

namespace {

constexpr std::array<KnownOption, 3> kKnown{
    {{"pasta", '\0', true}, {"json", '\0', false}, {"p", 'p', true}}};

[[nodiscard]] std::variant<CommandLine, std::string> parse(std::vector<const char*> words) {
    words.insert(words.begin(), "programa");
    return parse_command_line(static_cast<int>(words.size()), words.data(), kKnown);
}

TEST(CommandLine, ValuesFollowASpaceOrAnEqualsSign) {
    const auto parsed =
        parse({"a.tsp", "--pasta", "x y", "-p=5", "--json", "--pasta=z", "-p", "7"});
    ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
    const CommandLine& line = std::get<CommandLine>(parsed);
    EXPECT_EQ(line.operands, std::vector<std::string>{"a.tsp"});
    EXPECT_EQ(line.last("pasta"), "z");
    EXPECT_EQ(line.last("p"), "7");
    EXPECT_TRUE(line.has("json"));
    EXPECT_FALSE(line.has("help"));
}

TEST(CommandLine, DoubleDashEndsTheOptionsAndALoneDashIsAnOperand) {
    const auto parsed = parse({"-", "--", "--json", "-p"});
    ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
    EXPECT_EQ(std::get<CommandLine>(parsed).operands,
              (std::vector<std::string>{"-", "--json", "-p"}));
}

TEST(CommandLine, WhatCannotBeFollowedIsSaidInOneLine) {
    EXPECT_EQ(std::get<std::string>(parse({"--ajuda"})), "opcao desconhecida: --ajuda");
    EXPECT_EQ(std::get<std::string>(parse({"-x"})), "opcao desconhecida: -x");
    EXPECT_EQ(std::get<std::string>(parse({"--pasta"})), "falta o valor da opcao --pasta");
    EXPECT_EQ(std::get<std::string>(parse({"--json=1"})), "a opcao --json nao leva valor");
    const auto help = parse({"-h", "--version"});
    ASSERT_TRUE(std::holds_alternative<CommandLine>(help));
    EXPECT_TRUE(std::get<CommandLine>(help).has("help"));
    EXPECT_TRUE(std::get<CommandLine>(help).has("version"));
}

TEST(CommandLine, WholeNumbersAreCheckedWhole) {
    EXPECT_EQ(whole_number_in("12", 2, 20), 12);
    EXPECT_EQ(whole_number_in("1", 2, 20), std::nullopt);
    EXPECT_EQ(whole_number_in("12x", 2, 20), std::nullopt);
    EXPECT_EQ(whole_number_in("", 2, 20), std::nullopt);
    EXPECT_EQ(whole_number_in("99999999999999999999", 2, 20), std::nullopt);
}

}  // namespace
