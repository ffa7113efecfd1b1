// Selections above the best value, found by moving the points of pairs that are too close.
#include "dispersion/target_search.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/search_tuning.hpp"
#include "dispersion/target_keys.hpp"
#include "dispersion/target_layout.hpp"

namespace dispersao {

namespace {

// Relative slack a block's least depth must exceed the best candidate's by to be skipped: the
// sums of depths in other orders may round a few ulps apart.
constexpr double kBoundSlack = 1e-9;

// The search's state: the selection, how deep each of its pairs lies inside the target, the
// best selection so far and its value.
class TargetSearch {
  public:
    // Starts from `chosen`, which becomes the best so far. Precondition: as raise_by_targets.
    TargetSearch(const PointSet& points, const PairKey& key, std::vector<std::size_t> chosen,
                 const TargetLimits& limits)
        : points_(points),
          key_(key),
          limits_(limits),
          random_(limits.seed),
          chosen_(std::move(chosen)),
          order_(target_layout::strip_order(points, chosen_.size())),
          blocks_(target_layout::blocks_of(points, order_)),
          groups_(target_layout::groups_of(blocks_)),
          in_set_(points.size(), 0),
          place_(target_layout::places(points, chosen_.size(), limits.barred_square)),
          barred_until_(points.size(), 0),
          depth_(chosen_.size() * chosen_.size(), 0.0),
          too_close_(points, 0.0, 0.0) {
        for (const std::size_t c : chosen_) {
            in_set_[c] = 1;
        }
        if (key_.planar) {
            for (const std::size_t x : order_) {
                order_x_.push_back(points.x[x]);
                order_y_.push_back(points.y[x]);
            }
        }
        place_chosen();
        take_best();
    }

    // Runs the moves while the limits allow and returns the best selection found.
    std::vector<std::size_t> run() {
        const std::size_t p = chosen_.size();
        int idle = 0;
        for (std::uint64_t move = 1; idle < limits_.idle_moves; ++move) {
            if (limits_.should_stop && limits_.should_stop()) {
                break;
            }
            ++idle;
            if (idle % tuning::kTargetResetMoves == 0) {
                restart_from_best();
                continue;
            }
            const std::size_t k = position_to_move();
            std::size_t to = replacement(k, move, true);
            if (to == points_.size()) {
                to = replacement(k, move, false);
            }
            if (to == points_.size()) {
                continue;
            }
            const std::size_t spread = std::max<std::size_t>(p, 1);
            barred_until_[place_[chosen_[k]]] = move + tuning::kTargetTenure + random_() % spread;
            in_set_[chosen_[k]] = 0;
            in_set_[to] = 1;
            chosen_[k] = to;
            place_chosen();
            measure_position(k);
            if (conflicts_ == 0) {
                take_best();
                idle = 0;
            }
        }
        return best_;
    }

    // Returns the best value found.
    [[nodiscard]] double value() const { return value_; }

  private:
    // Makes the current selection the best and the target the next value above its value.
    void take_best() {
        best_ = chosen_;
        value_ = selection_value(points_, best_);
        const std::size_t p = chosen_.size();
        double at_value = std::numeric_limits<double>::infinity();
        for (std::size_t a = 0; a < p; ++a) {
            for (std::size_t b = a + 1; b < p; ++b) {
                if (point_distance(points_, chosen_[a], chosen_[b]) <= value_) {
                    at_value = std::min(at_value, key_(chosen_[a], chosen_[b]));
                }
            }
        }
        too_close_ = TooClose(points_, value_, at_value);
        reference_ = at_value;
        floor_ = reference_ > 0 ? reference_ * tuning::kTargetDepthFloor : 1.0;
        measure_all();
    }

    // Puts the best selection back in place of the current one.
    void restart_from_best() {
        for (const std::size_t c : chosen_) {
            in_set_[c] = 0;
        }
        chosen_ = best_;
        place_chosen();
        for (const std::size_t c : chosen_) {
            in_set_[c] = 1;
        }
        measure_all();
    }

    // Copies the chosen points' coordinates next to each other, for the scans of candidates.
    void place_chosen() {
        if (!key_.planar) {
            return;
        }
        chosen_x_.resize(chosen_.size());
        chosen_y_.resize(chosen_.size());
        for (std::size_t o = 0; o < chosen_.size(); ++o) {
            chosen_x_[o] = points_.x[chosen_[o]];
            chosen_y_[o] = points_.y[chosen_[o]];
        }
    }

