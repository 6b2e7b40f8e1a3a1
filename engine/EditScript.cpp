#include "EditScript.h"

#include <algorithm>
#include <limits>

namespace kivo {

namespace {

// Edit steps one middle-snake search may take before it splits at the furthest point reached
// (xdiff's least cost limit). One search then costs about its square, well within a step.
constexpr std::int32_t kCostLimit = 256;

constexpr std::int32_t kBeforeStart = -1;
constexpr std::int32_t kPastEnd = std::numeric_limits<std::int32_t>::max();

std::int64_t Sum(std::int32_t x, std::int32_t y)
{
    return static_cast<std::int64_t>(x) + y;
}

/// Whether a search from the other corner, covering about as much as the kept one did, will stay
/// clear of it: only then is the kept search worth trying, as a fresh search that meets it is
/// thrown away and the box searched both ways.
bool LikelyApart(std::int64_t covered, std::int64_t gap)
{
    return gap > 2 * covered;
}

} // namespace

void EditScriptMatcher::Start(std::span<const std::int32_t> x, std::span<const std::int32_t> y,
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
        m_boxes.push_back({xs, xe, ys, ye, ye + 1 - xs, {}, {}});
        const std::int64_t length = static_cast<std::int64_t>(xe - xs) + (ye - ys);
        tableSize = std::max(tableSize, static_cast<std::size_t>(length) + 3);
    }
    // Left unwritten: a search writes every entry before it reads it, so that a table of
    // millions of diagonals costs nothing until a search reaches it.
    m_forward = std::make_unique_for_overwrite<std::int32_t[]>(tableSize);
    m_backward = std::make_unique_for_overwrite<std::int32_t[]>(tableSize);
}

bool EditScriptMatcher::Run(WorkBudget &budget, std::vector<CommonRun> &runs)
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
                // Each part keeps one corner of the box, and with it the search from there.
                m_boxes.push_back(
                    {split.x, box.xe, split.y, box.ye, box.offset, {}, m_backwardReach});
                m_boxes.push_back(
                    {box.xs, split.x, box.ys, split.y, box.offset, m_forwardReach, {}});
            }
        }
        budget.Spend(work);
    }
    m_forward.reset();
    m_backward.reset();
    return true;
}

template <bool kCheck>
bool EditScriptMatcher::ForwardRound(const Box &box, const std::int32_t dmin,
                                     const std::int32_t dmax, bool odd, Front &f, const Front &b,
                                     Point &meet, std::int64_t &work)
{
    // Everything the loop reads is copied first: its stores into the table could otherwise be
    // taken for changes to the box or the ranges, which would then be read again each turn.
    std::int32_t *const table = m_forward.get();
    const std::int32_t *const back = m_backward.get();
    const std::int32_t *const xKeys = m_x.data();
    const std::int32_t *const yKeys = m_y.data();
    const std::int32_t offset = box.offset;
    const std::int32_t xe = box.xe, ys = box.ys, ye = box.ye;
    std::int32_t min = f.min, max = f.max;
    if (min > dmin)
        table[--min - 1 + offset] = kBeforeStart;
    else
        ++min;
    if (max < dmax)
        table[++max + 1 + offset] = kBeforeStart;
    else
        --max;
    f.min = min;
    f.max = max;
    const bool check = kCheck && odd;
    const std::int32_t checkMin = b.min, checkMax = b.max;
    std::int32_t edgeX = f.edgeX, edgeY = f.edgeY;
    std::int64_t snakes = 0;
    // Diagonal d - 2 reads as its upper neighbour the entry this one reads as its lower one.
    std::int32_t above = table[max + 1 + offset];
    for (std::int32_t d = max; d >= min; d -= 2) {
        const std::int32_t i = d + offset;
        const std::int32_t below = table[i - 1];
        std::int32_t x = below >= above ? below + 1 : above;
        above = below;
        std::int32_t y = x - d;
        const std::int32_t from = x;
        // Along the snake, equal keys within the box. Most diagonals have none: their first
        // look is kept apart from the loop, and y, which only grows, is checked against the
        // box's start once.
        if (x < xe && y < ye && y >= ys && xKeys[x] == yKeys[y]) {
            do {
                ++x;
                ++y;
            } while (x < xe && y < ye && xKeys[x] == yKeys[y]);
        }
        snakes += x - from + 1;
        table[i] = x;
        edgeX = std::max(edgeX, x);
        edgeY = std::max(edgeY, y);
        if (check && checkMin <= d && d <= checkMax && back[i] <= x) {
            work += snakes;
            meet = {x, y};
            return true;
        }
    }
    work += snakes;
    f.edgeX = edgeX;
    f.edgeY = edgeY;
    return false;
}

