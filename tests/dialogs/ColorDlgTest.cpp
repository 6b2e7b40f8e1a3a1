#include "dialogs/ColorDlg.h"
#include "dialogs/ColorButton.h"
#include "dialogs/ColorSelect.h"
#include "dialogs/ColorWnd.h"

#include "CharFormatQt.h"
#include "DialogTestSupport.h"
#include "resources/Dialogs.h"

#include <QComboBox>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace res;

/// The colour of a pixel of a widget as drawn now, as 0x00BBGGRR.
ColorRef PixelOf(QWidget *widget, QPoint at)
{
    const QImage image = widget->grab().toImage();
    return charformat::ToColorRef(image.pixelColor(at * image.devicePixelRatio()));
}

/// Whether any pixel of the widget's inside has the colour.
bool Shows(QWidget *widget, ColorRef color)
{
    const QImage image = widget->grab().toImage();
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            if (charformat::ToColorRef(image.pixelColor(x, y)) == color)
                return true;
        }
    }
    return false;
}

// --- The sixteen-colour chooser -------------------------------------------------------------

class ColorSelectTest : public ::testing::Test {
protected:
    std::unique_ptr<CColorSelect> Open(ColorRef current)
    {
        auto chooser = std::make_unique<CColorSelect>();
        chooser->title = QStringLiteral("背景の色");
        chooser->selectedColor = current;
        chooser->show();
        QApplication::setActiveWindow(chooser.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(chooser.get()));
        return chooser;
    }
};

TEST_F(ColorSelectTest, OkWithoutTouchingASwatchReturnsTheCallersColour)
{
    test::WhenModal([](QWidget *modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("原文の色"));
        // The focus starts on OK, not on a swatch.
        EXPECT_EQ(modal->focusWidget(), static_cast<Dialog *>(modal)->Control(IDC_OK));
        test::Click(*static_cast<Dialog *>(modal), IDC_OK);
    });
    EXPECT_EQ(ChooseColor(QStringLiteral("原文の色"), 0x123456, nullptr), 0x123456u);
}

TEST_F(ColorSelectTest, TheLastSwatchFocusedIsTheChoiceAndCancelReturnsNothing)
{
    test::WhenModal([](QWidget *modal) {
        auto &chooser = *static_cast<CColorSelect *>(modal);
        test::Click(chooser, 1061);
        test::Click(chooser, IDC_OK);
    });
    EXPECT_EQ(ChooseColor(QStringLiteral("背景の色"), 0, nullptr), 0xFF0000u);

    test::WhenModal([](QWidget *modal) {
        auto &chooser = *static_cast<CColorSelect *>(modal);
        test::Click(chooser, 1061);
        test::Click(chooser, 1063);
        test::Click(chooser, IDC_CANCEL);
    });
    EXPECT_EQ(ChooseColor(QStringLiteral("背景の色"), 0x00AA00, nullptr), std::nullopt);
}

TEST_F(ColorSelectTest, TabbingOntoASwatchChoosesItAndEnterConfirms)
{
    test::WhenModal([](QWidget *modal) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // Cancel
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // 1051, black
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // 1052, navy
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(modal->isVisible());
    });
    EXPECT_EQ(ChooseColor(QStringLiteral("背景の色"), 0xFFFFFF, nullptr), 0x800000u);
}

TEST_F(ColorSelectTest, SwatchesStandInTheGridWithTheirColoursAndTabInIdOrder)
{
    const auto chooser = Open(0);
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("背景の色"));
    for (const res::Swatch &swatch : kSwatches) {
        CColorButton *button = chooser->Swatch(swatch.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->color, swatch.color) << swatch.id;
        EXPECT_EQ(PixelOf(button, button->rect().center()), swatch.color) << swatch.id;
    }
    // Rows and columns as on the template: 1051 top left, 1057 bottom left, 1066 bottom right.
    const auto at = [&](int id) { return chooser->Swatch(id)->geometry().center(); };
    EXPECT_LT(at(1051).x(), at(1052).x());
    EXPECT_EQ(at(1051).x(), at(1057).x());
    EXPECT_LT(at(1051).y(), at(1055).y());
    EXPECT_LT(at(1056).y(), at(1057).y());
    EXPECT_EQ(at(1057).y(), at(1066).y());
    EXPECT_LT(at(1064).x(), at(1066).x());

    std::vector<QWidget *> expected{chooser->Control(IDC_OK), chooser->Control(IDC_CANCEL)};
    for (int id = 1051; id <= 1066; ++id)
        expected.push_back(chooser->Swatch(id));
    EXPECT_EQ(test::TabChain(expected.front()), expected);
}