    // Returns the key of the pair of the order's i-th point (point x) and chosen position o.
    [[nodiscard]] double key_in_order(std::size_t i, std::size_t x, std::size_t o) const {
        if (!key_.planar) {
            return key_(x, chosen_[o]);
        }
        const double dx = order_x_[i] - chosen_x_[o];
        const double dy = order_y_[i] - chosen_y_[o];
        return dx * dx + dy * dy;
    }

    // Returns how deep a pair with key `key` lies inside the target: 0 when it is outside.
    [[nodiscard]] double depth(double key, std::size_t a, std::size_t b) {
        if (!too_close_(key, a, b)) {
            return 0.0;
        }
        return std::max(reference_ - key, 0.0) + floor_;
    }

    // Measures every pair of the selection.
    void measure_all() {
        std::fill(depth_.begin(), depth_.end(), 0.0);
        conflicts_ = 0;
        for (std::size_t k = 0; k < chosen_.size(); ++k) {
            measure_position(k);
        }
    }

    // Measures the pairs of position k again, keeping the count of pairs inside the target.
    void measure_position(std::size_t k) {
        const std::size_t p = chosen_.size();
        for (std::size_t o = 0; o < p; ++o) {
            if (o == k) {
                continue;
            }
            const double before = depth_[k * p + o];
            const double now = depth(key_(chosen_[k], chosen_[o]), chosen_[k], chosen_[o]);
            conflicts_ += (now > 0 ? 1 : 0) - (before > 0 ? 1 : 0);
            depth_[k * p + o] = now;
            depth_[o * p + k] = now;
        }
    }

    // Returns the position to move: mostly the one deepest inside the target, sometimes any
    // position in a pair inside it. Precondition: some pair is inside the target.
    [[nodiscard]] std::size_t position_to_move() {
        const std::size_t p = chosen_.size();
        std::vector<std::size_t> inside;
        std::size_t deepest = p;
        double deepest_load = 0;
        std::size_t ties = 0;
        for (std::size_t k = 0; k < p; ++k) {
            double load = 0;
            for (std::size_t o = 0; o < p; ++o) {
                load += depth_[k * p + o];
            }
            if (load <= 0) {
                continue;
            }
            inside.push_back(k);
            if (load > deepest_load) {
                deepest_load = load;
                deepest = k;
                ties = 1;
            } else if (load == deepest_load && random_() % ++ties == 0) {
                deepest = k;
            }
        }
        assert(!inside.empty());
        if (random_() % tuning::kTargetRandomPickOneIn == 0) {
            return inside[random_() % inside.size()];
        }
        return deepest;
    }

    // The best candidate of a scan so far.
    struct Candidate {
        std::size_t point;
        double depth;  // how deep it lies inside the target with the others
        double near;   // key of its nearest chosen point
    };

    // Returns the point outside the selection that, put at position k, lies least deep inside
    // the target with the others (the farthest from them among equals), skipping barred points
    // when `bar`; the set's size when there is none.
    [[nodiscard]] std::size_t replacement(std::size_t k, std::uint64_t move, bool bar) {
        Candidate best{points_.size(), std::numeric_limits<double>::infinity(), -1};
        // The position that ruled out the last candidate: the next one, its neighbour in the
        // order, is most often ruled out by it too, so it is looked at first.
        std::size_t first = k == 0 ? 1 : 0;
        for (const target_layout::Block& group : groups_) {
            positions_near(group, k);
            if (least_depth(group) > best.depth * (1 + kBoundSlack)) {
                continue;  // every point of the group lies deeper than the best candidate
            }
            for (std::size_t b = group.begin; b < group.end; ++b) {
                const target_layout::Block& block = blocks_[b];
                if (least_depth(block) <= best.depth * (1 + kBoundSlack)) {
                    scan(block, k, move, bar, best, first);
                }  // else every point of the block lies deeper than the best candidate
            }
        }
        return best.point;
    }

