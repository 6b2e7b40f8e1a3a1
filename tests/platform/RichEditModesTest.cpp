#include "CharFormatQt.h"
#include "RichEditTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace Qt::StringLiterals;
using test::Append;
using test::Sjis;

std::unique_ptr<RichEditCtrl> HundredLines()
{
    auto control = test::ShownControl(400, 200);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "行" + std::to_string(i) + "\r";
    Append(*control, text);
    control->SetSel(0, 0);
    control->LineScroll(-1000);
    return control;
}

TEST(RichEditScroll, LineScrollStopsAtTheEnds)
{
    auto control = HundredLines();
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
    control->LineScroll(-5);
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
    control->LineScroll(10);
    EXPECT_EQ(control->GetFirstVisibleLine(), 10);
    control->LineScroll(-3);
    EXPECT_EQ(control->GetFirstVisibleLine(), 7);

    control->LineScroll(100000);
    const int last = control->GetFirstVisibleLine();
    EXPECT_GT(last, 80);
    EXPECT_LT(last, 100);
    EXPECT_EQ(control->VerticalScrollBar().value(), control->VerticalScrollBar().maximum());
    control->LineScroll(1);
    EXPECT_EQ(control->GetFirstVisibleLine(), last);
    control->LineScroll(-100000);
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
}

TEST(RichEditScroll, PagesMoveByAWindowful)
{
    auto control = HundredLines();
    const int down = control->Scroll(ScrollCommand::PageDown);
    EXPECT_GT(down, 3);
    EXPECT_EQ(control->Scroll(ScrollCommand::PageUp), -down);
    EXPECT_EQ(control->Scroll(ScrollCommand::PageUp), 0);
    EXPECT_EQ(control->Scroll(ScrollCommand::LineDown), 1);
}

TEST(RichEditScroll, OnlyScrollingByTheControlItselfIsReported)
{
    auto control = HundredLines();
    QSignalSpy spy(control.get(), &RichEditCtrl::VScroll);
    control->LineScroll(5);
    control->Scroll(ScrollCommand::PageDown);
    control->SetSel(control->GetTextLength(), control->GetTextLength());
    EXPECT_EQ(spy.count(), 0);

    control->VerticalScrollBar().triggerAction(QScrollBar::SliderSingleStepSub); // the user
    EXPECT_EQ(spy.count(), 1);
    QTest::keyClick(control.get()->Widget(), Qt::Key_Home,
                    Qt::ControlModifier); // the caret leaves the view
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
}

TEST(RichEditScroll, HiddenSelectionKeepsTheViewWhereItIs)
{
    auto control = HundredLines();
    control->HideSelection(true);
    Append(*control, "末尾\r");
    control->SetSel(control->LineIndex(90), control->LineIndex(90));
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
    control->HideSelection(false);
    Append(*control, "もう一行\r");
    EXPECT_GT(control->GetFirstVisibleLine(), 80);
}

TEST(RichEditScroll, TheScrollBarShowsOnceTheTextOverflows)
{
    auto control = test::ShownControl(400, 200);
    Append(*control, "一行\r");
    EXPECT_FALSE(control->HasVerticalScrollBar());
    for (int i = 0; i < 30; ++i)
        Append(*control, "もう一行\r");
    EXPECT_TRUE(control->HasVerticalScrollBar());
}

TEST(RichEditScroll, ALargeLoadScrollsBeforeTheEventLoopRuns)
{
    // A load lays out lazily, and the widget learns the final size only from a timer. Short lines
    // first and wrapped paragraphs after, so that the size seen early says little about the end.
    auto control = test::ShownControl(400, 200);
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "読み込んだ行" + std::to_string(i) + "\r";
    for (int i = 0; i < 400; ++i)
        text += std::string(60, 'x') + " " + std::string(60, 'y') + "\r";
    ASSERT_TRUE(control->StreamIn(StreamFormat::Text, Sjis(text)));
    EXPECT_TRUE(control->HasVerticalScrollBar());
    const int height = control->Document()->documentLayout()->documentSize().toSize().height();
    EXPECT_EQ(control->VerticalScrollBar().maximum(), height - control->Viewport()->height());

    control->LineScroll(1900);
    EXPECT_EQ(control->GetFirstVisibleLine(), 1900);
    EXPECT_EQ(control->GetLine(1900), Sjis("読み込んだ行1900\r"));
}

TEST(RichEditModes, ReadOnlyRefusesTypingButNotTheProgram)
{
    auto control = test::ShownControl();
    control->SetReadOnly(true);
    QTest::keyClicks(control.get()->Widget(), u"abc"_s);
    QTest::keyClick(control.get()->Widget(), Qt::Key_Return);
    EXPECT_EQ(control->GetTextLength(), 0);
    control->ReplaceSel(Sjis("結果"));
    EXPECT_EQ(test::TextOf(*control), "結果");

    control->SetReadOnly(false);
    QTest::keyClicks(control.get()->Widget(), u"x"_s);
    EXPECT_EQ(test::TextOf(*control), "結果x");
}

TEST(RichEditModes, AHiddenSelectionIsNotDrawn)
{
    auto control = test::ShownControl(300, 100);
    Append(*control, "選択される文");
    control->SetSel(0, 0);
    const QImage plain = control->Widget()->grab().toImage(); // no focus: no caret
    QApplication::setActiveWindow(control->Widget());
    control->Widget()->setFocus();
    ASSERT_TRUE(control->Widget()->hasFocus());
    control->SetSel(0, -1);
    EXPECT_NE(control->Widget()->grab().toImage(), plain);
    control->HideSelection(true);
    EXPECT_EQ(control->Widget()->grab().toImage(), plain);
    EXPECT_EQ(control->GetSel(), (CharRange{0, 6})); // still selected

    // A window without the focus draws its selection in the inactive colours.
    control->HideSelection(false);
    control->Widget()->clearFocus();
    ASSERT_FALSE(control->Widget()->hasFocus());
    EXPECT_NE(control->Widget()->grab().toImage(), plain);
    EXPECT_EQ(control->GetSel(), (CharRange{0, 6}));

    // While a dialog over it has the focus, the window the focus returns to shows its selection:
    // there a search shows what it found.
    QApplication::setActiveWindow(control->Widget());
    control->Widget()->setFocus();
    QLineEdit dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.setFocus();
    ASSERT_TRUE(dialog.hasFocus());
    ASSERT_FALSE(control->Widget()->hasFocus());
    EXPECT_NE(control->Widget()->grab().toImage(), plain);
    EXPECT_EQ(control->GetSel(), (CharRange{0, 6}));
}

TEST(RichEditModes, BackgroundColourFillsTheWindow)
{
    auto control = test::ShownControl(200, 100);
    control->SetBackgroundColor(0x00FFEE); // 0x00BBGGRR: red EE, green FF, blue 00
    const QImage image = control->Viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(0xEE, 0xFF, 0x00));
}

} // namespace
} // namespace kivo
