// End-to-end sessions: the real binary, scripted input, every output byte and the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/brute_force.hpp"
#include "tests/support/session.hpp"
#include "tests/support/test_matrix.hpp"

namespace {

const std::string kNoInstance = "Nenhuma instancia carregada. Escolha a opcao 1 primeiro.\n";
const std::string kMatrixExhausted = "Falta memoria para alocar a matriz de ponteiros\n";

std::string menus(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kMenu;
    }
    return text;
}

// The value of a printed vector "e0 e1 ... " in the instance, or -1000 unless it selects three.
double value_of(const TestMatrix& instance, const std::string& vector_text) {
    std::istringstream entries(vector_text);
    std::vector<std::size_t> selected;
    int entry = 0;
    int position = 0;
    while (entries >> entry) {
        if (entry == 1) {
            selected.push_back(static_cast<std::size_t>(position));
        }
        ++position;
    }
    if (selected.size() != 3 || position != instance.size()) {
        return -1000;
    }
    return test_support::value_of(selected, test_support::menu_worth_in(instance));
}

const std::string kVector = "((?:[01] )+)";
const std::string kNumber = "(-?[0-9]+\\.[0-9]{6})";
const std::string kRandomReport = "\nSolucao construida de forma aleatoria:\n" + kVector +
                                  "Menor Dist\xE2ncia = " + kNumber + "\n";
const std::string kAnnealingReport =
    "((?:Fo_star = [ 0-9.-]{8} \t Temperatura = [ 0-9.]{8} \n)*)"
    "\nSolucao construida usando o Metodo Simulated Annealing:\n" +
    kVector + "\nMenor dist\xE2ncia encontrada = " + kNumber +
    " \nTempo de CPU = [0-9]+\\.[0-9]{6} segundos\n";

std::string quoted_menu() {
    return std::regex_replace(kMenu, std::regex(R"([*.])"), R"(\$&)");
}

// A file's text and the message the program answers it with.
struct FileCase {
    std::string text;
    std::string message;
};

// A session on a copy of examples/small: the instance as read back from its files, and the
// groups of the pattern its whole output matched (group 0 the whole output; none on no match).
struct SmallSession {
    TestMatrix instance;
    std::vector<std::string> groups;
};

// Runs `input` on a copy of examples/small, expecting exit status 0 and an output that `pattern`
// matches whole.
SmallSession run_small(const std::string& input, const std::string& pattern) {
    SessionFolder folder;
    folder.copy_example("small");
    SmallSession session{read_menu_instance(folder.path()), {}};
    const SessionResult result = folder.run(input);
    EXPECT_EQ(result.status, 0);
    std::smatch match;
    if (!std::regex_match(result.output, match, std::regex(pattern))) {
        ADD_FAILURE() << result.output;
        return session;
    }
    for (const auto& group : match) {
        session.groups.push_back(group.str());
    }
    return session;
}

}  // namespace

TEST(Menu, EndsOnZeroOrEndOfInputWithStatusZero) {
    const SessionFolder folder;
    EXPECT_EQ(folder.run("0\n").output, kMenu);
    EXPECT_EQ(folder.run("0\n").status, 0);
    // No files are needed until choice 1; the end of input counts as choice 0.
    const SessionResult ended = folder.run("");
    EXPECT_EQ(ended.output, kMenu);
    EXPECT_EQ(ended.status, 0);
    EXPECT_EQ(folder.run("   \n\n").output, kMenu);
}

TEST(Menu, ShowsItselfAgainAfterAnyOtherInput) {
    const SessionFolder folder;
    // Out of range, non-integers (the rest of their line is dropped), a lone sign, overflow.
    const SessionResult result =
        folder.run("3\n-1\nabc 1\n2x\n+\n99999999999999999999999\n1.5\n0\n");
    // "1.5" reads 1 (which loads, failing on the missing count file) and then ".5" is rejected.
    EXPECT_EQ(result.output, menus(4) + kNoInstance + menus(4) +
                                 "O arquivo numcidades.txt nao pode ser aberto. \n" + menus(2));
    EXPECT_EQ(result.status, 0);
}

