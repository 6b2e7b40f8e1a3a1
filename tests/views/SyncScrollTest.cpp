// Reading a result side by side: however either window is scrolled, both show the same row at
// the same pixel offset, on the offscreen platform.

#include "CompareFixture.h"

#include "platform/dialogs/FindReplaceDlg.h"
#include "platform/framework/UpdateHint.h"
#include "resulttext/RowScroll.h"

#include <QLineEdit>
#include <QWheelEvent>

#include <random>

namespace kivo {
namespace {

using namespace res;
using test::CompareInWindowsTest;

enum class Way {
    WheelNotch,  // one notch of a mouse wheel
    WheelSmooth, // a fraction of a notch, as touchpads send
    BarDrag,     // the thumb dragged to any pixel
    BarArrow,
    BarPage,
    KeyDown, // the caret a line on, scrolling once it leaves the window
    KeyPage,
    CtrlHomeEnd, // Ctrl+Home up, Ctrl+End down
};
constexpr Way kWays[] = {Way::WheelNotch, Way::WheelSmooth, Way::BarDrag, Way::BarArrow,
                         Way::BarPage,    Way::KeyDown,     Way::KeyPage, Way::CtrlHomeEnd};
constexpr int kNotch = 120;      // angle delta of one wheel notch
constexpr int kSmoothDelta = 37; // a touchpad's share of a notch
constexpr int kRandomActions = 200;
constexpr int kWheelNotches = 1000;

const char *Name(Way way)
{
    constexpr const char *kNames[] = {"wheel notch", "smooth wheel", "bar drag", "bar arrow",
                                      "bar page",    "Down",         "Page key", "Ctrl+Home/End"};
    return kNames[static_cast<int>(way)];
}

class SyncScrollTest : public CompareInWindowsTest {
protected:
    /// Compares n sentences whose long ones wrap on the left and are padded on the right.
    void CompareLongText(int n = 300)
    {
        const auto [a, b] = Texts(n);
        CompareAndCheck(a, b);
        ASSERT_EQ(m_app->Options().SyncScroll, 1);
    }

    /// Scrolls a window one way, down or up, as the user does; the window becomes the active one
    /// only for the keys, which need the focus.
    void Scroll(int pane, Way way, bool down)
    {
        RichEditCtrl &edit = Edit(pane);
        QScrollBar *bar = &edit.VerticalScrollBar();
        const int sign = down ? -1 : 1;
        switch (way) {
        case Way::WheelNotch:
        case Way::WheelSmooth: {
            const int delta = sign * (way == Way::WheelNotch ? kNotch : kSmoothDelta);
            const QPointF at(edit.Viewport()->width() / 2.0, edit.Viewport()->height() / 2.0);
            QWheelEvent wheel(at, edit.Viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(edit.Viewport(), &wheel);
            return;
        }
        case Way::BarDrag: {
            const int to = bar->value() + (down ? 1 : -1) * (bar->pageStep() * 2 / 3 + 7);
            bar->setSliderDown(true);
            bar->setSliderPosition(std::clamp(to, 0, bar->maximum()));
            bar->setSliderDown(false);
            return;
        }
        case Way::BarArrow:
            bar->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                    : QAbstractSlider::SliderSingleStepSub);
            return;
        case Way::BarPage:
            bar->triggerAction(down ? QAbstractSlider::SliderPageStepAdd
                                    : QAbstractSlider::SliderPageStepSub);
            return;
        case Way::KeyDown:
        case Way::KeyPage:
        case Way::CtrlHomeEnd:
            break;
        }
        m_frame->ActivateChild(Pane(pane));
        edit.Widget()->setFocus();
        if (way == Way::KeyDown)
            QTest::keyClick(edit.Widget(), down ? Qt::Key_Down : Qt::Key_Up);
        else if (way == Way::KeyPage)
            QTest::keyClick(edit.Widget(), down ? Qt::Key_PageDown : Qt::Key_PageUp);
        else
            QTest::keyClick(edit.Widget(), down ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
    }

    /// Whether both windows stand at the same scroll position with the same row under their
    /// top-left corner, scrolled into by the same number of pixels.
    ::testing::AssertionResult Level() const
    {
        const std::optional<RowPosition> left = TopRow(Edit(1));
        const std::optional<RowPosition> right = TopRow(Edit(2));
        const int leftY = Edit(1).VerticalScrollBar().value();
        const int rightY = Edit(2).VerticalScrollBar().value();
        if (!left || !right)
            return ::testing::AssertionFailure() << "a window has no rows";
        if (*left == *right && leftY == rightY)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "left: row " << left->row << " +" << left->offset << " px at y " << leftY
               << "; right: row " << right->row << " +" << right->offset << " px at y " << rightY;
    }
};

TEST_F(SyncScrollTest, EveryWayOfScrollingEitherWindowKeepsTheRowsLevelToThePixel)
{
    CompareLongText();
    for (const int pane : {1, 2}) {
        Scroll(pane, Way::CtrlHomeEnd, false);
        for (const Way way : kWays) {
            for (const bool down : {true, false, true}) {
                const int before = Edit(pane).VerticalScrollBar().value();
                Scroll(pane, way, down);
                EXPECT_TRUE(Level())
                    << Name(way) << (down ? " down" : " up") << " in window " << pane;
                if (way != Way::KeyDown) { // the caret may still be inside the window
                    EXPECT_NE(Edit(pane).VerticalScrollBar().value(), before)
                        << Name(way) << " did not scroll window " << pane;
                }
            }
        }
        // Over the window that is not the active one.
        m_frame->ActivateChild(Pane(3 - pane));
        Scroll(pane, Way::WheelNotch, true);
        EXPECT_TRUE(Level()) << "wheel over the inactive window " << pane;
    }
}

TEST_F(SyncScrollTest, RandomScrollsOfMixedKindsAndAThousandNotchesNeverDrift)
{
    CompareLongText();
    std::mt19937 random(19);
    for (int i = 0; i < kRandomActions; ++i) {
        const int pane = 1 + static_cast<int>(random() % 2);
        const Way way = kWays[random() % std::size(kWays)];
        const bool down = random() % 3 != 0;
        Scroll(pane, way, down);
        ASSERT_TRUE(Level()) << "action " << i << ": " << Name(way) << (down ? " down" : " up")
                             << " in window " << pane;
    }
    // Wheel notches over both windows, down to the end and back: nothing accumulates.
    for (int i = 0; i < kWheelNotches; ++i)
        Scroll(1 + i % 2, Way::WheelNotch, i < kWheelNotches / 2);
    EXPECT_TRUE(Level());
    EXPECT_EQ(Edit(1).VerticalScrollBar().value(), 0);
}

TEST_F(SyncScrollTest, DifferenceStepsAndRelevellingKeepTheRowsLevelToTheLastOne)
{
    CompareLongText();
    Scroll(2, Way::BarDrag, true);
    m_frame->ActivateChild(Pane(2));
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->Execute(ID_NEXT_DIFFERENCE));
    ASSERT_TRUE(m_frame->Execute(ID_NEXT_DIFFERENCE));
    EXPECT_TRUE(Level()) << "after F8";
    ASSERT_TRUE(m_frame->Execute(ID_PREV_DIFFERENCE));
    EXPECT_TRUE(Level()) << "after Shift+F8";

