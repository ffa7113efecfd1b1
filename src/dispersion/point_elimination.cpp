// The elimination of one round, on as many threads as the search may use.
//
// The cells are decided one by one in a fixed order: a cell is dropped when its linked cells
// hold no (p - 1)-clique, and kept (with the cells of the clique found) otherwise. The search
// for cell number i sees the cells dropped by the decisions on cells 0 .. i - kWindow, never
// the later ones: so the searches of a window of cells are independent and run on several
// threads at once, while their verdicts are applied in order by the calling thread. What a
// search sees does not depend on the number of threads, nor on their timing, so neither does
// any answer: one thread and many give the same selection, value and bound.
#include <algorithm>
#include <atomic>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/point_solver.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

namespace {

constexpr std::size_t kWindow = tuning::kEliminationWindow;

// What the search around one cell ended with.
struct Verdict {
    enum class State : std::uint8_t {
        pending,
        running,
        skipped,
        absent,
        found,
        undecided,
        stopped
    };
    // pending: not handed out; running: handed out, no verdict yet; undecided: the search
    // gave up on its budget, and the cell stays
    State state = State::pending;
    std::vector<std::size_t> clique;  // when found: p - 1 cells linked to it and to each other
};

// The state the threads of one elimination share; every member but `stop` under `mutex`.
struct Board {
    Board(const BitGraph& graph_in, const std::vector<std::size_t>& order_in,
          const std::vector<Word>& alive, std::uint64_t budget_in, std::uint64_t crowded_budget_in)
        : graph(graph_in),
          order(order_in),
          budget(budget_in),
          crowded_budget(crowded_budget_in),
          seen(kWindow, alive),
          witnessed(graph_in.vertices(), false),
          verdicts(order_in.size()),
          undecided_before(order_in.size() + 1, 0) {}

    // Returns whether the next cell may be searched: its view of the verdicts is complete.
    [[nodiscard]] bool claimable() const {
        return claimed < order.size() && committed + kWindow >= claimed + 1;
    }

    // Hands out the next cell: its position in `order`, with the candidates of its search
    // (its links among the cells alive in its view) in `candidates`, or none when a clique
    // found already holds it (its verdict then changes nothing), and the work its search may
    // do in `work`. Precondition: claimable().
    std::size_t claim(std::vector<Word>& candidates, std::uint64_t& work) {
        const std::size_t i = claimed++;
        const std::size_t a = order[i];
        // Cell i sees the verdicts on cells 0 .. i - kWindow: max(0, i + 1 - kWindow) of them.
        const std::size_t view = i + 1 >= kWindow ? i + 1 - kWindow : 0;
        work = work_seeing(view);
        const std::vector<Word>& alive = seen[view % kWindow];
        verdicts[i].state = Verdict::State::running;
        candidates.clear();
        if (!witnessed[a]) {
            const Word* const row = graph.row(a);
            candidates.resize(graph.words());
            for (std::size_t w = 0; w < graph.words(); ++w) {
                candidates[w] = row[w] & alive[w];
            }
        }
        return i;
    }

    // Returns the work (CliqueSearcher::find, 0: no end) a search that sees the verdicts on
    // cells 0 .. view - 1 may do: `crowded_budget` once those verdicts hold enough searches
    // given up, else `budget`. A count of applied verdicts only, so the same on any number of
    // threads. Precondition: view <= committed.
    [[nodiscard]] std::uint64_t work_seeing(std::size_t view) const {
        assert(view <= committed);
        const bool crowded = undecided_before[view] >= tuning::kGivenUpBeforeSmallerWork;
        return crowded ? crowded_budget : budget;
    }