TEST_F(ColorSelectTest, AFocusedSwatchShowsAWhiteAndABlackFrame)
{
    const auto chooser = Open(0);
    CColorButton *teal = chooser->Swatch(1059);
    teal->setFocus();
    ASSERT_TRUE(teal->hasFocus());
    EXPECT_EQ(chooser->selectedColor, 0x808000u);
    EXPECT_EQ(PixelOf(teal, {0, 0}), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(teal, {1, 1}), 0x000000u);
    EXPECT_EQ(PixelOf(teal, {3, 3}), 0x808000u);
    chooser->Swatch(1060)->setFocus();
    EXPECT_EQ(PixelOf(teal, {0, 0}), 0x808000u);
}

// --- The colour dialog --------------------------------------------------------------------

class ColorDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_options.Color = {0x101010, 0x202020, 0x303030, 0x404040, 0x505050, 0x606060};
        m_options.Effect = {0, 2, 4, 0, 1};
        m_options.CharFormat.crTextColor = 0x202020;
    }

    std::unique_ptr<CColorDlg> Open()
    {
        auto dialog = std::make_unique<CColorDlg>(m_options);
        dialog->chooser = [this](const QString &title, ColorRef current, QWidget *) {
            m_titles.push_back(title);
            m_offered.push_back(current);
            return m_answer;
        };
        dialog->show();
        return dialog;
    }

    RichOptions m_options;
    std::optional<ColorRef> m_answer;
    std::vector<QString> m_titles;
    std::vector<ColorRef> m_offered;
};

TEST_F(ColorDlgTest, StartsFromTheOptionsWithCaptionsAndOneBackgroundForAll)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("色や文字飾りの設定"));
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        CColorWnd *preview = dialog->Preview(slot);
        EXPECT_EQ(preview->color, m_options.Color[slot]);
        EXPECT_EQ(preview->background, &dialog->Preview(Background)->color);
        EXPECT_EQ(preview->caption, QString::fromUtf8(kPreviewCaptions[slot]));
    }
    EXPECT_EQ(dialog->Preview(ColorOriginal)->effect, 0);
    for (std::size_t slot = 1; slot < kEffectCount; ++slot) {
        QComboBox *box = dialog->EffectBox(slot);
        ASSERT_EQ(box->count(), 5);
        EXPECT_EQ(box->itemText(4), QStringLiteral("取り消し線"));
        EXPECT_EQ(box->currentIndex(), m_options.Effect[slot]);
        EXPECT_EQ(dialog->WorkingEffect(slot), m_options.Effect[slot]);
    }
    // The Background preview is only its colour; the others show their caption on it.
    CColorWnd *background = dialog->Preview(Background);
    EXPECT_FALSE(Shows(background, 0x000000) || Shows(background, 0x202020));
    EXPECT_TRUE(Shows(dialog->Preview(ColorChanged), 0x404040));
    EXPECT_EQ(PixelOf(dialog->Preview(ColorChanged), {3, 3}), 0x101010u);
}

TEST_F(ColorDlgTest, ANewBackgroundFillsEveryPreview)
{
    const auto dialog = Open();
    m_answer = 0x00FFFF;
    test::Click(*dialog, IDC_COLOR_BACKGROUND);
    ASSERT_EQ(m_titles.size(), 1u);
    EXPECT_EQ(m_titles[0], QStringLiteral("背景の色"));
    EXPECT_EQ(m_offered[0], 0x101010u);
    for (std::size_t slot = 0; slot < kColorCount; ++slot)
        EXPECT_EQ(PixelOf(dialog->Preview(slot), {3, 3}), 0x00FFFFu) << slot;
    EXPECT_TRUE(Shows(dialog->Preview(ColorDeleted), 0x606060));
}

