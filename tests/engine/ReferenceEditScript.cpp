#include "ReferenceEditScript.h"

#include <algorithm>
#include <limits>

namespace kivo::test {

namespace {

// Edit steps one middle-snake search may take before it splits at the furthest point reached
// (xdiff's least cost limit). One search then costs about its square, well within a step.
constexpr std::int32_t kCostLimit = 256;

constexpr std::int32_t kBeforeStart = -1;
constexpr std::int32_t kPastEnd = std::numeric_limits<std::int32_t>::max();

} // namespace

void ReferenceEditScriptMatcher::Start(std::span<const std::int32_t> x,
                                       std::span<const std::int32_t> y,
                                       const std::vector<std::array<std::int32_t, 4>> &ranges)
{
    m_x = x;
    m_y = y;
    m_boxes.clear();
    std::size_t tableSize = 0;
    for (const auto &[xs, xe, ys, ye] : ranges) {
        if (xs >= xe && ys >= ye)
            continue;
        // Diagonals xs - ye - 1 .. xe - ys + 1 (with the guards) map to 0 .. size - 1.
        m_boxes.push_back({xs, xe, ys, ye, ye + 1 - xs});
        const std::int64_t length = static_cast<std::int64_t>(xe - xs) + (ye - ys);
        tableSize = std::max(tableSize, static_cast<std::size_t>(length) + 3);
    }
    // Left unwritten: a search writes every entry before it reads it, so that a table of
    // millions of diagonals costs nothing until a search reaches it.
    m_forward = std::make_unique_for_overwrite<std::int32_t[]>(tableSize);
    m_backward = std::make_unique_for_overwrite<std::int32_t[]>(tableSize);
}

bool ReferenceEditScriptMatcher::Run(WorkBudget &budget, std::vector<CommonRun> &runs)
{
    while (!m_boxes.empty()) {
        if (budget.Exhausted())
            return false;
        Box box = m_boxes.back();
        m_boxes.pop_back();
        std::int64_t work = 1;
        std::int32_t n = 0;
        while (box.xs + n < box.xe && box.ys + n < box.ye &&
               m_x[static_cast<std::size_t>(box.xs + n)] ==
                   m_y[static_cast<std::size_t>(box.ys + n)])
            ++n;
        if (n > 0)
            runs.push_back({box.xs, box.ys, n});
        box.xs += n;
        box.ys += n;
        work += n;
        n = 0;
        while (box.xs < box.xe - n && box.ys < box.ye - n &&
               m_x[static_cast<std::size_t>(box.xe - 1 - n)] ==
                   m_y[static_cast<std::size_t>(box.ye - 1 - n)])
            ++n;
        if (n > 0)
            runs.push_back({box.xe - n, box.ye - n, n});
        box.xe -= n;
        box.ye -= n;
        work += n;
        if (box.xs < box.xe && box.ys < box.ye) {
            Point split = Split(box, work);
            split.x = std::clamp(split.x, box.xs, box.xe);
            split.y = std::clamp(split.y, box.ys, box.ye);
            const bool atStart = split.x == box.xs && split.y == box.ys;
            const bool atEnd = split.x == box.xe && split.y == box.ye;
            // A split at a corner would not shrink the box: the box is left without runs.
            if (!atStart && !atEnd) {
                m_boxes.push_back({split.x, box.xe, split.y, box.ye, box.offset});
                m_boxes.push_back({box.xs, split.x, box.ys, split.y, box.offset});
            }
        }
        budget.Spend(work);
    }
    m_forward.reset();
    m_backward.reset();
    return true;
}

std::int32_t &ReferenceEditScriptMatcher::Forward(const Box &box, std::int32_t d)
{
    return m_forward[static_cast<std::size_t>(d + box.offset)];
}

std::int32_t &ReferenceEditScriptMatcher::Backward(const Box &box, std::int32_t d)
{
    return m_backward[static_cast<std::size_t>(d + box.offset)];
}

ReferenceEditScriptMatcher::Point ReferenceEditScriptMatcher::Split(const Box &box,
                                                                    std::int64_t &work)
{
    // Diagonal d holds the points with x - y = d. The forward search starts on fmid at the box's
    // start, the backward one on bmid at its end; they meet on a middle snake.
    const std::int32_t dmin = box.xs - box.ye;
    const std::int32_t dmax = box.xe - box.ys;
    const std::int32_t fmid = box.xs - box.ys;
    const std::int32_t bmid = box.xe - box.ye;
    const bool odd = ((fmid - bmid) & 1) != 0;
    std::int32_t fmin = fmid, fmax = fmid, bmin = bmid, bmax = bmid;
    Forward(box, fmid) = box.xs;
    Backward(box, bmid) = box.xe;
    const auto equal = [this](std::int32_t x, std::int32_t y) {
        return m_x[static_cast<std::size_t>(x)] == m_y[static_cast<std::size_t>(y)];
    };
    for (std::int32_t cost = 1;; ++cost) {
        if (fmin > dmin)
            Forward(box, --fmin - 1) = kBeforeStart;
        else
            ++fmin;
        if (fmax < dmax)
            Forward(box, ++fmax + 1) = kBeforeStart;
        else
            --fmax;
        for (std::int32_t d = fmax; d >= fmin; d -= 2) {
            std::int32_t x = Forward(box, d - 1) >= Forward(box, d + 1) ? Forward(box, d - 1) + 1
                                                                        : Forward(box, d + 1);
            std::int32_t y = x - d;
            while (x < box.xe && y < box.ye && y >= box.ys && equal(x, y)) {
                ++x;
                ++y;
                ++work;
            }
            ++work;
            Forward(box, d) = x;
            if (odd && bmin <= d && d <= bmax && Backward(box, d) <= x)
                return {x, y};
        }
        if (bmin > dmin)
            Backward(box, --bmin - 1) = kPastEnd;
        else
            ++bmin;
        if (bmax < dmax)
            Backward(box, ++bmax + 1) = kPastEnd;
        else
            --bmax;
        for (std::int32_t d = bmax; d >= bmin; d -= 2) {
            std::int32_t x = Backward(box, d - 1) < Backward(box, d + 1) ? Backward(box, d - 1)
                                                                         : Backward(box, d + 1) - 1;
            std::int32_t y = x - d;
            while (x > box.xs && y > box.ys && y <= box.ye && equal(x - 1, y - 1)) {
                --x;
                --y;
                ++work;
            }
            ++work;
            Backward(box, d) = x;
            if (!odd && fmin <= d && d <= fmax && x <= Forward(box, d))
                return {x, y};
        }
        if (cost < kCostLimit)
            continue;
        // Too costly: split where either search got furthest along its way.
        std::int64_t forwardBest = -1;
        Point forwardPoint{box.xs, box.ys};
        for (std::int32_t d = fmax; d >= fmin; d -= 2) {
            std::int32_t x = std::min(Forward(box, d), box.xe);
            std::int32_t y = x - d;
            if (y > box.ye) {
                x = box.ye + d;
                y = box.ye;
            }
            if (forwardBest < static_cast<std::int64_t>(x) + y) {
                forwardBest = static_cast<std::int64_t>(x) + y;
                forwardPoint = {x, y};
            }
        }
        std::int64_t backwardBest = std::numeric_limits<std::int64_t>::max();
        Point backwardPoint{box.xe, box.ye};
        for (std::int32_t d = bmax; d >= bmin; d -= 2) {
            std::int32_t x = std::max(Backward(box, d), box.xs);
            std::int32_t y = x - d;
            if (y < box.ys) {
                x = box.ys + d;
                y = box.ys;
            }
            if (static_cast<std::int64_t>(x) + y < backwardBest) {
                backwardBest = static_cast<std::int64_t>(x) + y;
                backwardPoint = {x, y};
            }
        }
        const std::int64_t ends = static_cast<std::int64_t>(box.xe) + box.ye;
        const std::int64_t starts = static_cast<std::int64_t>(box.xs) + box.ys;
        return ends - backwardBest < forwardBest - starts ? forwardPoint : backwardPoint;
    }
}

} // namespace kivo::test
