// The bitset clique search against brute force on small random graphs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "dispersion/clique_search.hpp"

using namespace dispersao;

namespace {

// Returns whether `graph` holds `size` pairwise adjacent vertices among those in `allowed`,
// trying every subset.
bool brute_force(const BitGraph& graph, const std::vector<bool>& allowed, int size) {
    const std::size_t n = graph.vertices();
    std::vector<std::size_t> chosen;
    const auto adjacent = [&](std::size_t a, std::size_t b) {
        return (graph.row(a)[b / kWordBits] >> (b % kWordBits) & 1U) != 0;
    };
    const auto extend = [&](const auto& self, std::size_t from) -> bool {
        if (chosen.size() == static_cast<std::size_t>(size)) {
            return true;
        }
        for (std::size_t v = from; v < n; ++v) {
            bool fits = allowed[v];
            for (std::size_t k = 0; k < chosen.size() && fits; ++k) {
                fits = adjacent(chosen[k], v);
            }
            if (fits) {
                chosen.push_back(v);
                if (self(self, v + 1)) {
                    return true;
                }
                chosen.pop_back();
            }
        }
        return false;
    };
    return extend(extend, 0);
}

// Returns a graph on n vertices with each edge drawn with chance `density`.
BitGraph random_graph(std::size_t n, double density, std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    BitGraph graph(n);
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (unit(random) < density) {
                graph.add_edge(a, b);
            }
        }
    }
    return graph;
}

// Returns the bitset of all n vertices.
std::vector<Word> all_of(std::size_t n) {
    std::vector<Word> bits((n + kWordBits - 1) / kWordBits, 0);
    for (std::size_t v = 0; v < n; ++v) {
        bits[v / kWordBits] |= Word{1} << (v % kWordBits);
    }
    return bits;
}

// Graphs of 1 to 90 vertices (across the 64-bit word boundary) at densities from sparse to
// nearly complete, clique sizes 0 to 7, candidates a random part of the vertices: the search
// agrees with brute force, and a clique it finds is one, made of candidates.
TEST(CliqueSearch, AgreesWithBruteForce) {
    std::mt19937_64 random(31);
    int found = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::size_t n = 1 + random() % 90;
        const double density = static_cast<double>(random() % 100) / 100.0;
        BitGraph graph(n);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                if (unit(random) < density) {
                    graph.add_edge(a, b);
                }
            }
        }
        std::vector<bool> allowed(n);
        std::vector<Word> candidates(graph.words(), 0);
        for (std::size_t v = 0; v < n; ++v) {
            allowed[v] = random() % 5 != 0;
            if (allowed[v]) {
                candidates[v / kWordBits] |= Word{1} << (v % kWordBits);
            }
        }
        const int size = static_cast<int>(random() % 8);
        CliqueSearcher searcher(graph, {});
        std::vector<std::size_t> clique;
        const CliqueOutcome outcome = searcher.find(candidates, size, clique);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " size " << size);
        ASSERT_NE(outcome, CliqueOutcome::stopped);
        EXPECT_EQ(outcome == CliqueOutcome::found, brute_force(graph, allowed, size));
        if (outcome == CliqueOutcome::found) {
            ++found;
            ASSERT_EQ(clique.size(), static_cast<std::size_t>(size));
            for (std::size_t a = 0; a < clique.size(); ++a) {
                EXPECT_TRUE(allowed[clique[a]]);
                for (std::size_t b = a + 1; b < clique.size(); ++b) {
                    EXPECT_TRUE(
                        (graph.row(clique[a])[clique[b] / kWordBits] >> (clique[b] % kWordBits) &
                         1U) != 0);
                }
            }
        }
    }
    // Both answers come up often enough for the comparison to mean something.
    EXPECT_GT(found, 100);
    EXPECT_LT(found, 350);
}

