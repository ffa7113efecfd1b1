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
    const std::string svg = render_answer_map(points, {{0, 1, 3}, 0, 1, "10"});
    EXPECT_EQ(count_of(svg, "<circle"), 3U);
    EXPECT_EQ(count_of(svg, "<line"), 4U);  // three pairs, the closest drawn again on top
    EXPECT_EQ(count_of(svg, "stroke=\"#d62728\""), 1U);
    EXPECT_NE(svg.find(">10</text>"), std::string::npos);
    // Point 1 sits at the bottom left: x to the right and y up, inside the margin.
    EXPECT_NE(svg.find("<circle cx=\"60\" cy=\"1060\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(AnswerMap, LabelsCarryNamesEscaped) {
    PointSet points = square_corners();
    points.names = {"A & B", "<Zé>", "", "bad\x01\xFF", "x"};
    const std::string svg = render_answer_map(points, {{0, 1, 3}, 0, 1, "10"});
    EXPECT_NE(svg.find(">1 A &amp; B</text>"), std::string::npos);
    EXPECT_NE(svg.find(">2 &lt;Zé&gt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">4 bad?"
                       "?</text>"),
              std::string::npos);
}

TEST(AnswerMap, LatitudeAndLongitudeAreDrawnWithLongitudeToTheRight) {
    PointSet points;
    points.rule = DistanceRule::great_circle_km;
    points.x = {0, 0, 45};    // latitudes
    points.y = {-90, 90, 0};  // longitudes
    points.ids = {1, 2, 3};
    const std::string svg = render_answer_map(points, {{0, 1, 2}, 0, 2, "5003"});
    EXPECT_NE(svg.find("<circle cx=\"60\" cy=\"310\""), std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"1060\" cy=\"310\""), std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"560\" cy=\"60\""), std::string::npos);
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
    const std::string svg = render_answer_map(points, {{0, 1, 2}, 0, 1, "1"});
    EXPECT_LT(svg.size(), 20U << 20);
}

TEST(AnswerMap, AllPointsTogetherStillDraw) {
    PointSet points;
    points.x = {3, 3, 3};
    points.y = {4, 4, 4};
    points.ids = {1, 2, 3};
    const std::string svg = render_answer_map(points, {{0, 1}, 0, 1, "0"});
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
        file << render_answer_map(points, {{0, 1, 2}, 0, 1, "13200"});
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