template <bool kCheck>
bool EditScriptMatcher::BackwardRound(const Box &box, const std::int32_t dmin,
                                      const std::int32_t dmax, bool odd, Front &b, const Front &f,
                                      Point &meet, std::int64_t &work)
{
    std::int32_t *const table = m_backward.get();
    const std::int32_t *const fore = m_forward.get();
    const std::int32_t *const xKeys = m_x.data();
    const std::int32_t *const yKeys = m_y.data();
    const std::int32_t offset = box.offset;
    const std::int32_t xs = box.xs, ys = box.ys, ye = box.ye;
    std::int32_t min = b.min, max = b.max;
    if (min > dmin)
        table[--min - 1 + offset] = kPastEnd;
    else
        ++min;
    if (max < dmax)
        table[++max + 1 + offset] = kPastEnd;
    else
        --max;
    b.min = min;
    b.max = max;
    const bool check = kCheck && !odd;
    const std::int32_t checkMin = f.min, checkMax = f.max;
    std::int32_t edgeX = b.edgeX, edgeY = b.edgeY;
    std::int64_t snakes = 0;
    std::int32_t above = table[max + 1 + offset];
    for (std::int32_t d = max; d >= min; d -= 2) {
        const std::int32_t i = d + offset;
        const std::int32_t below = table[i - 1];
        std::int32_t x = below < above ? below : above - 1;
        above = below;
        std::int32_t y = x - d;
        const std::int32_t from = x;
        // Back along the snake; y only shrinks, so the box's end is checked once.
        if (x > xs && y > ys && y <= ye && xKeys[x - 1] == yKeys[y - 1]) {
            do {
                --x;
                --y;
            } while (x > xs && y > ys && xKeys[x - 1] == yKeys[y - 1]);
        }
        snakes += from - x + 1;
        table[i] = x;
        edgeX = std::min(edgeX, x);
        edgeY = std::min(edgeY, y);
        if (check && checkMin <= d && d <= checkMax && x <= fore[i]) {
            work += snakes;
            meet = {x, y};
            return true;
        }
    }
    work += snakes;
    b.edgeX = edgeX;
    b.edgeY = edgeY;
    return false;
}

EditScriptMatcher::Reach EditScriptMatcher::ForwardFurthest(const Box &box, const Front &f) const
{
    std::int64_t best = -1;
    Point point{box.xs, box.ys};
    for (std::int32_t d = f.max; d >= f.min; d -= 2) {
        std::int32_t x = std::min(m_forward[static_cast<std::size_t>(d + box.offset)], box.xe);
        std::int32_t y = x - d;
        if (y > box.ye) {
            x = box.ye + d;
            y = box.ye;
        }
        if (best < Sum(x, y)) {
            best = Sum(x, y);
            point = {x, y};
        }
    }
    return {{box.xs, box.ys}, point, best, f.edgeX, f.edgeY};
}

EditScriptMatcher::Reach EditScriptMatcher::BackwardFurthest(const Box &box, const Front &b) const
{
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Point point{box.xe, box.ye};
    for (std::int32_t d = b.max; d >= b.min; d -= 2) {
        std::int32_t x = std::max(m_backward[static_cast<std::size_t>(d + box.offset)], box.xs);
        std::int32_t y = x - d;
        if (y < box.ys) {
            x = box.ys + d;
            y = box.ys;
        }
        if (Sum(x, y) < best) {
            best = Sum(x, y);
            point = {x, y};
        }
    }
    return {{box.xe, box.ye}, point, best, b.edgeX, b.edgeY};
}

