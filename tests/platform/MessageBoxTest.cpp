#include "platform/dialogs/MessageBox.h"

#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

TEST(MessageBox, AnswererSeesCaptionTextAndFlagsAndItsAnswerIsReturned)
{
    std::vector<MessageBoxRequest> asked;
    ScopedMessageBoxAnswerer answerer([&](const MessageBoxRequest &request) {
        asked.push_back(request);
        return IDNO;
    });
    EXPECT_EQ(ShowMessageBox(res::IDS_ASK_ABORT, MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, QStringLiteral("Kivo"));
    EXPECT_EQ(asked[0].text, QStringLiteral("処理を中止します。\nよろしいですか？"));
    EXPECT_EQ(asked[0].flags, 0x24u);
}

TEST(MessageBox, InnerAnswererGivesWayToTheOuterOneWhenItEnds)
{
    ScopedMessageBoxAnswerer outer([](const MessageBoxRequest &) { return IDOK; });
    {
        ScopedMessageBoxAnswerer inner([](const MessageBoxRequest &) { return IDYES; });
        EXPECT_EQ(ShowMessageBox(QStringLiteral("?"), MB_YESNO), IDYES);
    }
    EXPECT_EQ(ShowMessageBox(QStringLiteral("!"), MB_OK), IDOK);
}

TEST(MessageBox, YesNoQuestionWithSecondDefaultHasNoAsDefault)
{
    const auto box = BuildMessageBox(
        {QStringLiteral("Kivo"), QStringLiteral("?"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        nullptr);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
}

TEST(MessageBox, ExclamationOkAndYesNoCancelMapToTheirButtons)
{
    const auto ok = BuildMessageBox({{}, QStringLiteral("!"), MB_OK | MB_ICONEXCLAMATION}, nullptr);
    EXPECT_EQ(ok->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(ok->icon(), QMessageBox::Warning);
    const auto three = BuildMessageBox({{}, QStringLiteral("?"), MB_YESNOCANCEL}, nullptr);
    EXPECT_EQ(three->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(three->standardButton(three->defaultButton()), QMessageBox::Yes);
    EXPECT_EQ(AnswerOf(QMessageBox::Yes), IDYES);
    EXPECT_EQ(AnswerOf(QMessageBox::No), IDNO);
    EXPECT_EQ(AnswerOf(QMessageBox::Cancel), IDCANCEL);
}

TEST(MessageBox, RealBoxReturnsTheButtonClicked)
{
    QMessageBox *shown = nullptr;
    // Clicks Yes once the box is up; the box's own event loop runs the call.
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        shown->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(ShowMessageBox(QStringLiteral("?"), MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_NE(shown, nullptr);
}

} // namespace
} // namespace kivo
