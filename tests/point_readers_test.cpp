// The TSPLIB and CSV point readers: every rule and layout they accept, every fault once, with
// its message, and the same result whatever the block boundaries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "points/point_files.hpp"
#include "tests/support/fault_cases.hpp"

using namespace dispersao;

namespace {

// Parses `text` in `format`, the source handing out at most `block` bytes per read.
std::optional<PointError> parse(PointFormat format, const std::string& text, PointSet& points,
                                std::size_t block = SIZE_MAX) {
    const ByteSource source = memory_source(text.data(), text.size(), block);
    return format == PointFormat::tsplib ? parse_tsplib_points(source, points)
                                         : parse_csv_points(source, points);
}

// The message for `text`, as the file "f" would get it; "" when it reads.
std::string message(PointFormat format, const std::string& text) {
    PointSet points;
    const std::optional<PointError> error = parse(format, text, points);
    return error ? describe_point_error(*error, "f") : "";
}

const std::string kTsplibHeader = "NAME : t\nTYPE : TSP\nDIMENSION : 3\nEDGE_WEIGHT_TYPE : ";

}  // namespace

TEST(TsplibPoints, ReadsEveryRuleWithIdsAsWritten) {
    const struct {
        std::string type;
        DistanceRule rule;
    } rules[] = {{"EUC_2D", DistanceRule::tsplib_euc_2d},
                 {"CEIL_2D", DistanceRule::tsplib_ceil_2d},
                 {"ATT", DistanceRule::tsplib_att},
                 {"GEO", DistanceRule::tsplib_geo}};
    for (const auto& r : rules) {
        PointSet points;
        const std::string text =
            kTsplibHeader + r.type + "\nNODE_COORD_SECTION\n3 1.5 -2\n1 6.0e1 7\n2 0 0\nEOF\n";
        ASSERT_FALSE(parse(PointFormat::tsplib, text, points)) << r.type;
        EXPECT_EQ(points.rule, r.rule);
        EXPECT_EQ(tsplib_rule_name(r.rule), r.type);
        EXPECT_EQ(points.ids, (std::vector<std::int64_t>{3, 1, 2}));
        EXPECT_EQ(points.x, (std::vector<double>{1.5, 60, 0}));
        EXPECT_EQ(points.y, (std::vector<double>{-2, 7, 0}));
        EXPECT_TRUE(points.names.empty());
    }
    EXPECT_EQ(tsplib_rule_name(DistanceRule::euclidean), "");
}

TEST(TsplibPoints, KeywordsWithAnyColonSpacingCrlfAndNoEof) {
    const std::string text =
        "NAME: t\r\nCOMMENT : a : b\r\nDIMENSION:2\r\nEDGE_WEIGHT_TYPE :EUC_2D\r\n"
        "NODE_COORD_TYPE : TWOD_COORDS\r\nNODE_COORD_SECTION :\r\n\r\n1 5 5\r\n  2   7 7  \r\n";
    PointSet points;
    ASSERT_FALSE(parse(PointFormat::tsplib, text, points));
    EXPECT_EQ(points.size(), 2U);
    EXPECT_EQ(points.x[1], 7);
    // A byte-order mark before the first keyword is no part of it.
    EXPECT_EQ(message(PointFormat::tsplib, "\xEF\xBB\xBF" + text), "");
    // What follows EOF or another section is not read.
    EXPECT_EQ(message(PointFormat::tsplib, text + "EOF\nrubbish\n"), "");
    EXPECT_EQ(message(PointFormat::tsplib, text + "DISPLAY_DATA_SECTION\n1 2 3\n"), "");
}