    const BitGraph& graph;
    const std::vector<std::size_t>& order;
    const std::uint64_t budget;  // work each search may do (CliqueSearcher::find), 0: no end
    const std::uint64_t crowded_budget;  // the same, once many searches have given up
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t claimed = 0;    // cells handed out: order[0 .. claimed)
    std::size_t committed = 0;  // verdicts applied: those on order[0 .. committed)
    // seen[c % kWindow]: the cells alive after c verdicts, for the searches that see c.
    std::vector<std::vector<Word>> seen;
    std::vector<bool> witnessed;  // cells of cliques found by the verdicts applied
    std::vector<Verdict> verdicts;
    // undecided_before[c]: the searches given up among the first c verdicts (c <= committed).
    std::vector<std::size_t> undecided_before;
    std::atomic<bool> stop{false};  // every thread gives up: the round is over
    std::exception_ptr failure;     // what made a helper thread give up, if anything failed
};

// Searches the cell at position i of the board's order with `searcher`, from `candidates`
// (empty when claimed as skipped), and posts the verdict. Precondition: cell i was claimed by
// this thread.
void search_cell(Board& board, CliqueSearcher& searcher, std::size_t i,
                 const std::vector<Word>& candidates, int needed, std::uint64_t work) {
    std::vector<std::size_t> clique;
    Verdict::State state = Verdict::State::skipped;
    if (!candidates.empty()) {
        const CliqueOutcome outcome = searcher.find(candidates, needed, clique, work);
        state = outcome == CliqueOutcome::found         ? Verdict::State::found
                : outcome == CliqueOutcome::absent      ? Verdict::State::absent
                : outcome == CliqueOutcome::over_budget ? Verdict::State::undecided
                                                        : Verdict::State::stopped;
    }
    const std::lock_guard lock(board.mutex);
    board.verdicts[i].state = state;
    board.verdicts[i].clique = std::move(clique);
    board.changed.notify_all();
}

// Body of a helper thread: claims and searches cells until none is left or all must stop.
void help(Board& board, int needed) noexcept {
    try {
        CliqueSearcher searcher(board.graph,
                                [&board] { return board.stop.load(std::memory_order_relaxed); });
        std::vector<Word> candidates;
        for (;;) {
            std::size_t i = 0;
            std::uint64_t work = 0;
            {
                std::unique_lock lock(board.mutex);
                board.changed.wait(lock, [&board] {
                    return board.stop.load() || board.claimable() ||
                           board.claimed == board.order.size();
                });
                if (board.stop.load() || !board.claimable()) {
                    return;
                }
                i = board.claim(candidates, work);
            }
            search_cell(board, searcher, i, candidates, needed, work);
        }
    } catch (...) {
        const std::lock_guard lock(board.mutex);
        board.failure = std::current_exception();
        board.stop.store(true);
        board.changed.notify_all();
    }
}

// The helper threads of one elimination, stopped and joined however the elimination ends.
class Helpers {
  public:
    Helpers(Board& board, int count, int needed) : board_(board) {
        for (int t = 0; t < count; ++t) {
            try {
                threads_.emplace_back(help, std::ref(board), needed);
            } catch (const std::system_error&) {
                break;  // fewer threads: the same answer, later
            }
        }
    }
    Helpers(const Helpers&) = delete;
    Helpers& operator=(const Helpers&) = delete;
    ~Helpers() {
        {
            const std::lock_guard lock(board_.mutex);
            board_.stop.store(true);
            board_.changed.notify_all();
        }
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

  private:
    Board& board_;
    std::vector<std::thread> threads_;
};

}  // namespace

// Drops every cell of `graph` in no p-clique, leaving the others in `alive` (a bitset over the
// cells). A cell in a clique found on the way is kept without a search of its own; a clique of
// single places, or one whose cells yield a better selection, ends the round as `improved`.
// Cells whose search gave up on its budget stay, and are marked in `unsettled`.
// Returns `refined` when every cell was decided, `stopped` if the limits struck first.
RoundEnd PointSolver::eliminate(const BitGraph& graph, std::vector<Word>& alive,
                                std::vector<Word>& unsettled) {
    std::vector<int> degree;
    alive = peel(graph, degree);
    std::vector<std::size_t> order;
    for (std::size_t a = 0; a < graph.vertices(); ++a) {
        if (has(alive, a)) {
            order.push_back(a);
        }
    }
    // Cells of few links first: they are the likeliest to go, and each one gone makes the
    // searches after it smaller.
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return degree[a] < degree[b]; });
    // While the cells can still all be split, a search that runs long is left undecided: its
    // cell stays, and the next round, on finer cells, settles it at less cost (a cell of one
    // place too: its links are exact, but those among its neighbours become so). Only while
    // some cell can be split: else no round would be finer. Once the searches of a round of
    // many cells give up often, the later ones get less work (Board::work_seeing).
    unsettled.assign(alive.size(), 0);
    const bool finer = std::any_of(order.begin(), order.end(),
                                   [this](std::size_t a) { return !cells_[a].one_place; });
    const bool bounded = finer && 2 * cells_.size() <= max_cells_;
    const std::uint64_t budget = bounded ? tuning::kCellSearchWork : 0;
    const std::uint64_t crowded_budget = bounded && order.size() >= tuning::kCellsForSmallerWork
                                             ? tuning::kCellSearchWorkAfterGivenUp
                                             : budget;
    Board board(graph, order, alive, budget, crowded_budget);
    const int needed = p_ - 1;
    // More helpers than the window has cells would wait for verdicts all the time.
    const auto helpers = static_cast<int>(
        std::min<std::size_t>({static_cast<std::size_t>(threads_ - 1), kWindow - 1, order.size()}));
    const Helpers running(board, helpers, needed);
    CliqueSearcher searcher(graph, [this, &board] {
        return clock_.should_stop() || board.stop.load(std::memory_order_relaxed);
    });
    std::vector<Word> candidates;
    int polish_tries = tuning::kPolishTries;
    std::unique_lock lock(board.mutex);
    while (board.committed < order.size()) {
        if (board.failure) {
            std::rethrow_exception(board.failure);
        }
        if (clock_.should_stop()) {
            return RoundEnd::stopped;
        }
        Verdict& verdict = board.verdicts[board.committed];
        const std::size_t a = order[board.committed];
        const bool undecided =
            verdict.state == Verdict::State::pending || verdict.state == Verdict::State::running;
        if (undecided && board.claimable()) {
            // The next verdict is still being found, by a helper or by nobody yet: this thread
            // searches the next cell unclaimed rather than wait, or a helper's search would run
            // alone while this thread sleeps.
            std::uint64_t work = 0;
            const std::size_t i = board.claim(candidates, work);
            lock.unlock();
            search_cell(board, searcher, i, candidates, needed, work);
            lock.lock();
            continue;
        }
        if (undecided) {
            board.changed.wait_for(lock, std::chrono::milliseconds(tuning::kEliminationPollMs));
            clock_.report(value_, bound());
            continue;
        }
        if (verdict.state == Verdict::State::stopped) {
            return RoundEnd::stopped;
        }
        bool improved = false;
        if (!board.witnessed[a] && verdict.state == Verdict::State::undecided) {
            unsettled[a / kWordBits] |= Word{1} << (a % kWordBits);
        }
        if (!board.witnessed[a] && verdict.state == Verdict::State::absent) {
            alive[a / kWordBits] &= ~(Word{1} << (a % kWordBits));
        } else if (!board.witnessed[a] && verdict.state == Verdict::State::found) {
            verdict.clique.push_back(a);
            for (const std::size_t c : verdict.clique) {
                board.witnessed[c] = true;
            }
            lock.unlock();
            clock_.report(value_, bound());
            improved = take_clique(verdict.clique, polish_tries);
            lock.lock();
        }
        if (improved) {
            return RoundEnd::improved;
        }
        board.undecided_before[board.committed + 1] =
            board.undecided_before[board.committed] +
            static_cast<std::size_t>(verdict.state == Verdict::State::undecided);
        ++board.committed;
        board.seen[board.committed % kWindow] = alive;
        board.changed.notify_all();
    }
    return RoundEnd::refined;
}

}  // namespace dispersao::point_internal