    // A sentence found far down in one window.
    ASSERT_TRUE(Choose(ID_EDIT_FIND, 1));
    FindReplaceDlg *find = m_app->FindState().dialog.data();
    ASSERT_NE(find, nullptr);
    find->findChildren<QLineEdit *>().front()->setText(QStringLiteral("これは250番目"));
    QTest::mouseClick(find->FindNextButton(), Qt::LeftButton);
    EXPECT_EQ(Edit(1).TextCursor().selectedText(), QStringLiteral("これは250番目"));
    EXPECT_TRUE(Level()) << "after find";
    delete find;

    // A narrower window wraps anew: once levelled, both windows end on the same row.
    m_frame->resize(900, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(RunUntil([this] { return !Doc()->LevellingPending(); }));
    EXPECT_TRUE(Level()) << "after re-levelling";
    Scroll(1, Way::CtrlHomeEnd, true);
    EXPECT_TRUE(Level()) << "Ctrl+End after re-levelling";
    EXPECT_EQ(Edit(1).VerticalScrollBar().maximum(), Edit(2).VerticalScrollBar().maximum());

    // A larger font, then the caret forty lines on.
    m_app->Options().CharFormat.yHeight = 16 * 20;
    Doc()->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::FontChanged));
    ASSERT_TRUE(RunUntil([this] { return !Doc()->LevellingPending(); }));
    Scroll(1, Way::CtrlHomeEnd, false);
    for (int i = 0; i < 40; ++i)
        Scroll(1, Way::KeyDown, true);
    EXPECT_GT(Edit(1).VerticalScrollBar().value(), 0);
    EXPECT_TRUE(Level()) << "40 x Down after a font change";
}

TEST_F(SyncScrollTest, UnsynchronisedWindowsScrollAlone)
{
    CompareLongText();
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->Execute(ID_SYNC_SCROLL));
    ASSERT_EQ(m_app->Options().SyncScroll, 0);
    Scroll(2, Way::WheelNotch, true);
    EXPECT_GT(Edit(2).VerticalScrollBar().value(), 0);
    EXPECT_EQ(Edit(1).VerticalScrollBar().value(), 0);
}

} // namespace
} // namespace kivo
