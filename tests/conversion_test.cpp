// The TSPLIB and MDPLIB converters, the all-or-nothing writer, and the exact optima of the
// public instances once converted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "conversion/conversion.hpp"
#include "dispersion/triple_search.hpp"
#include "instance/instance_files.hpp"
#include "points/point_files.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

namespace fs = std::filesystem;

using test_support::read_file;

// Reads TSPLIB `text` with the point reader into `cities`, in the order of their ids; returns
// the reader's fault, if any.
std::optional<PointError> parse_tsplib(const std::string& text, std::vector<Point>& cities) {
    PointSet points;
    auto error = parse_tsplib_points(memory_source(text.data(), text.size()), points);
    if (!error) {
        cities = cities_by_id(points);
    }
    return error;
}

const char* const kGoodTsplib =
    "NAME: triangle\r\n"
    "TYPE : TSP\r\n"
    "COMMENT : a 3-4-5 triangle and a point on it\r\n"
    "DIMENSION 4\r\n"
    "EDGE_WEIGHT_TYPE: EUC_2D\r\n"
    "\r\n"
    "NODE_COORD_SECTION\r\n"
    "3 0 4.0e0\r\n"
    "1 0 0\r\n"
    "  2\t3.0 0\r\n"
    "4 1.5 +0\r\n"
    "EOF\r\n";

TEST(Tsplib, ReadsHeaderVariantsAndCitiesInAnyOrder) {
    std::vector<Point> cities;
    ASSERT_FALSE(parse_tsplib(kGoodTsplib, cities));
    ASSERT_EQ(cities.size(), 4U);
    EXPECT_EQ(cities[0].x, 0.0);
    EXPECT_EQ(cities[1].x, 3.0);
    EXPECT_EQ(cities[2].y, 4.0);
    EXPECT_EQ(cities[3].x, 1.5);
    EXPECT_EQ(largest_distance(cities), 5.0);
    // 3 x 110 / 5 and 4 x 110 / 5 are whole; 1.5 x 110 / 5 = 33 and 2.5 x 110 / 5 = 55 as well,
    // while sqrt(1.5^2 + 4^2) x 22 = 93.99... truncates to 93.
    EXPECT_EQ(scaled_distance(cities[0], cities[1], 5.0), 66);
    EXPECT_EQ(scaled_distance(cities[0], cities[2], 5.0), 88);
    EXPECT_EQ(scaled_distance(cities[1], cities[2], 5.0), 110);
    EXPECT_EQ(scaled_distance(cities[3], cities[2], 5.0), 93);

    const std::string att =
        "DIMENSION: 3\nEDGE_WEIGHT_TYPE: ATT\nNODE_COORD_SECTION\n1 0 0\n2 1 1\n3 -2 5\n";
    EXPECT_FALSE(parse_tsplib(att, cities));
    EXPECT_EQ(cities[2].x, -2.0);

    // The section line with a colon, spaced or not; and coordinates whose squared differences
    // underflow, which are still a right triangle.
    for (const char* section :
         {"NODE_COORD_SECTION :", "NODE_COORD_SECTION:", "NODE_COORD_SECTION\t:"}) {
        const std::string tiny = std::string("DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\n") + section +
                                 "\n1 0 0\n2 1e-300 0\n3 0 1e-300\n";
        ASSERT_FALSE(parse_tsplib(tiny, cities)) << section;
        const double largest = largest_distance(cities);
        ASSERT_GT(largest, 0.0);
        EXPECT_EQ(scaled_distance(cities[0], cities[1], largest), 77);
        EXPECT_EQ(scaled_distance(cities[1], cities[2], largest), 110);
    }
}

