// Point files as people export them: spreadsheet CSV (separators, decimal commas, header
// names, Latin-1, codes), GeoJSON collections, and the format told from the name or the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "points/point_files.hpp"
#include "points/text_encoding.hpp"
#include "tests/support/fault_cases.hpp"

using namespace dispersao;

namespace {

std::optional<PointError> read_csv(const std::string& text, PointSet& points, bool keep = false) {
    return parse_csv_points(memory_source(text.data(), text.size(), 5), points, 0, keep);
}

std::optional<PointError> read_geojson(const std::string& text, PointSet& points,
                                       bool keep = false) {
    return parse_geojson_points(memory_source(text.data(), text.size(), 7), points, keep);
}

std::string geojson_message(const std::string& text) {
    PointSet points;
    const auto error = read_geojson(text, points);
    return error ? describe_point_error(*error, "g") : "";
}

}  // namespace

TEST(CsvExports, SeparatorFromTheHeaderAndDecimalCommas) {
    // A Portuguese spreadsheet: semicolons, decimal commas, accents, a code column.
    const std::string semicolons =
        "Nome;Latitude;Longitude;C\xC3\xB3"
        "digo\r\n"
        "S\xC3\xA3o Paulo;-23,55;-46,63;S-1063\r\n"
        "\"Rio; RJ\";-22.9;-43,2;S-1966\r\n";
    PointSet points;
    ASSERT_FALSE(read_csv(semicolons, points, true));
    EXPECT_EQ(points.rule, DistanceRule::great_circle_km);
    EXPECT_EQ(points.x, (std::vector<double>{-23.55, -22.9}));
    EXPECT_EQ(points.y, (std::vector<double>{-46.63, -43.2}));
    EXPECT_EQ(points.names, (std::vector<std::string>{"S\xC3\xA3o Paulo", "Rio; RJ"}));
    EXPECT_EQ(points.codes, (std::vector<std::string>{"S-1063", "S-1966"}));
    EXPECT_EQ(points.ids, (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(points.record_kind, RecordKind::csv_row);
    EXPECT_EQ(points.record_separator, ';');
    EXPECT_EQ(points.record_header,
              "Nome;Latitude;Longitude;C\xC3\xB3"
              "digo");
    EXPECT_EQ(points.records[1], "\"Rio; RJ\";-22.9;-43,2;S-1966");

    // Tabs, and every other spelling of the columns.
    for (const std::string header :
         {"LAT\tLNG\tname\tID", "latitude\tlong\tNAME\tid", " Lat \t LON \tNome\tcodigo"}) {
        ASSERT_FALSE(read_csv(header + "\n1,5\t2\tA\t7\n", points)) << header;
        EXPECT_EQ(points.x, std::vector<double>{1.5});
        EXPECT_EQ(points.y, std::vector<double>{2});
        EXPECT_EQ(points.names, std::vector<std::string>{"A"});
        EXPECT_EQ(points.codes, std::vector<std::string>{"7"});
    }
    // Commas keep a comma inside quotes a plain character, and a point a decimal point.
    ASSERT_FALSE(read_csv("x,y,nome\n1.5,2,\"a, b\"\n", points));
    EXPECT_EQ(points.x, std::vector<double>{1.5});
    EXPECT_TRUE(points.codes.empty());
    EXPECT_TRUE(points.records.empty());
}

TEST(CsvExports, Latin1IsConvertedAndDamagedUtf8Kept) {
    // "São" and "Código" as a Latin-1 export writes them, and a Windows-1252 quote mark.
    const std::string latin1 =
        "Nome;X;Y;C\xF3"
        "digo\nS\xE3o \x93"
        "A\x94;1;2;7\n";
    PointSet points;
    ASSERT_FALSE(read_csv(latin1, points, true));
    EXPECT_EQ(points.names, std::vector<std::string>{"S\xC3\xA3o \xE2\x80\x9C"
                                                     "A\xE2\x80\x9D"});
    EXPECT_EQ(points.codes, std::vector<std::string>{"7"});
    // Records stay as the file wrote them, for writing the rows back.
    EXPECT_EQ(points.records, std::vector<std::string>{"S\xE3o \x93"
                                                       "A\x94;1;2;7"});
    EXPECT_EQ(as_utf8("\xC3\xA9\xFF"), "\xC3\xA9\xFF");
    EXPECT_EQ(folded_name(" C\xC3\xB3"
                          "DIGO_"),
              "codigo");
}

TEST(GeojsonPoints, FeatureCollectionOfPointsWithNamesAndCodes) {
    const std::string text = R"({"type":"FeatureCollection","features":[
      {"type":"Feature","id":"S-1","geometry":{"type":"Point","coordinates":[-46.63,-23.55]},
       "properties":{"nome":"S\u00e3o \"Paulo\"","pop":12}},
      {"type":"Feature","geometry":{"type":"Point","coordinates":[-43.2,-22.9,10]},
       "properties":{"Name":"Rio\nde Janeiro","codigo":7}},
      {"type":"Feature","geometry":{"type":"Point","coordinates":[0,0]},"properties":null}]})";
    PointSet points;
    ASSERT_FALSE(read_geojson(text, points, true));
    EXPECT_EQ(points.rule, DistanceRule::great_circle_km);
    EXPECT_EQ(points.x, (std::vector<double>{-23.55, -22.9, 0}));
    EXPECT_EQ(points.y, (std::vector<double>{-46.63, -43.2, 0}));
    EXPECT_EQ(points.ids, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(points.names,
              (std::vector<std::string>{"S\xC3\xA3o \"Paulo\"", "Rio\nde Janeiro", ""}));
    EXPECT_EQ(points.codes, (std::vector<std::string>{"S-1", "7", ""}));
    EXPECT_EQ(points.record_kind, RecordKind::json_object);
    EXPECT_EQ(points.records[0], R"({"nome":"S\u00e3o \"Paulo\"","pop":12})");
    EXPECT_EQ(points.records[2], "{}");
}

