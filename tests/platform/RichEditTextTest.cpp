#include "RichEditTestSupport.h"
#include "RichTextStream.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace Qt::StringLiterals;
using test::Sjis;
using test::TextOf;

TEST(RichEditText, ReplaceSelLeavesTheCaretAfterTheText)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("abcdef"));
    EXPECT_EQ(control.GetSel(), (CharRange{6, 6}));

    control.SetSel(1, 4);
    control.ReplaceSel(Sjis("日本"));
    EXPECT_EQ(TextOf(control), "a日本ef");
    EXPECT_EQ(control.GetSel(), (CharRange{3, 3}));
}

TEST(RichEditText, ReplaceSelCannotBeUndoneAndKeepsLaterUndoConsistent)
{
    auto control = test::ShownControl();
    QTest::keyClicks(control.get()->Widget(), u"ab"_s);
    ASSERT_TRUE(control->CanUndo());

    control->ReplaceSel(Sjis("x"));
    EXPECT_FALSE(control->CanUndo());
    EXPECT_TRUE(control->GetModify());

    // Typing after it undoes on its own; the inserted text stays.
    QTest::keyClicks(control.get()->Widget(), u"c"_s);
    control->Undo();
    EXPECT_EQ(TextOf(*control), "abx");
}

TEST(RichEditText, EveryLineBreakIsOneParagraphCharacter)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("一\r二\n三\r\n四"));
    EXPECT_EQ(control.GetTextLength(), 7);
    EXPECT_EQ(control.Document()->blockCount(), 4);
    EXPECT_EQ(TextOf(control), "一\r二\r三\r四");

    control.SetSel(1, 4);
    EXPECT_EQ(test::Utf8(control.GetSelText()), "\r二\r");
}

TEST(RichEditText, SetSelSpecialEnds)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("一二三四"));
    control.SetSel(0, -1);
    EXPECT_EQ(control.GetSel(), (CharRange{0, 4}));
    control.SetSel(2, 999);
    EXPECT_EQ(control.GetSel(), (CharRange{2, 4}));
    control.SetSel(3, 1); // caret at the end given, before the anchor
    EXPECT_EQ(control.GetSel(), (CharRange{1, 3}));
    EXPECT_EQ(control.TextCursor().position(), 1);
    control.SetSel(-1, 0);
    EXPECT_EQ(control.GetSel(), (CharRange{1, 1}));
}

TEST(RichEditText, CharactersTheCodePageCannotHoldComeBackUnchanged)
{
    // Wave dash U+301C, e acute, an emoji (two positions), no-break space, half-width katakana.
    const std::string text = "〜é😀\u00A0ｱ\r① end";
    RichEditCtrl control;
    control.ReplaceSel(Sjis(text));
    EXPECT_EQ(TextOf(control), text);
    EXPECT_EQ(control.GetTextLength(), 12);

    control.SetSel(2, 4);
    EXPECT_EQ(test::Utf8(control.GetSelText()), "😀");
    EXPECT_EQ(control.GetSelText(), Sjis("😀"));

    // U+FEFF is a character of the text even at its start, not a byte-order mark to drop.
    control.SetSel(0, 0);
    control.ReplaceSel(Sjis("x\uFEFF").substr(1));
    EXPECT_EQ(control.GetTextLength(), 13);
    EXPECT_EQ(TextOf(control), "\uFEFF" + text);
}

TEST(RichEditText, PlainStreamInTakesEveryLineBreakAndRefusesBadBytes)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("old"));
    ASSERT_TRUE(control.StreamIn(StreamFormat::Text, Sjis("一\r\n二\n三\r")));
    EXPECT_EQ(TextOf(control), "一\r二\r三\r");
    EXPECT_EQ(control.GetSel(), (CharRange{0, 0}));
    EXPECT_FALSE(control.CanUndo());
    EXPECT_EQ(control.StreamOut(StreamFormat::Text), Sjis("一\r二\r三\r"));

    // Bytes that are not code page 932 text are refused whole, and the text stays.
    EXPECT_FALSE(control.StreamIn(StreamFormat::Text, std::string("x\x81 y\x85\x40z")));
    EXPECT_FALSE(control.StreamIn(StreamFormat::Text, std::string("a\0b", 3)));
    EXPECT_EQ(TextOf(control), "一\r二\r三\r");

    // A user-defined code of a file is its standard character, not one of the private codes the
    // program hands out for characters the code page cannot hold.
    const std::string privateCode = Sjis("é");
    ASSERT_TRUE(control.StreamIn(StreamFormat::Text, privateCode));
    EXPECT_NE(control.Document()->toPlainText(), u"é"_s);
    EXPECT_EQ(control.Document()->toPlainText().size(), 1);
}