TEST(Tsplib, RejectsBadOrUnsupportedFilesNamingTheLine) {
    const std::string header = "DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n";
    struct Case {
        std::string text;
        long line;
        std::string fragment;
    };
    const Case cases[] = {
        {"TYPE: ATSP\nDIMENSION: 3\n", 0, "NODE_COORD_SECTION"},
        {"DIMENSION: 3\nEDGE_WEIGHT_TYPE: EXPLICIT\nEDGE_WEIGHT_SECTION\n", 2, "EXPLICIT"},
        {"DIMENSION: 3\nEDGE_WEIGHT_SECTION\n", 2, "EDGE_WEIGHT_SECTION"},
        {"EDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n1 0 0\n", 2, "DIMENSION"},
        {"DIMENSION: 3\nNODE_COORD_SECTION\n1 0 0\n", 2, "EDGE_WEIGHT_TYPE"},
        {"DIMENSION: 0\n", 1, "de 1 a"},
        {"DIMENSION: 99999999999\n", 1, "de 1 a 1073741824"},
        {"DIMENSION: three\n", 1, "three"},
        {"DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\n", 0, "NODE_COORD_SECTION"},
        {"DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION : 1 0 0\n", 3, "0 pontos"},
        {"", 0, "NODE_COORD_SECTION"},
        {header + "1 0 0\n2 1 1\n", 5, "2 pontos, mas DIMENSION indica 3"},
        {header + "1 0 0\n2 1 1\n4 2 2\n", 6, "1..3"},
        {header + "1 0 0\n1 1 1\n3 2 2\n", 5, "mais de uma vez"},
        {header + "1 0 0\n2 1\n3 2 2\n", 5, "id x y"},
        {header + "1 0 0\n2 1 1 1\n3 2 2\n", 5, "id x y"},
        {header + "1 0 0\n2 1 x\n3 2 2\n", 5, "\"x\""},
        {header + "1 0 0\n2 nan 1\n3 2 2\n", 5, "nan"},
        {header + "1 0 0\n2 1e999 1\n3 2 2\n", 5, "1e999"},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.text);
        std::vector<Point> cities;
        const std::optional<PointError> error = parse_tsplib(bad.text, cities);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->line, bad.line);
        EXPECT_NE(error->detail.find(bad.fragment), std::string::npos) << error->detail;
    }
}

TEST(InstanceWriter, WritesCountAndOneTriplePerPair) {
    const test_support::TempFolder dir("dispersao-conv");
    std::vector<Point> cities;
    ASSERT_FALSE(parse_tsplib(kGoodTsplib, cities));
    ASSERT_FALSE(write_instance_files(dir.path().string(), cities));
    EXPECT_EQ(read_file(dir.path() / kCityCountFile), "4\n");
    EXPECT_EQ(read_file(dir.path() / kDistanceFile),
              "1 2 66\n1 3 88\n1 4 33\n2 3 110\n2 4 33\n3 4 93\n");
    EXPECT_EQ(dir.entries(), 2U);
}

TEST(InstanceWriter, FailureLeavesNoNewFileAndOldFilesUntouched) {
    const std::vector<Point> cities = {{0, 0}, {1, 0}, {0, 1}};
    {
        const test_support::TempFolder dir("dispersao-conv");
        EXPECT_TRUE(write_instance_files((dir.path() / "missing").string(), cities));
        EXPECT_EQ(dir.entries(), 0U);
    }
    {
        // A folder holds the count file's name, so the second rename fails after the first
        // replaced the earlier distance file: that file goes back, the very same file.
        const test_support::TempFolder dir("dispersao-conv");
        std::ofstream(dir.path() / kDistanceFile) << "1 2 3\n";
        const auto earlier = fs::status(dir.path() / kDistanceFile);
        fs::create_directory(dir.path() / kCityCountFile);
        const auto error = write_instance_files(dir.path().string(), cities);
        ASSERT_TRUE(error);
        EXPECT_NE(error->message.find("numcidades.txt nao e um arquivo comum (e uma pasta)"),
                  std::string::npos)
            << error->message;
        EXPECT_EQ(read_file(dir.path() / kDistanceFile), "1 2 3\n");
        EXPECT_EQ(fs::hard_link_count(dir.path() / kDistanceFile), 1U);
        EXPECT_EQ(fs::status(dir.path() / kDistanceFile).permissions(), earlier.permissions());
        EXPECT_EQ(dir.entries(), 2U);
    }
    {
        // Folders in both places: nothing can be replaced and nothing is.
        const test_support::TempFolder dir("dispersao-conv");
        fs::create_directory(dir.path() / kDistanceFile);
        fs::create_directory(dir.path() / kCityCountFile);
        EXPECT_TRUE(write_instance_files(dir.path().string(), cities));
        EXPECT_TRUE(fs::is_empty(dir.path() / kDistanceFile));
        EXPECT_EQ(dir.entries(), 2U);
    }
    {
        const test_support::TempFolder dir("dispersao-conv");
        EXPECT_TRUE(write_instance_files(dir.path().string(), {{2, 2}, {2, 2}, {2, 2}}));
        EXPECT_TRUE(write_instance_files(dir.path().string(), {{0, 0}, {1e301, 0}, {0, 1}}));
        EXPECT_EQ(dir.entries(), 0U);
    }
}

