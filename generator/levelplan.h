// Which generator levels a sweep visits, one after the other.
//
// Fixed steps: From, From + Step, ... up to To, in that order.
//
// Adaptive steps place the levels where the curve RAW(level) needs them. The
// sweep walks up a coarse grid (From, From + MaxStep, ..., and To itself) and,
// after every reading, halves the gaps around the places where the readings
// do not lie on a straight line, down to MinStep:
//
// - a bend: a reading lies more than kBendRaw off the straight line through
//   its two neighbours, so the rise per dB changes there (the noise floor, a
//   knee of the detector, overload); both gaps beside it are halved;
// - a knee beside a plateau: a gap in which the RAW rises next to one in
//   which it stays put (whole RAW values hide small bends, a plateau does
//   not hide its end);
// - a jump: the RAW values at the two ends of a gap differ by more than
//   JumpRaw.
//
// A gap still wanted is halved before the walk goes on, so the refinement
// stays close behind the coarse walk and the generator never jumps far down.
// Where the curve is straight the coarse grid is all there is, and the table
// interpolates between its readings as exactly as between fine ones.
#pragma once

#include <map>
#include <optional>
#include <vector>

struct TStepPlan {
    double From = -130.0; // generator levels, dBm
    double To = -20.0;
    bool Adaptive = true;
    double Step = 1.0;    // fixed steps
    double MaxStep = 4.0; // adaptive: the coarse step
    double MinStep = 0.5; // adaptive: the finest step
    int JumpRaw = 16;     // adaptive: a larger RAW jump between neighbours is refined
};

class TLevelPlanner {
public:
    // A reading this far (RAW) off the line through its neighbours is a bend.
    // A straight curve read in whole RAW values stays within 1.
    static constexpr double kBendRaw = 1.0;

    // The plan must be valid (TSweepSettings::Levels checks it).
    explicit TLevelPlanner(const TStepPlan &plan);

    // The next generator level, or nothing when the sweep is complete.
    std::optional<double> Next() const { return next_; }
    // The RAW value read at the level Next() gave; chooses the next level.
    void Record(int raw);

    // Levels read so far, and those read plus those already known to come
    // (grows while an adaptive sweep refines).
    int Measured() const { return int(readings_.size()); }
    int Estimate() const;

    // The levels known before the sweep: every level of fixed steps, the
    // coarse grid of adaptive ones.
    static std::vector<double> Grid(const TStepPlan &plan);

private:
    std::optional<double> Choose() const;
    bool WantsSplit(std::map<double, int>::const_iterator a) const;

    TStepPlan plan_;
    std::vector<double> grid_;
    std::size_t nextGrid_ = 0;
    std::map<double, int> readings_;
    std::optional<double> next_;
};