class FakeRichText : public RichTextStream {
public:
    bool Read(std::string_view rtf, QTextCursor &cursor) const override
    {
        if (!rtf.starts_with("{\\rtf"))
            return false;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(u"rich"_s, bold);
        return true;
    }
    std::optional<std::string> Write(const QTextDocument &document) const override
    {
        return "{\\rtf " + document.toPlainText().toStdString() + "}";
    }
};

TEST(RichEditText, RichTextGoesThroughTheStreamAndFailsWithoutOne)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("keep"));
    control.SetRichTextStream(nullptr); // the control starts with the program's own
    EXPECT_FALSE(control.StreamIn(StreamFormat::RichText, "{\\rtf1 x}"));
    EXPECT_FALSE(control.StreamOut(StreamFormat::RichText).has_value());
    EXPECT_EQ(TextOf(control), "keep");

    const FakeRichText stream;
    control.SetRichTextStream(&stream);
    EXPECT_FALSE(control.StreamIn(StreamFormat::RichText, "not rich"));
    EXPECT_EQ(TextOf(control), "keep");
    ASSERT_TRUE(control.StreamIn(StreamFormat::RichText, "{\\rtf1 x}"));
    EXPECT_EQ(TextOf(control), "rich");
    control.SetSel(0, -1);
    EXPECT_TRUE(control.GetCharFormat(FormatScope::Selection).dwEffects & CFE_BOLD);
    EXPECT_EQ(control.StreamOut(StreamFormat::RichText), "{\\rtf rich}");
}

TEST(RichEditText, PasteUsesTheChoiceOfItsChooser)
{
    auto control = test::ShownControl();
    control->ReplaceSel(Sjis("ab"));
    control->SetSel(1, 1);

    auto *picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QApplication::clipboard()->setMimeData(picture);
    EXPECT_FALSE(control->Paste()); // no chooser: text only

    auto *text = new QMimeData;
    text->setText(u"〜x"_s);
    QApplication::clipboard()->setMimeData(text);
    EXPECT_TRUE(control->Paste());
    EXPECT_EQ(TextOf(*control), "a〜xb");
    EXPECT_EQ(control->GetSel(), (CharRange{3, 3}));
    EXPECT_TRUE(control->CanUndo()); // a paste is an ordinary edit

    control->SetPasteChooser([](const QMimeData &data) -> std::optional<PasteChoice> {
        if (data.hasImage())
            return PasteChoice{PasteFormat::Picture, {}};
        return std::nullopt;
    });
    EXPECT_FALSE(control->Paste()); // the chooser refuses text
    picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QApplication::clipboard()->setMimeData(picture);
    EXPECT_TRUE(control->Paste());
    EXPECT_EQ(control->GetTextLength(), 5);

    control->SetReadOnly(true);
    EXPECT_FALSE(control->Paste());
    EXPECT_EQ(control->GetTextLength(), 5);
}

TEST(RichEditText, CopyAndPasteKeepEveryCharacter)
{
    const std::string text = "a\u00A0b\r〜😀";
    auto from = test::ShownControl();
    from->ReplaceSel(Sjis(text));
    from->SetSel(0, -1);
    from->Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), u"a\u00A0b\n〜😀"_s);

    auto to = test::ShownControl();
    ASSERT_TRUE(to->Paste());
    EXPECT_EQ(TextOf(*to), text);
}

} // namespace
} // namespace kivo