// The names the writer keeps files under meanwhile (temporary, earlier) may be taken: by what a
// program killed outright left, by a folder, by a link. What holds them stays as it is, never
// written through, and the files are written under other names.
TEST(InstanceWriter, TakenSideNamesAreLeftAloneAndOthersUsed) {
    const std::vector<Point> cities = {{0, 0}, {3, 0}, {0, 4}};
    const test_support::TempFolder dir("dispersao-conv");
    std::ofstream(dir.path() / "alvo") << "intacto\n";
    std::ofstream(dir.path() / kCityCountFile) << "7\n";
    std::ofstream(dir.path() / kDistanceFile) << "1 2 3\n";
    fs::create_directory(dir.path() / (std::string(kCityCountFile) + ".parcial"));
    fs::create_symlink(dir.path() / "alvo", dir.path() / (std::string(kDistanceFile) + ".parcial"));
    fs::create_symlink(dir.path() / "nada",
                       dir.path() / (std::string(kDistanceFile) + ".anterior"));
    std::ofstream(dir.path() / (std::string(kCityCountFile) + ".anterior")) << "restos\n";
    ASSERT_FALSE(write_instance_files(dir.path().string(), cities));
    EXPECT_EQ(read_file(dir.path() / kCityCountFile), "3\n");
    EXPECT_EQ(read_file(dir.path() / kDistanceFile), "1 2 66\n1 3 88\n2 3 110\n");
    EXPECT_EQ(read_file(dir.path() / "alvo"), "intacto\n");
    EXPECT_EQ(read_file(dir.path() / (std::string(kCityCountFile) + ".anterior")), "restos\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / (std::string(kCityCountFile) + ".parcial")));
    EXPECT_TRUE(fs::is_symlink(dir.path() / (std::string(kDistanceFile) + ".parcial")));
    EXPECT_TRUE(fs::is_symlink(dir.path() / (std::string(kDistanceFile) + ".anterior")));
    EXPECT_FALSE(fs::exists(dir.path() / "nada"));
    EXPECT_EQ(dir.entries(), 7U);  // the two files, "alvo" and the four occupants
}

TEST(Mdplib, ScalesByFiveAndTruncates) {
    MdplibInstance instance;
    ASSERT_FALSE(parse_mdplib("3 2\n0 1 11.17945\n0 2 4.19999\r\n\n1 2 -0.3\n", instance));
    EXPECT_EQ(instance.count, 3);
    ASSERT_EQ(instance.triples.size(), 3U);
    EXPECT_EQ(instance.triples[0].distance, 55);
    EXPECT_EQ(instance.triples[1].distance, 20);
    EXPECT_EQ(instance.triples[2].distance, -1);
    EXPECT_EQ(instance.triples[2].row, 1);
    EXPECT_EQ(instance.triples[2].column, 2);

    for (const char* bad : {"", "3\n", "3 2\n0 1\n", "3 2\n0 3 1.0\n", "3 2\n0 1 1e300\n"}) {
        EXPECT_TRUE(parse_mdplib(bad, instance)) << bad;
    }
}

// The optimum of a converted public instance: n + 1 positions as the optimiser sizes them.
float optimum_of(int count, const std::vector<DistanceTriple>& triples) {
    TestMatrix matrix(count + 1);
    for (const DistanceTriple& t : triples) {
        matrix.at(t.row, t.column) = static_cast<float>(t.distance);
    }
    return find_exact_optimum(matrix.size(), matrix.cells()).value;
}

TEST(PublicInstances, ExactOptimaOfTheConvertedFiles) {
    const fs::path data = DISPERSAO_BENCH_DATA;
    const std::pair<const char*, float> tsplib[] = {
        {"berlin52", 77.0F}, {"eil51", 74.0F},  {"kroA100", 64.0F}, {"ch130", 81.0F},
        {"qa194", 68.0F},    {"lin318", 76.0F}, {"att532", 80.0F},  {"uy734", 83.0F},
    };
    for (const auto& [name, expected] : tsplib) {
        SCOPED_TRACE(name);
        std::vector<Point> cities;
        ASSERT_FALSE(parse_tsplib(read_file(data / (std::string(name) + ".tsp")), cities));
        const double largest = largest_distance(cities);
        std::vector<DistanceTriple> triples;
        int scaled_largest = 0;
        for (std::size_t i = 0; i < cities.size(); ++i) {
            for (std::size_t j = i + 1; j < cities.size(); ++j) {
                triples.push_back({static_cast<int>(i + 1), static_cast<int>(j + 1),
                                   scaled_distance(cities[i], cities[j], largest)});
                scaled_largest = std::max(scaled_largest, triples.back().distance);
            }
        }
        // The largest pair scales to 110 exactly, even where d x 110 / d rounds below it.
        EXPECT_EQ(scaled_largest, 110);
        EXPECT_EQ(optimum_of(static_cast<int>(cities.size()), triples), expected);
    }
    MdplibInstance gkd;
    ASSERT_FALSE(parse_mdplib(read_file(data / "GKD-c_1_n500_m50.txt"), gkd));
    EXPECT_EQ(gkd.count, 500);
    EXPECT_EQ(optimum_of(gkd.count, gkd.triples), 99.0F);
}

}  // namespace
