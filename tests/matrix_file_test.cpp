// The distance matrix readers: every CSV layout and MDPLIB, every fault once with its message,
// and the same matrix whatever the block boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "matrix/matrix_file.hpp"
#include "matrix/matrix_lines.hpp"
#include "tests/support/fault_cases.hpp"

using namespace dispersao;

namespace {

// Parses `text`, the source handing out at most `block` bytes per read.
std::optional<MatrixError> parse(const std::string& text, DistanceMatrix& matrix,
                                 std::size_t block = SIZE_MAX) {
    return parse_matrix_text(memory_source(text.data(), text.size(), block), matrix);
}

// The message for `text`, as the file "m" would get it; "" when it reads.
std::string message(const std::string& text) {
    DistanceMatrix matrix;
    const std::optional<MatrixError> error = parse(text, matrix);
    return error ? describe_matrix_error(*error, "m") : "";
}

// The matrix of `text`, which must read.
DistanceMatrix read(const std::string& text, std::size_t block = SIZE_MAX) {
    DistanceMatrix matrix;
    const std::optional<MatrixError> error = parse(text, matrix, block);
    EXPECT_FALSE(error) << describe_matrix_error(*error, "m");
    return matrix;
}

// The 3 x 3 matrix every layout below writes: d(1,2) = 1.5, d(1,3) = 2, d(2,3) = 0.25.
const std::vector<double> kCells = {0, 1.5, 2, 1.5, 0, 0.25, 2, 0.25, 0};

}  // namespace

TEST(MatrixFile, EveryCsvLayoutGivesTheSameMatrix) {
    const std::vector<std::string> layouts = {
        "0,1.5,2\n1.5,0,0.25\n2,0.25,0\n",      "0;1,5;2\r\n1,5;0;0,25\r\n2;0,25;0\r\n",
        "0\t1.5\t2\n1.5\t0\t.25\n2\t0.25\t0",   "  0  1.5 2\n\n1.5 0 0.25   \n 2 0.25 +0\n\n",
        "9,1.5,2\n1.5,x,0.25\n2,0.25,-7\n",  // the diagonal is never read
        "0 1.5e0 2\n15e-1 0 25e-2\n2 0.25 0\n",
    };
    for (const std::string& text : layouts) {
        const DistanceMatrix matrix = read(text);
        EXPECT_EQ(matrix.n, 3U) << text;
        EXPECT_EQ(matrix.cells, kCells) << text;
        EXPECT_TRUE(matrix.names.empty());
        // Any cut of the text into blocks reads the same.
        for (const std::size_t block : {1U, 2U, 7U}) {
            EXPECT_EQ(read(text, block).cells, kCells) << text << block;
        }
    }
}

TEST(MatrixFile, HeadersNameTheRowsWithOrWithoutRowLabels) {
    const DistanceMatrix plain = read("A,\"B \"\"2\"\"\",C\n0,1.5,2\n1.5,0,0.25\n2,0.25,0\n");
    EXPECT_EQ(plain.names, (std::vector<std::string>{"A", "B \"2\"", "C"}));
    EXPECT_EQ(plain.cells, kCells);
    EXPECT_EQ(read("A;Mexico City;C\n0;1,5;2\n1,5;0;0,25\n2;0,25;0\n").names,
              (std::vector<std::string>{"A", "Mexico City", "C"}));
    // Labelled rows, with a corner over the labels and without one.
    for (const std::string& header : {std::string(",A,B,C\n"), std::string("A,B,C\n")}) {
        const DistanceMatrix labelled = read(header + "A,0,1.5,2\nB,1.5,0,0.25\nC,2,0.25,0\n");
        EXPECT_EQ(labelled.cells, kCells) << header;
        EXPECT_EQ(labelled.names, (std::vector<std::string>{"A", "B", "C"}));
    }
}

TEST(MatrixFile, RowsSpanningManyBlocksRead) {
    // 800 columns: rows of about 2.3 kB, read 1 kB at a time.
    const std::size_t n = 800;
    std::string text;
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            text += std::to_string((a + b) % 97 + (a == b ? 0 : 1)) + (b + 1 < n ? " " : "\n");
        }
    }
    const DistanceMatrix matrix = read(text, 1024);
    ASSERT_EQ(matrix.n, n);
    EXPECT_EQ(matrix.cells[1 * n + 2], 4.0);
    EXPECT_EQ(matrix.cells[799 * n + 0], 799 % 97 + 1.0);
}

