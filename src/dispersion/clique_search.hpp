// Cliques of a given size in a graph held as bitset rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace dispersao {

using Word = std::uint64_t;
inline constexpr std::size_t kWordBits = 64;

// An undirected graph on vertices 0..n-1: row v is a bitset of n bits (ceil(n / 64) words, bit
// u of word u / 64) with bit u set when u and v are adjacent. No vertex is its own neighbour.
class BitGraph {
  public:
    explicit BitGraph(std::size_t vertices)
        : vertices_(vertices),
          words_((vertices + kWordBits - 1) / kWordBits),
          rows_(vertices * words_, 0) {}

    [[nodiscard]] std::size_t vertices() const { return vertices_; }
    [[nodiscard]] std::size_t words() const { return words_; }
    [[nodiscard]] const Word* row(std::size_t v) const { return rows_.data() + v * words_; }

    // Makes a and b adjacent. Precondition: a != b, both below vertices().
    void add_edge(std::size_t a, std::size_t b) {
        rows_[a * words_ + b / kWordBits] |= Word{1} << (b % kWordBits);
        rows_[b * words_ + a / kWordBits] |= Word{1} << (a % kWordBits);
    }

  private:
    std::size_t vertices_;
    std::size_t words_;
    std::vector<Word> rows_;  // vertices_ rows of words_ words each
};

// What a clique search ended with.
// over_budget: the search gave up on the work it was allowed, with the limits not spent.
enum class CliqueOutcome { found, absent, stopped, over_budget };

// Searches one graph for cliques, reusing its scratch space from one search to the next.
class CliqueSearcher {
  public:
    // `should_stop` is asked now and then (every few tens of microseconds of work) whether to
    // give up.
    CliqueSearcher(const BitGraph& graph, std::function<bool()> should_stop)
        : graph_(graph), should_stop_(std::move(should_stop)) {}

    // Looks for `size` pairwise adjacent vertices among `candidates` (a bitset of the graph's
    // width). On `found`, `clique` holds them; `stopped` means should_stop said so first;
    // `over_budget` that the search touched more than `budget` bitset words first (0: no
    // budget). Precondition: size >= 0.
    [[nodiscard]] CliqueOutcome find(const std::vector<Word>& candidates, int size,
                                     std::vector<std::size_t>& clique, std::uint64_t budget = 0);

  private:
    // Depth-first search with greedy colouring bounds; `depth` indexes the scratch levels.
    CliqueOutcome expand(std::size_t depth, int needed, std::vector<std::size_t>& clique);
    // Colours the candidates of level `depth` greedily; fills its order and colour lists with
    // the vertices whose colour could still complete a clique of `needed` vertices.
    void colour(std::size_t depth, int needed);

    // Scratch of one search level.
    struct Level {
        std::vector<Word> candidates;      // bitset of the graph's width
        std::vector<Word> uncoloured;      // bitset, colouring's work
        std::vector<Word> colour_class;    // bitset, colouring's work
        std::vector<std::uint32_t> order;  // vertices in rising colour
        std::vector<int> colours;          // colour of order[i], 1-based
    };

    const BitGraph& graph_;
    std::function<bool()> should_stop_;
    std::vector<Level> levels_;
    std::uint64_t work_ = 0;    // work since should_stop was last asked
    std::uint64_t spent_ = 0;   // work of the current search
    std::uint64_t budget_ = 0;  // work the current search may do, 0 for no end
    bool stopped_ = false;
};

}  // namespace dispersao
