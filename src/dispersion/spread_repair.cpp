// Overlap repair: a target spacing, the chosen points closer than it, and moves that shrink
// their overlap until none is left or the attempt gives up.
#include "dispersion/spread_repair.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "dispersion/search_tuning.hpp"

namespace dispersao {

namespace {

class Repair {
  public:
    Repair(const PointGrid& grid, SelectionGrid& chosen, std::vector<bool>& taken,
           const std::function<bool()>& stop)
        : grid_(grid),
          chosen_(chosen),
          taken_(taken),
          stop_(stop),
          random_(tuning::kSpreadSeed),
          listed_(chosen.size(), false) {}

    // Returns the best selection met (see repair_spacing).
    std::vector<std::size_t> run();

  private:
    [[nodiscard]] double overlap(std::size_t x, std::size_t skip, double target2) const;
    [[nodiscard]] std::size_t sample_near(std::size_t from, double radius);
    [[nodiscard]] bool attempt(double target);
    void list(std::size_t k);
    bool stopped();

    const PointGrid& grid_;
    SelectionGrid& chosen_;
    std::vector<bool>& taken_;
    const std::function<bool()>& stop_;
    std::mt19937_64 random_;
    std::vector<std::uint32_t> violators_;  // slots that may have a neighbour too close
    std::vector<bool> listed_;              // whether a slot is in violators_
    std::size_t steps_ = 0;
    bool stopped_ = false;
};

// Returns whether `stop` says so, asking it only every few dozen steps.
bool Repair::stopped() {
    if (!stopped_ && ++steps_ % tuning::kSpreadMovesPerClockCheck == 0 && stop_) {
        stopped_ = stop_();
    }
    return stopped_;
}

// Returns the sum of target2 - length^2 over the slots other than `skip` nearer grid position
// x than the target.
double Repair::overlap(std::size_t x, std::size_t skip, double target2) const {
    double sum = 0;
    chosen_.around(x, std::sqrt(target2), [&](std::size_t j) {
        if (j != skip) {
            const double length2 = grid_.length2(x, chosen_.at(j));
            if (length2 < target2) {
                sum += target2 - length2;
            }
        }
    });
    return sum;
}

// Returns a grid position drawn near `from` (in the cell of a random place of the box of
// half-side `radius` around it), or the grid's size when that cell is empty.
std::size_t Repair::sample_near(std::size_t from, double radius) {
    std::uniform_real_distribution<double> offset(-radius, radius);
    std::array<std::size_t, 3> at{0, 0, 0};
    for (std::size_t d = 0; d < static_cast<std::size_t>(grid_.dimensions()); ++d) {
        at[d] = grid_.slot(grid_.at(from, d) + offset(random_), d);
    }
    const std::size_t c = grid_.cell(at[0], at[1], at[2]);
    const std::size_t count = grid_.first(c + 1) - grid_.first(c);
    if (count == 0) {
        return grid_.size();
    }
    return grid_.first(c) + static_cast<std::size_t>(random_() % count);
}

// Puts slot k in the list of possible violators.
void Repair::list(std::size_t k) {
    if (!listed_[k]) {
        listed_[k] = true;
        violators_.push_back(static_cast<std::uint32_t>(k));
    }
}

// Moves violators until no pair is closer than `target` (returns true) or the steps of one
// attempt run out or the clock stops it (false).
bool Repair::attempt(double target) {
    const double target2 = target * target;
    violators_.clear();
    std::fill(listed_.begin(), listed_.end(), false);
    std::size_t who = SelectionGrid::kNobody;
    for (std::size_t k = 0; k < chosen_.size(); ++k) {
        if (stopped()) {
            return false;
        }
        if (chosen_.nearest2(chosen_.at(k), k, target2, target2, who) < target2) {
            list(k);
        }
    }
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const auto budget = static_cast<std::size_t>(tuning::kSpreadRepairStepsPerPoint *
                                                 static_cast<double>(chosen_.size()));
    for (std::size_t step = 0; step < budget; ++step) {
        if (violators_.empty()) {
            return true;
        }
        if (stopped()) {
            return false;
        }
        const std::size_t index = random_() % violators_.size();
        const std::size_t k = violators_[index];
        const double now = overlap(chosen_.at(k), k, target2);
        if (now == 0) {
            listed_[k] = false;
            violators_[index] = violators_.back();
            violators_.pop_back();
            continue;
        }
        std::size_t target_point = grid_.size();
        double least = now;
        std::size_t any = grid_.size();
        for (int s = 0; s < tuning::kSpreadRepairSamples; ++s) {
            // Radii from the reach down to a 64th of it: small steps ease a pair apart,
            // long ones find gaps.
            const double radius =
                std::ldexp(target * tuning::kSpreadMoveReach, -static_cast<int>(random_() % 7));
            const std::size_t x = sample_near(chosen_.at(k), radius);
            if (x == grid_.size() || taken_[x]) {
                continue;
            }
            any = x;
            const double after = overlap(x, k, target2);
            if (after < least) {
                least = after;
                target_point = x;
            }
        }
        // Now and then a violator that cannot shrink its overlap moves anyway, so that a
        // chain of tight pairs can shift.
        if (target_point == grid_.size() && any != grid_.size() &&
            chance(random_) < tuning::kSpreadRepairNoise) {
            target_point = any;
        }
        if (target_point == grid_.size()) {
            continue;
        }
        taken_[chosen_.at(k)] = false;
        taken_[target_point] = true;
        chosen_.move(k, target_point);
        chosen_.around(target_point, target, [&](std::size_t j) {
            if (j != k && grid_.length2(target_point, chosen_.at(j)) < target2) {
                list(j);
            }
        });
    }
    return violators_.empty();
}

std::vector<std::size_t> Repair::run() {
    std::vector<std::size_t> best = chosen_.positions();
    if (stop_ && stop_()) {
        return best;
    }
    double best2 = chosen_.closest2();
    double rise = tuning::kSpreadRepairFirstRise;
    for (int round = 0; round < tuning::kSpreadRepairAttempts && best2 > 0; ++round) {
        if (rise < tuning::kSpreadRepairLeastRise || stopped_ || (stop_ && stop_())) {
            break;
        }
        if (attempt(std::sqrt(best2) * (1.0 + rise))) {
            best = chosen_.positions();
            best2 = chosen_.closest2();
            rise = std::min(rise * 1.5, tuning::kSpreadRepairFirstRise);
        } else {
            rise /= 2;
        }
    }
    return best;
}

}  // namespace

std::vector<std::size_t> repair_spacing(const PointGrid& grid, SelectionGrid& chosen,
                                        std::vector<bool>& taken,
                                        const std::function<bool()>& stop) {
    assert(taken.size() == grid.size());
    Repair repair(grid, chosen, taken, stop);
    return repair.run();
}

}  // namespace dispersao
