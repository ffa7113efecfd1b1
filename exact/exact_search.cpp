// Exact search on the threshold graph: pairs in falling order of value until a triangle closes.
//
// The answer is the value of the first pair that, taken in falling order of value, closes a
// triangle with pairs taken before it: at that moment every pair of the triangle is worth at
// least that value, and no triangle existed among strictly better pairs. Each position keeps its
// neighbours so far as a bitset row, so the test "do p and q share a neighbour" is an AND over
// n / 64 words. By Mantel's theorem a graph on n vertices with more than n^2 / 4 edges has a
// triangle, so at most n^2 / 4 + 1 pairs are ever taken: O(n^3 / 256) word operations at worst.
#include "exact/exact_search.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "solution/selection.hpp"

namespace {

using Word = std::uint64_t;
constexpr int kWordBits = 64;

// Number of distinct values 0..100 that pairs can have after the cap.
constexpr int kLevels = static_cast<int>(kValueCap) + 1;

// Returns a cell's value as the objective sees it: truncated toward zero and capped at 100. A
// NaN cell never lowers the objective's minimum, so it counts as the cap; values far below any
// 32-bit distance are clamped so that the conversion stays defined.
[[nodiscard]] std::int64_t capped_value(float cell) {
    if (!(cell < kValueCap)) {
        return static_cast<std::int64_t>(kValueCap);
    }
    constexpr float kFloor = -1.0e18F;
    return cell < kFloor ? static_cast<std::int64_t>(kFloor) : static_cast<std::int64_t>(cell);
}

// A pair of positions p < q.
struct Pair {
    std::uint32_t p;
    std::uint32_t q;
};

// Adjacency of the threshold graph built so far: one bitset row of `words` words per position.
class ThresholdGraph {
  public:
    explicit ThresholdGraph(int n)
        : words_(static_cast<std::size_t>((n + kWordBits - 1) / kWordBits)),
          rows_(static_cast<std::size_t>(n) * words_, 0) {}

    // Adds the edge p-q. When p and q already share a neighbour, returns true and stores the
    // smallest such neighbour in `third` instead, leaving the graph unchanged.
    bool add_or_close(Pair pair, std::uint32_t& third) {
        Word* const row_p = row(pair.p);
        Word* const row_q = row(pair.q);
        for (std::size_t w = 0; w < words_; ++w) {
            const Word common = row_p[w] & row_q[w];
            if (common != 0) {
                third = static_cast<std::uint32_t>(w * kWordBits) +
                        static_cast<std::uint32_t>(std::countr_zero(common));
                return true;
            }
        }
        row_p[pair.q / kWordBits] |= Word{1} << (pair.q % kWordBits);
        row_q[pair.p / kWordBits] |= Word{1} << (pair.p % kWordBits);
        return false;
    }

  private:
    Word* row(std::uint32_t position) { return rows_.data() + position * words_; }

    std::size_t words_;
    std::vector<Word> rows_;
};

// Turns the first pair that closed a triangle into the answer.
[[nodiscard]] ExactOptimum make_optimum(std::int64_t value, Pair pair, std::uint32_t third) {
    std::array<int, 3> positions = {static_cast<int>(pair.p), static_cast<int>(pair.q),
                                    static_cast<int>(third)};
    std::sort(positions.begin(), positions.end());
    return {static_cast<float>(value), {positions[0], positions[1], positions[2]}};
}

}  // namespace

ExactOptimum find_exact_optimum(int n, const float* const* matrix) {
    assert(n >= 3);
    // Pass 1: how many pairs have each value 0..100; values below 0 are rare and handled last.
    std::array<std::size_t, kLevels> level_count{};
    for (int p = 0; p < n; ++p) {
        const float* const row = matrix[p];
        for (int q = p + 1; q < n; ++q) {
            const std::int64_t value = capped_value(row[q]);
            if (value >= 0) {
                ++level_count[static_cast<std::size_t>(value)];
            }
        }
    }

    // The answer is at least the highest value whose pairs and better ones number more than
    // n^2 / 4, since they must hold a triangle; pairs below that value are never needed.
    const auto mantel_bound = static_cast<std::size_t>(n) * static_cast<std::size_t>(n) / 4;
    int lowest_level = 0;
    std::size_t at_least = 0;
    for (int level = kLevels - 1; level >= 0; --level) {
        at_least += level_count[static_cast<std::size_t>(level)];
        if (at_least > mantel_bound) {
            lowest_level = level;
            break;
        }
    }
    const bool negatives_needed = at_least <= mantel_bound;

    // Pass 2: pairs of value lowest_level..100 into buckets in falling order of value, each
    // bucket in ascending (p, q) order; `next` is where the next pair of each value goes.
    std::array<std::size_t, kLevels> next{};
    std::size_t kept = 0;
    for (int level = kLevels - 1; level >= lowest_level; --level) {
        next[static_cast<std::size_t>(level)] = kept;
        kept += level_count[static_cast<std::size_t>(level)];
    }
    const std::array<std::size_t, kLevels> bucket_start = next;
    std::vector<Pair> pairs(kept);
    // Pairs below 0 with their values, gathered only when the better pairs may hold no triangle.
    std::vector<std::pair<std::int64_t, Pair>> negative_pairs;
    for (int p = 0; p < n; ++p) {
        const float* const row = matrix[p];
        for (int q = p + 1; q < n; ++q) {
            const std::int64_t value = capped_value(row[q]);
            const Pair pair{static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(q)};
            if (value >= lowest_level) {
                pairs[next[static_cast<std::size_t>(value)]++] = pair;
            } else if (value < 0 && negatives_needed) {
                negative_pairs.emplace_back(value, pair);
            }
        }
    }

    ThresholdGraph graph(n);
    std::uint32_t third = 0;
    for (int level = kLevels - 1; level >= lowest_level; --level) {
        const auto bucket = static_cast<std::size_t>(level);
        for (std::size_t i = bucket_start[bucket]; i < next[bucket]; ++i) {
            if (graph.add_or_close(pairs[i], third)) {
                return make_optimum(level, pairs[i], third);
            }
        }
    }
    // Gathered in (p, q) order, so a stable sort by falling value keeps ties in that order.
    std::stable_sort(negative_pairs.begin(), negative_pairs.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [value, pair] : negative_pairs) {
        if (graph.add_or_close(pair, third)) {
            return make_optimum(value, pair, third);
        }
    }
    // Every pair is an edge by now and n >= 3, so some pair closed a triangle.
    assert(false);
    return {0.0F, {0, 1, 2}};
}