    // Scans the points of `block` as candidates for position k (see replacement), keeping the
    // best in `best` and the position that ruled out the last one in `first`.
    void scan(const target_layout::Block& block, std::size_t k, std::uint64_t move, bool bar,
              Candidate& best, std::size_t& first) {
        const std::size_t p = chosen_.size();
        for (std::size_t i = block.begin; i < block.end; ++i) {
            const std::size_t x = order_[i];
            if (in_set_[x] != 0 || (bar && barred_until_[place_[x]] > move)) {
                continue;
            }
            double total = 0;
            double near = std::numeric_limits<double>::infinity();
            std::size_t o = first;
            for (std::size_t seen = 0; seen < p; ++seen, o = o + 1 == p ? 0 : o + 1) {
                if (o == k) {
                    continue;
                }
                const double key = key_in_order(i, x, o);
                near = std::min(near, key);
                total += depth(key, x, chosen_[o]);
                if (total > best.depth) {
                    first = o;
                    break;
                }
            }
            if (total < best.depth || (total == best.depth && near > best.near)) {
                best = {x, total, near};
            }
        }
    }

    // Lists in near_ the chosen positions other than k that may have part of `box` inside
    // their target: every other one lies, from all of the box, at a key no pair inside the
    // target reaches. Off the plane it lists none (least_depth is then 0).
    void positions_near(const target_layout::Block& box, std::size_t k) {
        near_.clear();
        if (!key_.planar) {
            return;
        }
        const double reach = too_close_.farther();
        for (std::size_t o = 0; o < chosen_.size(); ++o) {
            const double cx = chosen_x_[o];
            const double cy = chosen_y_[o];
            const double dx = std::max({box.low_x - cx, cx - box.high_x, 0.0});
            const double dy = std::max({box.low_y - cy, cy - box.high_y, 0.0});
            if (o != k && dx * dx + dy * dy < reach) {
                near_.push_back(o);
            }
        }
    }

    // Returns a depth no point of `block` put at the position being moved lies below: the
    // depths of the chosen points that lie inside the target of the block's farthest corner.
    // Precondition: near_ lists the positions near a box holding the block.
    [[nodiscard]] double least_depth(const target_layout::Block& block) const {
        double least = 0;
        for (const std::size_t o : near_) {
            const double cx = chosen_x_[o];
            const double cy = chosen_y_[o];
            const double dx = std::max(cx - block.low_x, block.high_x - cx);
            const double dy = std::max(cy - block.low_y, block.high_y - cy);
            const double far = dx * dx + dy * dy;
            if (far <= too_close_.closer()) {
                least += std::max(reference_ - far, 0.0) + floor_;
            }
        }
        return least;
    }

    const PointSet& points_;
    PairKey key_;
    const TargetLimits& limits_;
    std::mt19937_64 random_;
    std::vector<std::size_t> chosen_;
    // Every point, neighbours mostly next to each other: by strips across the plane, then
    // along each strip.
    std::vector<std::size_t> order_;
    // The order cut into runs, each with its bounding box.
    std::vector<target_layout::Block> blocks_;
    // On the plane, the coordinates of the order's points, in its order.
    std::vector<double> order_x_;
    std::vector<double> order_y_;
    // On the plane, the coordinates of chosen_'s points.
    std::vector<double> chosen_x_;
    std::vector<double> chosen_y_;
    // The blocks in groups, each with its bounding box.
    std::vector<target_layout::Block> groups_;
    // The chosen positions near the group being scanned (positions_near).
    std::vector<std::size_t> near_;
    // Per point: 1 while it is chosen.
    std::vector<char> in_set_;
    // Per point: its place, barred as a whole.
    std::vector<std::size_t> place_;
    // Per place: the move from which its points may be chosen again.
    std::vector<std::uint64_t> barred_until_;
    // depth_[a * p + b]: how deep the pair of positions a and b lies inside the target.
    std::vector<double> depth_;
    // Pairs of the selection inside the target.
    int conflicts_ = 0;
    TooClose too_close_;
    // Key of the best selection's closest pair: depths are measured from it.
    double reference_ = 0;
    // Depth added to every pair inside the target, so that each counts.
    double floor_ = 1;
    std::vector<std::size_t> best_;
    double value_ = 0;
};

}  // namespace

double raise_by_targets(const PointSet& points, std::vector<std::size_t>& chosen,
                        const TargetLimits& limits) {
    assert(chosen.size() >= 2 && chosen.size() < points.size() && limits.idle_moves >= 0 &&
           limits.barred_square > 0);
    TargetSearch search(points, PairKey::of(points), chosen, limits);
    chosen = search.run();
    return search.value();
}

}  // namespace dispersao
