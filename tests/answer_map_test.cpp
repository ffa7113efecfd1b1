// The picture of an answer: what it draws, and that it stays small and well-formed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "map/answer_map.hpp"

using namespace dispersao;

namespace {

[[nodiscard]] std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

[[nodiscard]] PointSet square_corners() {
    PointSet points;
    points.rule = DistanceRule::euclidean;
    points.x = {0, 10, 0, 10, 5};
    points.y = {0, 0, 10, 10, 5};
    points.ids = {1, 2, 3, 4, 5};
    return points;
}

TEST(AnswerMap, DrawsEveryPairOfChosenPointsAndMarksTheClosest) {
    const PointSet points = square_corners();
    const std::string svg = render_answer_map(points, {{0, 1, 3}, 0, 1, "10", ""});
    EXPECT_EQ(count_of(svg, "<circle"), 3U);
    EXPECT_EQ(count_of(svg, "<line"), 4U);  // three pairs, the closest drawn again on top
    EXPECT_EQ(count_of(svg, "stroke=\"#d62728\""), 1U);
    EXPECT_NE(svg.find(">10</text>"), std::string::npos);
    // Point 1 sits at the bottom left: x to the right and y up, inside the margin and above
    // the band of the scale bar.
    EXPECT_NE(svg.find("<circle cx=\"60\" cy=\"1110\""), std::string::npos);
    // The title gives p and the value, without a unit for plane coordinates; the scale bar a
    // round length of the plane: 2 units are 200 drawing units here.
    EXPECT_NE(svg.find(">p = 3, menor distancia: 10</text>"), std::string::npos);
    EXPECT_NE(svg.find("v6h200v-6"), std::string::npos);
    EXPECT_NE(svg.find(">2 unidades</text>"), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(AnswerMap, LabelsCarryNamesEscaped) {
    PointSet points = square_corners();
    points.names = {"A & B", "<Zé>", "", "bad\x01\xFF", "x"};
    const std::string svg = render_answer_map(points, {{0, 1, 3}, 0, 1, "10", ""});
    EXPECT_NE(svg.find(">1 A &amp; B</text>"), std::string::npos);
    EXPECT_NE(svg.find(">2 &lt;Zé&gt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">4 bad?"
                       "?</text>"),
              std::string::npos);
}

TEST(AnswerMap, LatitudeAndLongitudeAreDrawnWithLongitudeToTheRightInKilometres) {
    PointSet points;
    points.rule = DistanceRule::great_circle_km;
    points.x = {0, 0, 0};     // latitudes
    points.y = {-10, 10, 0};  // longitudes
    points.ids = {1, 2, 3};
    MapAnswer answer{{0, 1, 2}, 0, 2, "1111.9", "pontos.csv"};
    const std::string svg = render_answer_map(points, answer);
    EXPECT_NE(svg.find("<circle cx=\"60\" cy=\"110\""), std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"1060\" cy=\"110\""), std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"560\" cy=\"110\""), std::string::npos);
    EXPECT_NE(svg.find(">pontos.csv - p = 3, menor distancia: 1111.9 km</text>"),
              std::string::npos);
    // 20 degrees of longitude on the equator are 2224 km over 1000 units: 200 km is 89.9.
    EXPECT_NE(svg.find("v6h89.9v-6"), std::string::npos);
    EXPECT_NE(svg.find(">200 km</text>"), std::string::npos);
    // Beside the closest pair, a long value is cut to six significant digits or its whole
    // part; the title keeps every digit.
    for (const auto& [full, shown] :
         {std::pair{"9512.362046603837", ">9512.36</text>"},
          std::pair{"123456789.5", ">123456790</text>"},
          std::pair{"0.000123456789", ">0.000123457</text>"},
          std::pair{"3059411708155670822912", ">3059411708155670822912</text>"}}) {
        answer.value_text = full;
        const std::string drawn = render_answer_map(points, answer);
        EXPECT_NE(drawn.find(shown), std::string::npos) << full;
        EXPECT_NE(drawn.find(std::string("menor distancia: ") + full + " km</text>"),
                  std::string::npos);
    }
}

TEST(AnswerMap, LargerSelectionsJoinNearestNeighboursOnlyAndLabelsStayInside) {
    PointSet points;
    for (std::int64_t k = 0; k < 10; ++k) {
        points.x.push_back(static_cast<double>(k * k));
        points.y.push_back(0);
        points.ids.push_back(k + 1);
        points.names.push_back("um nome bem comprido");
    }
    MapAnswer answer{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 1, "1", ""};
    const std::string svg = render_answer_map(points, answer);
    // Each point's nearest is its left neighbour (the first its right one): 9 segments, not
    // 45, and the closest pair again on top.
    EXPECT_EQ(count_of(svg, "<line"), 10U);
    // The rightmost label turns to the left of its point, so it ends inside the picture.
    EXPECT_NE(svg.find("<text x=\"1049\" y=\"99\" font-size=\"16\" text-anchor=\"end\""),
              std::string::npos);
}

TEST(AnswerMap, ExtremeCoordinatesGiveOnlyFiniteNumbers) {
    PointSet points;
    points.x = {-1e308, 1e308, 0, 1.7e308};
    points.y = {1e308, -1e308, 5e-324, 0};
    points.ids = {1, 2, 3, 4};
    const std::string svg = render_answer_map(points, {{0, 1, 3}, 0, 1, "1e+308", ""});
    EXPECT_EQ(svg.find("inf"), std::string::npos);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(count_of(svg, "<circle"), 3U);
}

TEST(AnswerMap, OneMillionPointsStayUnderTwentyMegabytes) {
    PointSet points;
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<double> coordinate(0.0, 1e6);
    for (std::int64_t k = 1; k <= 1000000; ++k) {
        points.x.push_back(coordinate(generator));
        points.y.push_back(coordinate(generator));
        points.ids.push_back(k);
    }
    const std::string svg = render_answer_map(points, {{0, 1, 2}, 0, 1, "1", ""});
    EXPECT_LT(svg.size(), 20U << 20);
}

TEST(AnswerMap, AllPointsTogetherStillDraw) {
    PointSet points;
    points.x = {3, 3, 3};
    points.y = {4, 4, 4};
    points.ids = {1, 2, 3};
    const std::string svg = render_answer_map(points, {{0, 1}, 0, 1, "0", ""});
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
    EXPECT_EQ(count_of(svg, "h0"), 1U);
}

}  // namespace

namespace {

// Renders the world's three-city answer with rsvg-convert and checks that the points, the
// segments and the labels put ink on the picture.
TEST(AnswerMap, RendersWithARealRenderer) {
    PointSet points;
    points.rule = DistanceRule::great_circle_km;
    std::mt19937_64 generator(3);
    std::uniform_real_distribution<double> latitude(-80.0, 80.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    for (std::int64_t k = 1; k <= 300; ++k) {
        points.x.push_back(latitude(generator));
        points.y.push_back(longitude(generator));
        points.ids.push_back(k);
        points.names.push_back("cidade " + std::to_string(k));
    }
    const std::string path = ::testing::TempDir() + "answer_map_test.svg";
    {
        std::ofstream file(path, std::ios::binary);
        file << render_answer_map(points, {{0, 1, 2}, 0, 1, "13200", ""});
    }
    const int raw = std::system(
        ("bash '" DISPERSAO_TESTS_DIR "/e2e/render_map.sh' '" + path + "' 2000 > /dev/null")
            .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    if (WEXITSTATUS(raw) == 77) {
        GTEST_SKIP() << "rsvg-convert is not installed";
    }
    EXPECT_EQ(WEXITSTATUS(raw), 0);
}

}  // namespace
