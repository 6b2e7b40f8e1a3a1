#pragma once

#include "SuffixAutomaton.h"
#include "WorkBudget.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kivo {

/// Common runs of two sequences of numbers from a shortest edit script (Myers' O((N+M)·D)
/// search for the middle snake, divided and conquered in linear space), with a cost limit: when
/// a search has spent 256 edit steps without finding its middle snake, the box is split at the
/// furthest point reached (forward or backward, whichever got further) instead, as git's xdiff
/// does. So the runs are a longest common subsequence while the two differ in few places, and
/// near one otherwise, in time about (N+M)·256 at worst.
///
/// A box split that way keeps one corner of its parent, and the parent's search from that corner
/// is the one the box would run again whenever no edge of the smaller box comes within its reach
/// and the search from the new corner stays clear of it. The box is then searched from its new
/// corner only: on a long pair that differs everywhere, that halves the work of the cut-off
/// searches without changing a run.
///
/// Resumable: each box (a pair of ranges) is searched whole, which costs at most about the
/// square of the cost limit, and Run returns between boxes once its budget is spent.
class EditScriptMatcher {
public:
    /// Starts on the pairs of ranges [xs, xe) of x and [ys, ye) of y; the spans must stay valid
    /// until Run returns true.
    void Start(std::span<const std::int32_t> x, std::span<const std::int32_t> y,
               const std::vector<std::array<std::int32_t, 4>> &ranges);

    /// Goes on; appends each common run found to runs (x start, y start, length; the runs do not
    /// overlap). True once every range is done.
    bool Run(WorkBudget &budget, std::vector<CommonRun> &runs);

private:
    struct Point {
        std::int32_t x, y;
    };
    /// What a search cut off at the cost limit found, from the corner it started at: the point
    /// it got furthest to, and the extremes of every point it wrote (forward: the greatest x and
    /// y; backward: the least), which tell whether a smaller box could have changed it.
    struct Reach {
        Point corner{-1, -1}; // x -1: none
        Point furthest{0, 0};
        std::int64_t best = 0; // how far: x + y of furthest
        std::int32_t edgeX = 0;
        std::int32_t edgeY = 0;
    };
    struct Box {
        std::int32_t xs, xe, ys, ye;
        std::int32_t offset; // added to a diagonal x - y to index the tables of its range
        Reach fromStart;     // a finished search of the parent from this box's start, if any
        Reach fromEnd;       // the same from its end
    };
    /// Diagonals a search has reached, and the extremes of the points it wrote.
    struct Front {
        std::int32_t min, max;
        std::int32_t edgeX, edgeY;
    };

    Point Split(const Box &box, std::int64_t &work);
    template <bool kCheck>
    bool ForwardRound(const Box &box, const std::int32_t dmin, const std::int32_t dmax, bool odd,
                      Front &f, const Front &b, Point &meet, std::int64_t &work);
    template <bool kCheck>
    bool BackwardRound(const Box &box, const std::int32_t dmin, const std::int32_t dmax, bool odd,
                       Front &b, const Front &f, Point &meet, std::int64_t &work);
    Reach ForwardFurthest(const Box &box, const Front &f) const;
    Reach BackwardFurthest(const Box &box, const Front &b) const;
    bool ReusesEnd(const Box &box) const;
    bool ReusesStart(const Box &box) const;

    std::span<const std::int32_t> m_x;
    std::span<const std::int32_t> m_y;
    std::vector<Box> m_boxes;
    std::unique_ptr<std::int32_t[]> m_forward;  // per diagonal: furthest x reached from the start
    std::unique_ptr<std::int32_t[]> m_backward; // per diagonal: furthest x reached from the end
    // The searches of the last Split, when it was cut off at the cost limit (corner x -1 else).
    Reach m_forwardReach;
    Reach m_backwardReach;
};

} // namespace kivo
