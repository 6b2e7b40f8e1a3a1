#include "platform/widgets/ProgressBar.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(ProgressBar, StartsEmptyWithTheFixedRange)
{
    ProgressBar bar;
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(bar.value(), 0);
}

TEST(ProgressBar, StepPastTheMaximumStartsAgainFromTheMinimum)
{
    ProgressBar bar;
    IProgress &progress = bar;
    for (int i = 0; i < 100; ++i)
        progress.Step();
    EXPECT_EQ(bar.value(), 100);
    progress.Step();
    EXPECT_EQ(bar.value(), 1);
    for (int i = 0; i < 250; ++i)
        progress.Step();
    EXPECT_EQ(bar.value(), bar.Position());
    EXPECT_GE(bar.value(), 0);
    EXPECT_LE(bar.value(), 100);
}

TEST(ProgressBar, MoveByStopsAtTheMaximum)
{
    ProgressBar bar;
    IProgress &progress = bar;
    progress.SetPos(98);
    progress.DeltaPos(1);
    EXPECT_EQ(bar.value(), 99);
    progress.DeltaPos(1);
    progress.DeltaPos(1);
    progress.DeltaPos(1);
    EXPECT_EQ(bar.value(), 100);
}

TEST(ProgressBar, SetPositionShowsFullOrEmpty)
{
    ProgressBar bar;
    IProgress &progress = bar;
    progress.SetPos(100);
    EXPECT_EQ(bar.value(), 100);
    progress.SetPos(0);
    EXPECT_EQ(bar.value(), 0);
    // One percent of the records at a time, as during display.
    for (int i = 0; i < 100; ++i)
        progress.DeltaPos(1);
    EXPECT_EQ(bar.value(), 100);
}

TEST(ProgressBar, ShowsTheLastMoveOnceTheEventLoopRuns)
{
    // Moves come faster than repaints; whichever are painted at once, the bar ends up painted
    // at the last position.
    struct PaintedBar : ProgressBar {
        int painted = -1;
        void paintEvent(QPaintEvent *event) override
        {
            painted = value();
            ProgressBar::paintEvent(event);
        }
    } bar;
    bar.resize(300, 20);
    bar.show();
    QCoreApplication::processEvents();
    IProgress &progress = bar;
    for (int i = 0; i < 1000; ++i)
        progress.Step();
    progress.SetPos(37);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.painted, 37);
}

} // namespace
} // namespace kivo
