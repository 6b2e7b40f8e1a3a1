#pragma once

#include "SuffixAutomaton.h"
#include "WorkBudget.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kivo::test {

/// EditScriptMatcher as it was first written: every search runs both directions from scratch.
/// The engine's matcher must find exactly the runs this one finds.
class ReferenceEditScriptMatcher {
public:
    /// Starts on the pairs of ranges [xs, xe) of x and [ys, ye) of y; the spans must stay valid
    /// until Run returns true.
    void Start(std::span<const std::int32_t> x, std::span<const std::int32_t> y,
               const std::vector<std::array<std::int32_t, 4>> &ranges);

    /// Goes on; appends each common run found to runs (x start, y start, length; the runs do not
    /// overlap). True once every range is done.
    bool Run(WorkBudget &budget, std::vector<CommonRun> &runs);

private:
    struct Box {
        std::int32_t xs, xe, ys, ye;
        std::int32_t offset; // added to a diagonal x - y to index the tables of its range
    };
    struct Point {
        std::int32_t x, y;
    };

    Point Split(const Box &box, std::int64_t &work);
    std::int32_t &Forward(const Box &box, std::int32_t d);
    std::int32_t &Backward(const Box &box, std::int32_t d);

    std::span<const std::int32_t> m_x;
    std::span<const std::int32_t> m_y;
    std::vector<Box> m_boxes;
    std::unique_ptr<std::int32_t[]> m_forward;  // per diagonal: furthest x reached from the start
    std::unique_ptr<std::int32_t[]> m_backward; // per diagonal: furthest x reached from the end
};

} // namespace kivo::test