bool EditScriptMatcher::ReusesEnd(const Box &box) const
{
    // The parent's backward search reads nothing of the box's start while every point it wrote
    // lies past it, and its diagonals stay inside the box for the whole cost limit while the box
    // is wider and taller than it.
    const Reach &r = box.fromEnd;
    return r.corner.x == box.xe && r.corner.y == box.ye && box.xe - box.xs >= kCostLimit &&
           box.ye - box.ys >= kCostLimit && r.edgeX > box.xs && r.edgeY > box.ys &&
           LikelyApart(Sum(box.xe, box.ye) - Sum(r.edgeX, r.edgeY),
                       Sum(r.edgeX, r.edgeY) - Sum(box.xs, box.ys));
}

bool EditScriptMatcher::ReusesStart(const Box &box) const
{
    const Reach &r = box.fromStart;
    return r.corner.x == box.xs && r.corner.y == box.ys && box.xe - box.xs >= kCostLimit &&
           box.ye - box.ys >= kCostLimit && r.edgeX < box.xe && r.edgeY < box.ye &&
           LikelyApart(Sum(r.edgeX, r.edgeY) - Sum(box.xs, box.ys),
                       Sum(box.xe, box.ye) - Sum(r.edgeX, r.edgeY));
}

EditScriptMatcher::Point EditScriptMatcher::Split(const Box &box, std::int64_t &work)
{
    // Diagonal d holds the points with x - y = d. The forward search starts on fmid at the box's
    // start, the backward one on bmid at its end; they meet on a middle snake.
    const std::int32_t dmin = box.xs - box.ye;
    const std::int32_t dmax = box.xe - box.ys;
    const std::int32_t fmid = box.xs - box.ys;
    const std::int32_t bmid = box.xe - box.ye;
    const bool odd = ((fmid - bmid) & 1) != 0;
    const std::int64_t starts = Sum(box.xs, box.ys);
    const std::int64_t ends = Sum(box.xe, box.ye);
    m_forwardReach = {};
    m_backwardReach = {};
    Front f{fmid, fmid, box.xs, box.ys};
    Front b{bmid, bmid, box.xe, box.ye};
    Point meet{0, 0};
    // Whether the known search from a corner, and the fresh one from the other, get as far as each
    // other: otherwise they never meet, the search is cut off, and the known one's end is its own.
    const auto apart = [](const Front &forward, const Front &backward) {
        return Sum(forward.edgeX, forward.edgeY) < Sum(backward.edgeX, backward.edgeY);
    };
    const auto choose = [&] {
        return ends - m_backwardReach.best < m_forwardReach.best - starts
                   ? m_forwardReach.furthest
                   : m_backwardReach.furthest;
    };
    if (ReusesEnd(box)) {
        m_forward[static_cast<std::size_t>(fmid + box.offset)] = box.xs;
        for (std::int32_t cost = 1; cost <= kCostLimit; ++cost)
            ForwardRound<false>(box, dmin, dmax, odd, f, b, meet, work);
        const Front known{0, 0, box.fromEnd.edgeX, box.fromEnd.edgeY};
        if (apart(f, known)) {
            m_forwardReach = ForwardFurthest(box, f);
            m_backwardReach = box.fromEnd;
            return choose();
        }
        f = {fmid, fmid, box.xs, box.ys};
    } else if (ReusesStart(box)) {
        m_backward[static_cast<std::size_t>(bmid + box.offset)] = box.xe;
        for (std::int32_t cost = 1; cost <= kCostLimit; ++cost)
            BackwardRound<false>(box, dmin, dmax, odd, b, f, meet, work);
        const Front known{0, 0, box.fromStart.edgeX, box.fromStart.edgeY};
        if (apart(known, b)) {
            m_forwardReach = box.fromStart;
            m_backwardReach = BackwardFurthest(box, b);
            return choose();
        }
        b = {bmid, bmid, box.xe, box.ye};
    }
    m_forward[static_cast<std::size_t>(fmid + box.offset)] = box.xs;
    m_backward[static_cast<std::size_t>(bmid + box.offset)] = box.xe;
    for (std::int32_t cost = 1; cost <= kCostLimit; ++cost) {
        if (ForwardRound<true>(box, dmin, dmax, odd, f, b, meet, work) ||
            BackwardRound<true>(box, dmin, dmax, odd, b, f, meet, work))
            return meet;
    }
    // Too costly: split where either search got furthest along its way.
    m_forwardReach = ForwardFurthest(box, f);
    m_backwardReach = BackwardFurthest(box, b);
    return choose();
}

} // namespace kivo