// Graphs like the searches' own: points of the unit square linked when farther apart than a
// radius, so that the largest cliques have 3 to 10 vertices and the colour classes are groups of
// close points. The search agrees with brute force at sizes around the largest clique, where
// both answers are common.
TEST(CliqueSearch, AgreesWithBruteForceOnSpreadGraphs) {
    std::mt19937_64 random(77);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int found = 0;
    int absent = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const std::size_t n = 20 + random() % 50;
        const double radius = 0.25 + 0.3 * unit(random);
        std::vector<double> x(n);
        std::vector<double> y(n);
        for (std::size_t v = 0; v < n; ++v) {
            x[v] = unit(random);
            y[v] = unit(random);
        }
        BitGraph graph(n);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                if (std::hypot(x[a] - x[b], y[a] - y[b]) > radius) {
                    graph.add_edge(a, b);
                }
            }
        }
        const std::vector<bool> allowed(n, true);
        const int size = 3 + static_cast<int>(random() % 8);
        CliqueSearcher searcher(graph, {});
        std::vector<std::size_t> clique;
        const CliqueOutcome outcome = searcher.find(all_of(n), size, clique);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " size " << size);
        ASSERT_NE(outcome, CliqueOutcome::stopped);
        EXPECT_EQ(outcome == CliqueOutcome::found, brute_force(graph, allowed, size));
        (outcome == CliqueOutcome::found ? found : absent) += 1;
    }
    EXPECT_GT(found, 30);
    EXPECT_GT(absent, 30);
}

TEST(CliqueSearch, StopsWhenTold) {
    // A dense random graph on 200 vertices has no 40-clique, and greedy colourings are far from
    // proving it: the search runs long enough to ask should_stop, and stops at the first yes.
    const std::size_t n = 200;
    std::mt19937_64 random(8);
    const BitGraph graph = random_graph(n, 0.9, random);
    const std::vector<Word> everyone = all_of(n);
    int asked = 0;
    CliqueSearcher searcher(graph, [&asked] { return ++asked >= 1; });
    std::vector<std::size_t> clique;
    EXPECT_EQ(searcher.find(everyone, 40, clique), CliqueOutcome::stopped);
    EXPECT_EQ(asked, 1);
}

// A budget ends a long search as over_budget, without asking should_stop for it; a later search
// with the same searcher starts with a budget of its own, and one with room enough finds what
// an unbudgeted search finds.
TEST(CliqueSearch, BudgetEndsOneSearchOnly) {
    const std::size_t n = 200;
    std::mt19937_64 random(8);
    const BitGraph graph = random_graph(n, 0.9, random);
    const std::vector<Word> everyone = all_of(n);
    bool asked = false;
    CliqueSearcher searcher(graph, [&asked] {
        asked = true;
        return false;
    });
    std::vector<std::size_t> clique;
    EXPECT_EQ(searcher.find(everyone, 40, clique, 1000), CliqueOutcome::over_budget);
    EXPECT_FALSE(asked);
    EXPECT_EQ(searcher.find(everyone, 5, clique, 1U << 20), CliqueOutcome::found);
    EXPECT_EQ(clique.size(), 5U);
    EXPECT_EQ(searcher.find(everyone, 40, clique, 1000), CliqueOutcome::over_budget);
}

// On small random graphs a budgeted search either gives up or agrees with the unbudgeted one.
TEST(CliqueSearch, BudgetedAnswersAgree) {
    std::mt19937_64 random(57);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int gave_up = 0;
    int answered = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t n = 20 + random() % 120;
        const double density = 0.5 + 0.45 * unit(random);
        const BitGraph graph = random_graph(n, density, random);
        const std::vector<Word> everyone = all_of(n);
        const int size = 3 + static_cast<int>(random() % 12);
        CliqueSearcher searcher(graph, {});
        std::vector<std::size_t> clique;
        const CliqueOutcome whole = searcher.find(everyone, size, clique);
        const CliqueOutcome budgeted = searcher.find(everyone, size, clique, 1 + random() % 300);
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        ASSERT_NE(whole, CliqueOutcome::over_budget);
        if (budgeted == CliqueOutcome::over_budget) {
            ++gave_up;
        } else {
            ++answered;
            EXPECT_EQ(budgeted, whole);
        }
    }
    EXPECT_GT(gave_up, 20);
    EXPECT_GT(answered, 20);
}

}  // namespace