TEST(GeojsonPoints, EachFaultNamesLineAndWhat) {
    const std::string head = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    const test_support::FaultCase cases[] = {
        {"",
         "Erro no arquivo g, linha 1: JSON invalido: esperava um valor JSON, encontrou \"\".\n"},
        {"{\"type\":\"Feature\"}",
         "Erro no arquivo g, linha 1: o GeoJSON deve ser uma FeatureCollection.\n"},
        {head + "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\"}}]}",
         "Erro no arquivo g, linha 2: a feature 1 e \"LineString\"; so geometrias Point sao "
         "aceitas.\n"},
        {head + "{\"type\":\"Feature\",\"geometry\":null}]}",
         "Erro no arquivo g, linha 2: a feature 1 nao tem geometria.\n"},
        {head + "\n{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[10,"
                "95]}}]}",
         "Erro no arquivo g, linha 3: a feature 1 tem a latitude \"95\" fora do intervalo "
         "-90..90 (a ordem e [lon, lat]).\n"},
        {head + "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[1e999,"
                "0]}}]}",
         "Erro no arquivo g, linha 2: JSON invalido: o numero \"1e999\" nao cabe num double.\n"},
        {head + "]", "Erro no arquivo g, linha 2: JSON invalido: esperava ',' ou '}' no objeto.\n"},
        {std::string(300, '[') + std::string(300, ']'),
         "Erro no arquivo g, linha 1: JSON invalido: o JSON aninha objetos e listas fundo "
         "demais.\n"},
        {"{\"a\":\"x\ty\"}",
         "Erro no arquivo g, linha 1: JSON invalido: a string JSON tem um caractere de controle "
         "sem escape.\n"},
    };
    test_support::expect_fault_messages(cases, geojson_message);
}

// Endless text that is no JSON object (a device of zeros, an endless "y" line, a NUL byte in
// the text) is refused after the block that shows it, not read into memory until it runs out,
// with the line of the byte that shows it.
TEST(GeojsonPoints, EndlessTextThatIsNoObjectIsNotReadOn) {
    const std::string not_object = "o GeoJSON deve ser um objeto JSON, aberto por '{'.\n";
    const std::string nul = "o arquivo tem um byte nulo, que nenhum texto JSON tem.\n";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(1, '\0'), "Erro no arquivo g, linha 1: " + not_object},
        {"\n\ny\n", "Erro no arquivo g, linha 3: " + not_object},
        {"{\"a\":[\n" + std::string(1, '\0'), "Erro no arquivo g, linha 2: " + nul},
    };
    for (const auto& [repeated, expected] : cases) {
        const std::string& unit = repeated;  // a name the source below can capture
        std::size_t handed = 0;
        const ByteSource endless = [&](char* into, std::size_t size) {
            for (std::size_t i = 0; i < size; ++i) {
                into[i] = unit[(handed + i) % unit.size()];
            }
            handed += size;
            return size;
        };
        PointSet points;
        const auto error = parse_geojson_points(endless, points, false);
        ASSERT_TRUE(error);
        EXPECT_EQ(describe_point_error(*error, "g"), expected);
        EXPECT_LE(handed, std::size_t{1} << 22);
        // The same text, whole and short, gets the same message.
        EXPECT_EQ(geojson_message(unit + "{}"), expected);
    }
}

TEST(PointFormats, NameDecidesAndContentWhenItCannot) {
    struct Case {
        std::string text;
        PointFormat format;
    };
    const Case names[] = {
        {"a.TSP", PointFormat::tsplib},      {"dir/a.Csv", PointFormat::csv},
        {"a.geojson", PointFormat::geojson}, {"a.json", PointFormat::geojson},
        {"-", PointFormat::by_content},      {"pontos.txt", PointFormat::by_content},
    };
    for (const Case& c : names) {
        EXPECT_EQ(point_format_of_name(c.text), c.format) << c.text;
    }
    const Case contents[] = {
        {"\xEF\xBB\xBF \n {\"type\"", PointFormat::geojson},
        {"NAME : berlin52\nTYPE : TSP\n", PointFormat::tsplib},
        {"DIMENSION: 3\n", PointFormat::tsplib},
        {"nome;lat;lon\n", PointFormat::csv},
        {"NAMES,x,y\n", PointFormat::csv},
        {"NAME\tlat\tlon\n", PointFormat::csv},
        {"NAME: a, b\n", PointFormat::tsplib},
    };
    for (const Case& c : contents) {
        EXPECT_EQ(point_format_of_text(c.text), c.format) << c.text;
    }
}
