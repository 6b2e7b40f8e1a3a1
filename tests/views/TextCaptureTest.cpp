#include "resulttext/TextCapture.h"
#include "RichEditCtrl.h"

#include <QTextCursor>

#include <gtest/gtest.h>

#include <random>

namespace kivo {
namespace {

/// Random control text from pieces that convert in different ways: kana, ASCII, a character the
/// code page lacks, a surrogate pair, paragraph breaks and Shift+Enter line breaks.
QString RandomText(std::mt19937 &rng, int pieces)
{
    static const QString kPieces[] = {QStringLiteral("あい"),   QStringLiteral("abc "),
                                      QString(QChar(0x00E9)),   QString::fromUcs4(U"\U0001F600"),
                                      QStringLiteral("\n"),     QString(QChar(0x2028)),
                                      QStringLiteral("漢字。"), QString(QChar(0xFF71))};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces[pick(rng)];
    return text;
}

// Reading a range in pieces gives the bytes of the range selected and read at once, for any
// range and any piece size: paragraph breaks, surrogate pairs and the text's end included.
TEST(TextCapture, PiecesGiveTheSelectedTextByteForByte)
{
    std::mt19937 rng(2026);
    RichEditCtrl edit;
    for (int round = 0; round < 60; ++round) {
        edit.Document()->setPlainText(RandomText(rng, 1 + round * 3));
        const int length = edit.GetTextLength();
        std::uniform_int_distribution<int> position(0, length);
        int start = position(rng);
        int end = position(rng);
        if (start > end)
            std::swap(start, end);
        if (round % 4 == 0) {
            start = 0;
            end = length;
        }
        edit.SetSel(start, end);
        const std::string expected = edit.GetSelText();

        const int pieceChars = 1 + round % 9;
        TextCapture capture;
        capture.Begin(*edit.Document(), CharRange{start, end});
        std::string text;
        int calls = 0;
        while (!capture.ReadMore(text, pieceChars))
            ASSERT_LT(++calls, length + 2) << "reading must end";
        EXPECT_TRUE(capture.Done());
        EXPECT_EQ(text, expected) << "round " << round << ", range " << start << ".." << end;
    }
}

} // namespace
} // namespace kivo