TEST_F(ColorDlgTest, EachButtonOpensTheChooserOfItsSlotAndCancelKeepsTheColour)
{
    const auto dialog = Open();
    m_answer = std::nullopt;
    for (int id = IDC_COLOR_BACKGROUND; id < IDC_COLOR_BACKGROUND + static_cast<int>(kColorCount);
         ++id)
        test::Click(*dialog, id);
    ASSERT_EQ(m_titles.size(), kColorCount);
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        EXPECT_EQ(m_titles[slot], QString::fromUtf8(kChooserTitles[slot]));
        EXPECT_EQ(m_offered[slot], m_options.Color[slot]);
        EXPECT_EQ(dialog->WorkingColor(slot), m_options.Color[slot]);
    }
}

TEST_F(ColorDlgTest, AnEffectChosenInABoxChangesItsPreview)
{
    const auto dialog = Open();
    QComboBox *added = dialog->EffectBox(3);
    added->setCurrentIndex(1);
    emit added->activated(1);
    EXPECT_EQ(dialog->WorkingEffect(3), 1);
    EXPECT_EQ(dialog->Preview(ColorAdded)->CaptionFont().weight(), QFont::Bold);
    EXPECT_FALSE(dialog->Preview(ColorOriginal)->CaptionFont().bold());
}

TEST_F(ColorDlgTest, OkAfterDefaultsWritesExactlyTheDefaults)
{
    const auto dialog = Open();
    m_answer = 0x00FFFF;
    test::Click(*dialog, IDC_COLOR_BACKGROUND + 3);
    test::Click(*dialog, IDC_COLOR_DEFAULTS);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->EffectBox(2)->currentIndex(), 1);
    EXPECT_EQ(m_options.Color[ColorChanged], 0x404040u); // nothing written before OK
    test::Click(*dialog, IDC_OK);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    dialog->StoreTo(m_options);
    const RichOptions defaults;
    EXPECT_EQ(m_options.Color, defaults.Color);
    EXPECT_EQ(m_options.Effect, defaults.Effect);
    EXPECT_EQ(m_options.CharFormat.crTextColor, 0x000000u);
}

TEST_F(ColorDlgTest, CancelAfterEverythingLeavesTheOptions)
{
    const RichOptions before = m_options;
    m_answer = 0x0000FF;
    test::WhenModal([](QWidget *modal) {
        auto &dialog = *static_cast<CColorDlg *>(modal);
        test::Click(dialog, IDC_COLOR_DEFAULTS);
        QComboBox *same = dialog.EffectBox(1);
        same->setCurrentIndex(3);
        emit same->activated(3);
        test::Click(dialog, IDC_CANCEL);
    });
    EXPECT_FALSE(
        RunColorSettings(m_options, nullptr, nullptr,
                         [this](const QString &, ColorRef, QWidget *) { return m_answer; }));
    EXPECT_EQ(m_options.Color, before.Color);
    EXPECT_EQ(m_options.Effect, before.Effect);
    EXPECT_EQ(m_options.CharFormat, before.CharFormat);
}

TEST_F(ColorDlgTest, AnEffectCodeOutOfRangeSelectsNothingAndIsWrittenBackUnchanged)
{
    m_options.Effect[4] = 9;
    const auto dialog = Open();
    EXPECT_EQ(dialog->EffectBox(4)->currentIndex(), -1);
    const QFont plain = dialog->Preview(ColorDeleted)->CaptionFont();
    EXPECT_FALSE(plain.bold() || plain.italic() || plain.underline() || plain.strikeOut());
    dialog->accept();
    dialog->StoreTo(m_options);
    EXPECT_EQ(m_options.Effect[4], 9);
    EXPECT_EQ(m_options.Effect[0], 0);
    EXPECT_EQ(m_options.CharFormat.crTextColor, 0x202020u);
}

TEST_F(ColorDlgTest, TabFollowsTheTemplateOrderFromOk)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->focusWidget(), dialog->Control(IDC_OK));
    std::vector<QWidget *> expected;
    for (const int id : {IDC_OK, IDC_CANCEL, IDC_COLOR_DEFAULTS, 1002, 1003, 1004, 1009, 1005, 1010,
                         1006, 1011, 1007, 1012, 1008, IDC_EFFECT_MOVED})
        expected.push_back(dialog->Control(id));
    EXPECT_EQ(test::TabChain(expected.front()), expected);
}

} // namespace
} // namespace kivo