TEST(MatrixFile, MdplibTriplesInEitherOrderDiagonalIgnored) {
    const DistanceMatrix matrix = read("3 2\n0 1 1.5\n2 0 2\n1 2 0.25\n1 1 9\n0 1 1.5\n");
    EXPECT_EQ(matrix.n, 3U);
    EXPECT_EQ(matrix.cells, kCells);
    // A 2 x 2 CSV matrix is not MDPLIB, though its first line is two whole numbers.
    EXPECT_EQ(read("0 4\n4 0\n").cells, (std::vector<double>{0, 4, 4, 0}));
}

TEST(MatrixFile, ThePublishedMdplibInstanceReads) {
    std::ifstream file(DISPERSAO_BENCH_DATA "/GKD-c_1_n500_m50.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const DistanceMatrix matrix = read(text);
    ASSERT_EQ(matrix.n, 500U);
    EXPECT_EQ(matrix.cells[0 * 500 + 1], 11.17945);
    EXPECT_EQ(matrix.cells[1 * 500 + 0], 11.17945);
    EXPECT_EQ(matrix.cells[4 * 500 + 0], 7.17287);
}

TEST(MatrixFile, EveryFaultNamesItsLineAndText) {
    const test_support::FaultCase cases[] = {
        {"0,1,2\n1,0,3\n2,3.5,0\n",
         "Erro no arquivo m, linha 3: a distancia \"3.5\" de 3 a 2 difere da de 2 a 3 (3).\n"},
        {"0,1\n-1,0\n", "Erro no arquivo m, linha 2: a distancia \"-1\" de 2 a 1 e negativa.\n"},
        {"0,1,2\n1,0\n2,3,0\n", "Erro no arquivo m, linha 2: \"1,0\" tem 2 campos; esperados 3.\n"},
        {"0,1\n1,0\n1,1\n",
         "Erro no arquivo m, linha 3: mais linhas de distancias que as 2 colunas da matriz.\n"},
        {"0,1,2\n1,0,3\n", "Erro no arquivo m: 2 linhas de distancias para 3 colunas.\n"},
        {"0,1,2\n1,0,abc\n2,3,0\n", "Erro no arquivo m, linha 2: \"abc\" nao e um numero.\n"},
        {"A,B\n0,1\nnan,0\n", "Erro no arquivo m, linha 3: \"nan\" nao e um numero.\n"},
        {"A,B\n0,1e999\n1,0\n", "Erro no arquivo m, linha 2: \"1e999\" nao e um numero.\n"},
        // A first row with one bad distance is no header over labels: its corner is a number.
        {"0,NA,2\nNA,0,3\n2,3,0\n", "Erro no arquivo m, linha 1: \"NA\" nao e um numero.\n"},
        {"0;1e999\n1e999;0\n", "Erro no arquivo m, linha 1: \"1e999\" nao e um numero.\n"},
        {"0;1,5\n1,25;0\n",
         "Erro no arquivo m, linha 2: a distancia \"1,25\" de 2 a 1 difere "
         "da de 1 a 2 (1.5).\n"},
        {"A,B,C\n0,1\n1,0\n",
         "Erro no arquivo m, linha 1: o cabecalho tem 3 nomes para 2 colunas de distancias.\n"},
        {"A,B\n", "Erro no arquivo m: o arquivo nao tem distancias, apenas o cabecalho.\n"},
        {"\n \n", "Erro no arquivo m: o arquivo nao tem distancias.\n"},
        {"3 1\n0 1 2\n1 0 2.5\n",
         "Erro no arquivo m, linha 3: a distancia \"2.5\" de 1 a 0 difere da de 0 a 1 (2).\n"},
        {"3 1\n0 1 2\n0 2 -0.5\n",
         "Erro no arquivo m, linha 3: a distancia \"-0.5\" de 0 a 2 e negativa.\n"},
        {"3 1\n0 1 2\n1 2 3\n", "Erro no arquivo m: falta a distancia de 0 a 2.\n"},
        {"3 1\n0 1 2\n1 3 3\n",
         "Erro no arquivo m, linha 3: a posicao \"3\" esta fora do intervalo 0..2.\n"},
        {"3 1\n0 1 2\n1 2\n",
         "Erro no arquivo m, linha 3: \"1 2\" tem 2 campos; esperados 3 (i j d).\n"},
        {"3 1\n0 1.0 2\n",
         "Erro no arquivo m, linha 2: a posicao \"1.0\" nao e um numero inteiro de 0 a 2.\n"},
        {"3 1\n0 1 x\n", "Erro no arquivo m, linha 2: \"x\" nao e um numero.\n"},
        // "nan" and "inf" are numbers someone wrote, not names: a first row holding one is no
        // header that would make the matrix smaller.
        {"0,nan,2\nnan,0,3\n2,3,0\n", "Erro no arquivo m, linha 1: \"nan\" nao e um numero.\n"},
        {"0,1,-inf\n1,0,3\n-inf,3,0\n", "Erro no arquivo m, linha 1: \"-inf\" nao e um numero.\n"},
    };
    test_support::expect_fault_messages(cases, message);
    // A file that cannot be read, and one too large for memory, get their own messages.
    DistanceMatrix matrix;
    const auto folder = read_matrix_file("/", matrix);
    ASSERT_TRUE(folder);
    EXPECT_EQ(describe_matrix_error(*folder, "/"), "O arquivo / nao pode ser lido.\n");
    EXPECT_EQ(message("4000000000 1\n0 1 2\n"),
              "Falta memoria para a matriz de distancias do arquivo m.\n");
}

// A byte-order mark, as spreadsheets write it, opens the text without being part of it.
TEST(MatrixFile, AByteOrderMarkIsNoPartOfTheText) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(read(mark + "0,1.5,2\n1.5,0,0.25\n2,0.25,0\n").cells, kCells);
    const DistanceMatrix named = read(mark + "A,B,C\n0,1.5,2\n1.5,0,0.25\n2,0.25,0\n", 2);
    EXPECT_EQ(named.names, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(read(mark + "3 3\n0 1 1.5\n0 2 2\n1 2 0.25\n").cells, kCells);
}

// A text with no end of line (a device of endless zeros, say) is refused once its first line
// passes the limit, read in blocks, long before memory runs out.
TEST(MatrixFile, AnEndlessLineIsRefusedAtTheLimit) {
    std::size_t handed = 0;
    const ByteSource zeros = [&handed](char* into, std::size_t size) {
        std::fill(into, into + size, '\0');
        handed += size;
        return size;
    };
    DistanceMatrix matrix;
    const std::optional<MatrixError> error = parse_matrix_text(zeros, matrix);
    ASSERT_TRUE(error);
    EXPECT_EQ(describe_matrix_error(*error, "m"),
              "Erro no arquivo m, linha 1: \"????????????????????????????????????????...\" inicia "
              "uma linha longa demais (mais de " +
                  std::to_string(kLongestMatrixLine) + " bytes).\n");
    EXPECT_LT(handed, 2 * kLongestMatrixLine);
}

// The peak resident memory of this process so far, in kilobytes (Linux counts it so).
static long peak_kilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(MatrixFile, AShortFileCostsWhatItHoldsNotWhatItsFirstLineClaims) {
    // Each first line claims 12,000 points (a 1.1 GB matrix); the files end soon after.
    const long before = peak_kilobytes();
    EXPECT_EQ(message("12000 3\n0 1 2\n1 11999 3\n4 5 1\n"),
              "Erro no arquivo m: falta a distancia de 0 a 2.\n");
    std::string wide = "0";
    for (int column = 1; column < 12000; ++column) {
        wide += ",1";
    }
    EXPECT_EQ(message(wide + "\n1,0\n"),
              "Erro no arquivo m, linha 2: \"1,0\" tem 2 campos; esperados 12000.\n");
    EXPECT_LT(peak_kilobytes() - before, 200'000);
    // A row the file never names misses its first pair; an odd order still reads whole.
    EXPECT_EQ(message("3 1\n1 2 1\n2 1 1\n"), "Erro no arquivo m: falta a distancia de 0 a 1.\n");
    EXPECT_EQ(message("4 1\n0 1 1\n0 2 1\n0 3 1\n3 1 1\n"),
              "Erro no arquivo m: falta a distancia de 1 a 2.\n");
    EXPECT_EQ(read("4 6\n3 2 6\n3 1 5\n3 0 4\n2 1 3\n2 0 2\n1 0 1\n").cells,
              (std::vector<double>{0, 1, 2, 4, 1, 0, 3, 5, 2, 3, 0, 6, 4, 5, 6, 0}));
}