TEST(TsplibPoints, EachFaultNamesLineAndText) {
    const std::string coords = "NODE_COORD_SECTION\n";
    // A sound header for three points; what follows it is the case.
    const std::string geo_points = kTsplibHeader + "GEO\n" + coords;
    const test_support::FaultCase cases[] = {
        {"", "Erro no arquivo f: falta a secao NODE_COORD_SECTION.\n"},
        {"DIMENSION : tres\n",
         "Erro no arquivo f, linha 1: DIMENSION \"tres\" nao e um inteiro de 1 a 1073741824.\n"},
        {"EDGE_WEIGHT_TYPE : EXPLICIT\n",
         "Erro no arquivo f, linha 1: EDGE_WEIGHT_TYPE \"EXPLICIT\" nao e suportado (use EUC_2D, "
         "CEIL_2D, ATT ou GEO).\n"},
        {"NODE_COORD_TYPE : THREED_COORDS\n",
         "Erro no arquivo f, linha 1: NODE_COORD_TYPE \"THREED_COORDS\" nao e suportado (so "
         "TWOD_COORDS).\n"},
        {"DIMENSION : 2\nEOF\n",
         "Erro no arquivo f, linha 2: o arquivo termina antes de NODE_COORD_SECTION.\n"},
        {"CIDADES : 2\n",
         "Erro no arquivo f, linha 1: \"CIDADES\" nao e uma palavra-chave TSPLIB aceita.\n"},
        {"EDGE_WEIGHT_TYPE : ATT\n" + coords,
         "Erro no arquivo f, linha 2: falta DIMENSION antes de NODE_COORD_SECTION.\n"},
        {"DIMENSION : 2\n" + coords,
         "Erro no arquivo f, linha 2: falta EDGE_WEIGHT_TYPE antes de NODE_COORD_SECTION.\n"},
        {geo_points + "1 2\n", "Erro no arquivo f, linha 6: \"1 2\" nao e uma linha \"id x y\".\n"},
        {geo_points + "1.5 2 3\n",
         "Erro no arquivo f, linha 6: o id \"1.5\" nao e um numero inteiro.\n"},
        {geo_points + "1 2 nan\n",
         "Erro no arquivo f, linha 6: a coordenada \"nan\" nao e um numero.\n"},
        {geo_points + "1 -90.5 3\n",
         "Erro no arquivo f, linha 6: a latitude \"-90.5\" esta fora do intervalo -90..90 (em "
         "GEO, x e a latitude).\n"},
        {geo_points + "4 2 3\n",
         "Erro no arquivo f, linha 6: o id 4 esta fora do intervalo 1..3.\n"},
        {geo_points + "2 2 3\n2 2 3\n",
         "Erro no arquivo f, linha 7: o id 2 aparece mais de uma vez.\n"},
        {geo_points + "1 0 0\n2 0 0\n3 0 0\n4 0 0\n",
         "Erro no arquivo f, linha 9: ha mais pontos que DIMENSION (3).\n"},
        {geo_points + "1 0 0\nEOF\n",
         "Erro no arquivo f, linha 7: o arquivo tem 1 pontos, mas DIMENSION indica 3.\n"},
        {geo_points + "1 0 0\n2 0 0",
         "Erro no arquivo f, linha 7: o arquivo tem 2 pontos, mas DIMENSION indica 3.\n"},
    };
    test_support::expect_fault_messages(
        cases, [](const std::string& text) { return message(PointFormat::tsplib, text); });
}

TEST(CsvPoints, ColumnsInAnyOrderQuotedNamesAndRowIds) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Nome,cor, LON ,lat\r\n"
        "\"Sao Paulo, SP\",azul,-46.63,-23.55\r\n"
        "\r\n"
        "  \"Diz \"\"oi\"\"\"  ,,\"10\",20\n"
        "Lugar sem aspas ,x,0,0";
    PointSet points;
    ASSERT_FALSE(parse(PointFormat::csv, text, points));
    EXPECT_EQ(points.rule, DistanceRule::great_circle_km);
    EXPECT_EQ(points.ids, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(points.x, (std::vector<double>{-23.55, 20, 0}));
    EXPECT_EQ(points.y, (std::vector<double>{-46.63, 10, 0}));
    EXPECT_EQ(points.names,
              (std::vector<std::string>{"Sao Paulo, SP", "Diz \"oi\"", "Lugar sem aspas"}));
    // x, y without names; a header with no rows is an empty set.
    ASSERT_FALSE(parse(PointFormat::csv, "y,x\n1,2\n1,2\n", points));
    EXPECT_EQ(points.rule, DistanceRule::euclidean);
    EXPECT_EQ(points.x, (std::vector<double>{2, 2}));
    EXPECT_TRUE(points.names.empty());
    ASSERT_FALSE(parse(PointFormat::csv, "x,y\n", points));
    EXPECT_EQ(points.size(), 0U);
}