TEST(Menu, ChoiceTwoWithoutAnInstanceSaysSo) {
    const SessionFolder folder;
    const SessionResult result = folder.run("2\n2\n0\n");
    EXPECT_EQ(result.output, kMenu + kNoInstance + kMenu + kNoInstance + kMenu);
}

TEST(Loading, MissingOrUnreadableCountFileGoesBackToTheMenu) {
    for (const bool folder_in_its_place : {false, true}) {
        const SessionFolder folder;
        folder.write("MatrizDistanciasteste.txt", "1 2 3\n");
        if (folder_in_its_place) {
            std::filesystem::create_directory(folder.path() / "numcidades.txt");
        }
        // The newline after "1" is the character the failure discards, so "2" is read next.
        const SessionResult result = folder.run("1\n2\n0\n");
        EXPECT_EQ(result.output, kMenu + "O arquivo numcidades.txt nao pode ser aberto. \n" +
                                     kMenu + kNoInstance + kMenu)
            << folder_in_its_place;
        EXPECT_EQ(result.status, 0);
    }
}

TEST(Loading, MissingDistanceFileEndsWithStatusOne) {
    const SessionFolder folder;
    folder.write("numcidades.txt", "4\n");
    const SessionResult result = folder.run("1\n0\n");
    EXPECT_EQ(result.output, kMenu + "O Arquivo MatrizDistanciasteste.txt nao pode ser aberto.\n");
    EXPECT_EQ(result.status, 1);
}

TEST(Loading, UnusableCountsLoadNothing) {
    const FileCase cases[] = {
        {"1\n", "O arquivo numcidades.txt indica 1 cidades; sao necessarias pelo menos 2.\n"},
        {"-5\n", "O arquivo numcidades.txt indica -5 cidades; sao necessarias pelo menos 2.\n"},
        // Beyond 64 bits, or too long to read, a negative count is still said as written.
        {"-99999999999999999999\n",
         "O arquivo numcidades.txt indica -99999999999999999999 "
         "cidades; sao necessarias pelo menos 2.\n"},
        {"-" + std::string(5000, '0') + "7\n", "O arquivo numcidades.txt indica -" +
                                                   std::string(39, '0') +
                                                   "... cidades; sao necessarias pelo menos 2.\n"},
        {"", "O arquivo numcidades.txt nao comeca com um numero inteiro.\n"},
        {"doze\n", "O arquivo numcidades.txt nao comeca com um numero inteiro.\n"},
    };
    for (const auto& c : cases) {
        const SessionFolder folder;
        folder.write("numcidades.txt", c.text);
        folder.write("MatrizDistanciasteste.txt", "0 1 5\n");
        const SessionResult result = folder.run("1\n2\n0\n");
        EXPECT_EQ(result.output, kMenu + c.message + kMenu + kNoInstance + kMenu) << c.text;
        EXPECT_EQ(result.status, 0);
    }
}

TEST(Loading, CountsTooLargeForMemoryEndBeforeAllocating) {
    for (const char* count : {"2147483646", "2147483647", "99999999999999999999", "200000000"}) {
        const SessionFolder folder;
        folder.write("numcidades.txt", count);
        folder.write("MatrizDistanciasteste.txt", "0 1 5\n");
        const SessionResult result = folder.run("1\n0\n");
        EXPECT_EQ(result.output, kMenu + kMatrixExhausted) << count;
        EXPECT_EQ(result.status, 1) << count;
    }
}

TEST(Loading, MalformedDistanceFilesAreRefusedAndNothingStaysLoaded) {
    const FileCase cases[] = {
        {"0 1 5\n1 2 cinco\n", "linha 2: \"cinco\" nao e um numero inteiro.\n"},
        {"0 1 5\n0 2 4294967296\n",
         "linha 2: o numero 4294967296 esta fora do intervalo de 32 bits.\n"},
        {"0 1 5\n\n1 3 7\n", "linha 3: a posicao 3 esta fora do intervalo 0..2.\n"},
        {"0 1 5\n0 -2 7\n", "linha 2: a posicao -2 esta fora do intervalo 0..2.\n"},
        {"0 1 5\n0 2", "linha 2: o arquivo termina no meio de uma tripla.\n"},
    };
    for (const auto& c : cases) {
        const SessionFolder folder;
        folder.write("numcidades.txt", "2\n");
        folder.write("MatrizDistanciasteste.txt", c.text);
        const SessionResult result = folder.run("1\n2\n0\n");
        EXPECT_EQ(result.output, kMenu + "Erro no arquivo MatrizDistanciasteste.txt, " + c.message +
                                     kMenu + kNoInstance + kMenu)
            << c.text;
        EXPECT_EQ(result.status, 0);
    }
}

