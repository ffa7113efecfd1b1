// Depth-first clique search over bitsets, pruned by greedy colouring.
//
// At each level the candidates are coloured greedily (each colour class an independent set, so
// a clique takes at most one vertex of each); vertices are branched on in falling colour, and
// once the colour of the next one is below the number of vertices still needed, no clique of
// that size remains among it and those before it.
#include "dispersion/clique_search.hpp"

#include <bit>
#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

#include "dispersion/search_tuning.hpp"

namespace dispersao {

namespace {

// Returns whether the bitset `bits` (`words` words) has no bit set.
[[nodiscard]] bool empty(const Word* bits, std::size_t words) {
    for (std::size_t w = 0; w < words; ++w) {
        if (bits[w] != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

CliqueOutcome CliqueSearcher::find(const std::vector<Word>& candidates, int size,
                                   std::vector<std::size_t>& clique, std::uint64_t budget) {
    assert(size >= 0);
    spent_ = 0;
    budget_ = budget;
    assert(candidates.size() == graph_.words());
    clique.clear();
    if (stopped_) {
        return CliqueOutcome::stopped;
    }
    const auto levels = static_cast<std::size_t>(size) + 1;
    if (levels_.size() < levels) {
        levels_.resize(levels);
    }
    for (Level& level : levels_) {
        level.candidates.resize(graph_.words());
        level.uncoloured.resize(graph_.words());
        level.colour_class.resize(graph_.words());
    }
    levels_[0].candidates = candidates;
    return expand(0, size, clique);
}

void CliqueSearcher::colour(std::size_t depth, int needed) {
    Level& level = levels_[depth];
    const std::size_t words = graph_.words();
    level.order.clear();
    level.colours.clear();
    level.uncoloured = level.candidates;
    int colour = 0;
    while (!empty(level.uncoloured.data(), words)) {
        ++colour;
        level.colour_class = level.uncoloured;
        for (std::size_t w = 0; w < words; ++w) {
            while (level.colour_class[w] != 0) {
                const auto bit = static_cast<std::size_t>(std::countr_zero(level.colour_class[w]));
                const std::size_t v = w * kWordBits + bit;
                level.uncoloured[w] &= ~(Word{1} << bit);
                // Neighbours of v leave this colour class; earlier words are already done.
                const Word* const row = graph_.row(v);
                for (std::size_t u = w; u < words; ++u) {
                    level.colour_class[u] &= ~row[u];
                }
                level.colour_class[w] &= ~(Word{1} << bit);
                if (colour >= needed) {
                    level.order.push_back(static_cast<std::uint32_t>(v));
                    level.colours.push_back(colour);
                }
            }
        }
    }
}

CliqueOutcome CliqueSearcher::expand(std::size_t depth, int needed,
                                     std::vector<std::size_t>& clique) {
    if (needed == 0) {
        return CliqueOutcome::found;
    }
    // A node's colouring touches every word of every candidate row at worst.
    work_ += graph_.words() + 1;
    spent_ += graph_.words() + 1;
    if (budget_ != 0 && spent_ > budget_) {
        return CliqueOutcome::over_budget;
    }
    if (work_ >= tuning::kCliqueWorkPerCheck) {
        work_ = 0;
        stopped_ = should_stop_ && should_stop_();
    }
    if (stopped_) {
        return CliqueOutcome::stopped;
    }
    const std::size_t words = graph_.words();
    Level& level = levels_[depth];
    if (needed == 1) {
        for (std::size_t w = 0; w < words; ++w) {
            if (level.candidates[w] != 0) {
                clique.push_back(w * kWordBits +
                                 static_cast<std::size_t>(std::countr_zero(level.candidates[w])));
                return CliqueOutcome::found;
            }
        }
        return CliqueOutcome::absent;
    }
    colour(depth, needed);
    // Vertices coloured below `needed` were left out of the order but stay candidates of the
    // levels below, which is what the bound allows.
    for (std::size_t i = level.order.size(); i-- > 0;) {
        if (level.colours[i] < needed) {
            return CliqueOutcome::absent;
        }
        const std::size_t v = level.order[i];
        const Word* const row = graph_.row(v);
        Level& next = levels_[depth + 1];
        for (std::size_t w = 0; w < words; ++w) {
            next.candidates[w] = level.candidates[w] & row[w];
        }
        const CliqueOutcome outcome = expand(depth + 1, needed - 1, clique);
        if (outcome != CliqueOutcome::absent) {
            if (outcome == CliqueOutcome::found) {
                clique.push_back(v);
            }
            return outcome;
        }
        level.candidates[v / kWordBits] &= ~(Word{1} << (v % kWordBits));
    }
    return CliqueOutcome::absent;
}

}  // namespace dispersao