// A quoted cell of several lines, as spreadsheets (and the --csv output) write it, is one row
// whose name keeps its breaks; the rows after it keep their own line numbers, and a quote
// never closed is still named at the line that opened it.
TEST(CsvPoints, QuotedCellsSpanLines) {
    PointSet points;
    ASSERT_FALSE(parse(PointFormat::csv,
                       "nome,x,y\n\"Rua A\nBloco \"\"2\"\"\n\",1,2\nfim,3,4\nsem \"aspas,5,6\n",
                       points));
    EXPECT_EQ(points.names,
              (std::vector<std::string>{"Rua A\nBloco \"2\"\n", "fim", "sem \"aspas"}));
    EXPECT_EQ(points.x, (std::vector<double>{1, 3, 5}));
    EXPECT_EQ(message(PointFormat::csv, "nome,x,y\n\"a\nb\",1,2\nc,d,3\n"),
              "Erro no arquivo f, linha 4: \"d\" nao e um numero.\n");
    EXPECT_EQ(message(PointFormat::csv, "nome,x,y\nc,1,2\n\"a,1,2\nb,3,4\n"),
              "Erro no arquivo f, linha 3: as aspas de \"\"a,1,2?b,3,4\" nao se fecham.\n");
}

TEST(CsvPoints, EachFaultNamesLineAndText) {
    const test_support::FaultCase cases[] = {
        {"\n\n", "Erro no arquivo f: o arquivo esta vazio; falta o cabecalho (x,y ou lat,lon).\n"},
        {"x|y\n1|2\n",
         "Erro no arquivo f, linha 1: o cabecalho \"x|y\" tem uma coluna so: separe as colunas "
         "com virgula, ponto e virgula ou tabulacao.\n"},
        {"Nome;Cidade\n",
         "Erro no arquivo f, linha 1: o cabecalho \"Nome;Cidade\" (separador ponto e virgula) nao "
         "nomeia as colunas x e y nem lat e lon.\n"},
        {"Nome;Latitude;Altura\n",
         "Erro no arquivo f, linha 1: falta a coluna lon, lng, long ou longitude no cabecalho "
         "\"Nome;Latitude;Altura\" (separador ponto e virgula).\n"},
        {"lat,lon\n-23,55,-46,63\n",
         "Erro no arquivo f, linha 2: \"-23,55,-46,63\" tem 4 campos; o cabecalho tem 2 "
         "(separador virgula); numeros com virgula decimal pedem colunas separadas por ponto e "
         "virgula.\n"},
        {"lat,lon\n\"-23,55\",1\n",
         "Erro no arquivo f, linha 2: \"\"-23,55\"\" nao e um numero (a virgula decimal so vale "
         "com colunas separadas por ponto e virgula ou tabulacao).\n"},
        // Columns already apart by semicolons: a hint about the separator would mislead.
        {"x;y\n1,2,3;4\n", "Erro no arquivo f, linha 2: \"1,2,3\" nao e um numero.\n"},
        {"x;y\n1.000,5;4\n",
         "Erro no arquivo f, linha 2: \"1.000,5\" nao e um numero (sem separador de milhares: "
         "1000,5 ou 1000.5).\n"},
        {"x,y,lat,lon\n",
         "Erro no arquivo f, linha 1: o cabecalho mistura as colunas x, y com lat, lon.\n"},
        {"x,y,X\n",
         "Erro no arquivo f, linha 1: as colunas \"x\" e \"X\" dizem a mesma coisa (x).\n"},
        {"Lat,Lng,Latitude\n",
         "Erro no arquivo f, linha 1: as colunas \"Lat\" e \"Latitude\" "
         "dizem a mesma coisa (lat ou latitude).\n"},
        {"x,y\n1,2,3\n",
         "Erro no arquivo f, linha 2: \"1,2,3\" tem 3 campos; o cabecalho tem 2 (separador "
         "virgula).\n"},
        {"x,y\n1,dois\n", "Erro no arquivo f, linha 2: \"dois\" nao e um numero.\n"},
        {"x,y\n1,1e999\n", "Erro no arquivo f, linha 2: \"1e999\" nao e um numero.\n"},
        {"lat,lon\n91,0\n",
         "Erro no arquivo f, linha 2: a latitude \"91\" esta fora do intervalo -90..90.\n"},
        {"lat,lon\n0,-180.5\n",
         "Erro no arquivo f, linha 2: a longitude \"-180.5\" esta fora do intervalo "
         "-180..180.\n"},
        {"x,y,nome\n1,2,\"abc\n",
         "Erro no arquivo f, linha 2: as aspas de \"\"abc\" nao se fecham.\n"},
        {"x,y,nome\n1,2,\"a\"b\n",
         "Erro no arquivo f, linha 2: \"\"a\"b\" tem texto depois das aspas que fecham o "
         "campo.\n"},
    };
    test_support::expect_fault_messages(
        cases, [](const std::string& text) { return message(PointFormat::csv, text); });
}

