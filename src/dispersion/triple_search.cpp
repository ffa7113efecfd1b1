// Exact search on the threshold graph: pairs in falling order of value until a triangle closes.
//
// The answer is the value of the first pair that, taken in falling order of value, closes a
// triangle with pairs taken before it: at that moment every pair of the triangle is worth at
// least that value, and no triangle existed among strictly better pairs. Each position keeps its
// neighbours so far as a bitset row, so the test "do p and q share a neighbour" is an AND over
// n / 64 words. By Mantel's theorem a graph on n vertices with more than n^2 / 4 edges has a
// triangle, so at most n^2 / 4 + 1 pairs are ever taken: O(n^3 / 256) word operations at worst.
#include "dispersion/triple_search.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "solution/selection.hpp"

namespace dispersao {

namespace {

using Word = std::uint64_t;
constexpr int kWordBits = 64;

// Number of distinct values 0..100 that pairs can have after the cap.
constexpr int kLevels = static_cast<int>(kValueCap) + 1;

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
    std::array<int, kSelectedCount> positions = {static_cast<int>(pair.p), static_cast<int>(pair.q),
                                                 static_cast<int>(third)};
    std::sort(positions.begin(), positions.end());
    ExactOptimum optimum{static_cast<float>(value), {}};
    std::copy(positions.begin(), positions.end(), optimum.positions);
    return optimum;
}

// How many pairs p < q have each capped value 0..100.
using LevelCounts = std::array<std::size_t, kLevels>;

// The pairs the search may need, in the order it takes them.
struct PairBuckets {
    // Lowest value whose pairs are kept; the pairs below it are never needed, but for those
    // below 0 when `negative_pairs` is filled.
    int lowest_level = 0;
    // Pairs of value lowest_level..100 in falling order of value, each value's bucket in
    // ascending (p, q) order: bucket v is pairs[start[v]..end[v]-1]. Left unset until the
    // scan writes them: a quarter of n^2 pairs or more, too many to clear first.
    std::unique_ptr<Pair[]> pairs;
    LevelCounts start{};
    LevelCounts end{};
    // Pairs below 0 with their values, in (p, q) order; gathered only when the pairs of value
    // 0..100 may hold no triangle.
    std::vector<std::pair<std::int64_t, Pair>> negative_pairs;
};

// Pass 1: returns how many pairs of `matrix` (n x n) have each value 0..100; values below 0
// are rare and left to the last pass.
[[nodiscard]] std::optional<LevelCounts> count_levels(int n, const float* const* matrix,
                                                      const std::function<bool()>& should_stop) {
    LevelCounts level_count{};
    for (int p = 0; p < n; ++p) {
        if (should_stop()) {
            return std::nullopt;
        }
        const float* const row = matrix[p];
        for (int q = p + 1; q < n; ++q) {
            const std::int64_t value = capped_level(row[q]);
            if (value >= 0) {
                ++level_count[static_cast<std::size_t>(value)];
            }
        }
    }
    return level_count;
}

// Pass 2: returns the pairs of `matrix` (n x n) that can hold the answer, bucketed by value.
// The answer is at least the highest value whose pairs and better ones number more than
// n^2 / 4, since they must hold a triangle; pairs below that value are left out.
[[nodiscard]] std::optional<PairBuckets> bucket_pairs(int n, const float* const* matrix,
                                                      const LevelCounts& level_count,
                                                      const std::function<bool()>& should_stop) {
    const auto mantel_bound = static_cast<std::size_t>(n) * static_cast<std::size_t>(n) / 4;
    PairBuckets buckets;
    std::size_t at_least = 0;
    for (int level = kLevels - 1; level >= 0; --level) {
        at_least += level_count[static_cast<std::size_t>(level)];
        if (at_least > mantel_bound) {
            buckets.lowest_level = level;
            break;
        }
    }
    const bool negatives_needed = at_least <= mantel_bound;

    // `end` is where the next pair of each value goes until every pair is in.
    std::size_t kept = 0;
    for (int level = kLevels - 1; level >= buckets.lowest_level; --level) {
        buckets.end[static_cast<std::size_t>(level)] = kept;
        kept += level_count[static_cast<std::size_t>(level)];
    }
    buckets.start = buckets.end;
    buckets.pairs = std::make_unique_for_overwrite<Pair[]>(kept);
    for (int p = 0; p < n; ++p) {
        if (should_stop()) {
            return std::nullopt;
        }
        const float* const row = matrix[p];
        for (int q = p + 1; q < n; ++q) {
            const std::int64_t value = capped_level(row[q]);
            const Pair pair{static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(q)};
            if (value >= buckets.lowest_level) {
                buckets.pairs[buckets.end[static_cast<std::size_t>(value)]++] = pair;
            } else if (value < 0 && negatives_needed) {
                buckets.negative_pairs.emplace_back(value, pair);
            }
        }
    }
    return buckets;
}

// Pass 3: takes the pairs in falling order of value into the graph of n positions and returns
// the triangle that the first closing pair completes; when `should_stop` says so first, only
// the value of the bucket it was in, which no triple beats. Precondition: the pairs hold a
// triangle.
[[nodiscard]] StoppableOptimum close_first_triangle(int n, PairBuckets& buckets,
                                                    const std::function<bool()>& should_stop) {
    constexpr std::size_t kPairsPerStopCheck = 4096;
    ThresholdGraph graph(n);
    std::uint32_t third = 0;
    for (int level = kLevels - 1; level >= buckets.lowest_level; --level) {
        const auto bucket = static_cast<std::size_t>(level);
        for (std::size_t i = buckets.start[bucket]; i < buckets.end[bucket]; ++i) {
            if (i % kPairsPerStopCheck == 0 && should_stop()) {
                return {std::nullopt, static_cast<float>(level)};
            }
            if (graph.add_or_close(buckets.pairs[i], third)) {
                return {make_optimum(level, buckets.pairs[i], third)};
            }
        }
    }
    // Gathered in (p, q) order, so a stable sort by falling value keeps ties in that order.
    std::stable_sort(buckets.negative_pairs.begin(), buckets.negative_pairs.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [value, pair] : buckets.negative_pairs) {
        if (graph.add_or_close(pair, third)) {
            return {make_optimum(value, pair, third)};
        }
    }
    // Every pair is an edge by now and n >= 3, so some pair closed a triangle.
    assert(false);
    return {ExactOptimum{0.0F, {0, 1, 2}}};
}

}  // namespace

ExactOptimum find_exact_optimum(int n, const float* const* matrix) {
    assert(n >= 3);
    const StoppableOptimum found = find_exact_optimum(n, matrix, [] { return false; });
    assert(found.optimum.has_value());
    return *found.optimum;
}

StoppableOptimum find_exact_optimum(int n, const float* const* matrix,
                                    const std::function<bool()>& should_stop) {
    assert(n >= 3);
    const std::optional<LevelCounts> level_count = count_levels(n, matrix, should_stop);
    if (!level_count) {
        return {};
    }
    std::optional<PairBuckets> buckets = bucket_pairs(n, matrix, *level_count, should_stop);
    if (!buckets) {
        return {};
    }
    return close_first_triangle(n, *buckets, should_stop);
}

}  // namespace dispersao