TEST(RandomStart, PrintsThreeSelectedPositionsAndWhatTheyAreWorth) {
    // Choice 1 twice reloads and builds a new start each time.
    const SmallSession session = run_small(
        "1\n1\n0\n", quoted_menu() + kRandomReport + quoted_menu() + kRandomReport + quoted_menu());
    const std::vector<std::string>& match = session.groups;
    ASSERT_FALSE(match.empty());
    for (const std::size_t group : {1U, 3U}) {
        EXPECT_EQ(value_of(session.instance, match[group]), std::stod(match[group + 1]))
            << match[group];
    }
}

TEST(RandomStart, SmallestInstanceOfThreePositionsWorks) {
    SessionFolder folder;
    folder.write("numcidades.txt", "2\n");
    folder.write("MatrizDistanciasteste.txt", "0 1 40\n0 2 70\n1 2 55\n");
    const SessionResult result = folder.run("1\n2\n0\n");
    const std::string start =
        "\nSolucao construida de forma aleatoria:\n1 1 1 Menor Dist\xE2ncia = 40.000000\n";
    ASSERT_EQ(result.output.substr(0, kMenu.size() + start.size() + kMenu.size()),
              kMenu + start + kMenu);
    EXPECT_NE(result.output.find("\nMenor dist\xE2ncia encontrada = 40.000000 \n"),
              std::string::npos);
}

TEST(Annealing, WholeSessionReportsWhatItsVectorsAreWorth) {
    const SmallSession session =
        run_small("1\n2\n2\n0\n", quoted_menu() + kRandomReport + quoted_menu() + kAnnealingReport +
                                      quoted_menu() + kAnnealingReport + quoted_menu());
    const std::vector<std::string>& match = session.groups;
    ASSERT_FALSE(match.empty());
    const double start = std::stod(match[2]);
    const double first = std::stod(match[5]);
    const double second = std::stod(match[8]);
    EXPECT_EQ(value_of(session.instance, match[1]), start);
    EXPECT_EQ(value_of(session.instance, match[4]), first);
    EXPECT_EQ(value_of(session.instance, match[7]), second);
    EXPECT_GE(first, start);
    EXPECT_GE(second, first);
    // Progress lines of a run climb strictly and end at the reported value.
    for (const std::size_t group : {3U, 6U}) {
        std::istringstream lines(match[group]);
        std::string line;
        double last = -1e9;
        while (std::getline(lines, line)) {
            double value = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "Fo_star = %lf", &value), 1);
            EXPECT_GT(value, last);
            last = value;
        }
        if (!match[group].empty()) {
            EXPECT_EQ(last, std::stod(match[group + 2]));
        }
    }
}

TEST(Output, StandardOutputThatCannotBeWrittenIsAnError) {
    const SessionFolder folder;
    folder.copy_example("small");
    folder.write(".input", "1\n2\n0\n");
    const auto run = [&](const std::string& redirection) {
        const std::string command = "cd '" + folder.path().string() + "' && '" + DISPERSAO_BINARY +
                                    "' < .input 2> .errors " + redirection;
        const int raw = std::system(command.c_str());
        return std::pair{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.read(".errors")};
    };
    for (const char* redirection : {"> /dev/full", ">&-"}) {
        EXPECT_EQ(run(redirection),
                  std::pair(1, std::string("Erro ao escrever na saida padrao.\n")))
            << redirection;
    }
    // A reader that stops early ends the program quietly, as it would end any filter.
    EXPECT_EQ(run("| head -c 10 > /dev/null").second, "");
}