TEST(PointReaders, OverlongLineNamesItsStart) {
    // Both line-based formats refuse a line past the reader's limit, quoting its first bytes.
    const struct {
        PointFormat format;
        test_support::FaultCase fault;
    } cases[] = {
        {PointFormat::tsplib,
         {"NAME : " + std::string(70000, 'a') + "\n",
          "Erro no arquivo f, linha 1: \"NAME : aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" inicia uma "
          "linha longa demais (mais de 65536 bytes).\n"}},
        {PointFormat::csv,
         {"x,y\n" + std::string(70000, '1') + ",2\n",
          "Erro no arquivo f, linha 2: \"1111111111111111111111111111111111111111...\" inicia "
          "uma linha longa demais (mais de 65536 bytes).\n"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(message(c.format, c.fault.text), c.fault.message);
    }
}

TEST(PointReaders, BlockBoundariesChangeNothing) {
    std::string tsplib = "DIMENSION: 400\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n";
    std::string csv = "nome,x,y\n";
    for (int i = 1; i <= 400; ++i) {
        tsplib += std::to_string(i) + " " + std::to_string(i * 7 % 101) + ".25 " +
                  std::to_string(i * 13 % 97) + "\r\n";
        csv += "\"p, " + std::to_string(i) + "\"," + std::to_string(i % 11) + ",-" +
               std::to_string(i) + "e-3\n";
    }
    for (const auto& [format, text] :
         {std::pair{PointFormat::tsplib, tsplib}, std::pair{PointFormat::csv, csv}}) {
        PointSet whole;
        ASSERT_FALSE(parse(format, text, whole));
        ASSERT_EQ(whole.size(), 400U);
        for (const std::size_t block : {1, 3, 7, 64}) {
            PointSet cut;
            ASSERT_FALSE(parse(format, text, cut, block));
            EXPECT_EQ(cut.x, whole.x);
            EXPECT_EQ(cut.y, whole.y);
            EXPECT_EQ(cut.ids, whole.ids);
            EXPECT_EQ(cut.names, whole.names);
        }
    }
}

TEST(PointReaders, FoldersAndMissingFilesAreUnreadable) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    PointSet points;
    std::optional<PointError> error = read_point_file(folder.string(), PointFormat::csv, points);
    ASSERT_TRUE(error);
    EXPECT_EQ(describe_point_error(*error, "d"), "Erro ao ler o arquivo d.\n");
    error = read_point_file((folder / "nao-existe.tsp").string(), PointFormat::tsplib, points);
    ASSERT_TRUE(error);
    EXPECT_EQ(describe_point_error(*error, "n"),
              "O arquivo n nao pode ser aberto: arquivo ou pasta inexistente.\n");
    EXPECT_EQ(describe_point_error({PointFailure::no_memory, 0, ""}, "g"),
              "Falta memoria para ler os pontos do arquivo g.\n");
}
