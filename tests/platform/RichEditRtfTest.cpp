// Rich text through the control: what it writes it reads back, and the clipboard carries it.
#include "RichEditTestSupport.h"
#include "RtfStream.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace Qt::StringLiterals;
using test::Sjis;
using test::TextOf;

/// A piece of a text and the format it is given.
struct Piece {
    std::string utf8;
    ColorRef colour;
    std::uint32_t effects;
};

/// Every status colour of the default options with every effect, and characters the code page
/// cannot hold (the wave dash, e acute, emoji), a tab and paragraph breaks.
std::vector<Piece> StatusPieces()
{
    const RichOptions options;
    std::vector<Piece> pieces;
    const std::vector<std::string> texts{"原文〜", "同じ😀。", "変更é\t",
                                         "追加\r", "削除①ｶﾅ", "\r最後"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ColorRef colour = options.Color[1 + i % (options.Color.size() - 1)];
        pieces.push_back({texts[i], colour, EffectFlag(static_cast<std::int32_t>(i % 5))});
    }
    pieces.push_back({"全効果", 0x00804020, CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT});
    return pieces;
}

/// Writes the pieces into the control, each in its colour and effects.
void Fill(RichEditCtrl &control, const std::vector<Piece> &pieces)
{
    for (const Piece &piece : pieces) {
        CharFormat format = DefaultCharFormat(piece.colour);
        format.dwEffects = piece.effects;
        control.SetSel(-1, -1);
        control.SetSel(control.GetTextLength(), control.GetTextLength());
        control.SetCharFormat(format, FormatScope::Selection);
        control.ReplaceSel(Sjis(piece.utf8));
    }
}

/// Checks that each piece stands in the control with its colour and effects.
void ExpectPieces(RichEditCtrl &control, const std::vector<Piece> &pieces)
{
    int position = 0;
    for (const Piece &piece : pieces) {
        const int length = static_cast<int>(QString::fromUtf8(piece.utf8).size());
        control.SetSel(position, position + length);
        const CharFormat format = control.GetCharFormat(FormatScope::Selection);
        EXPECT_EQ(format.crTextColor, piece.colour) << piece.utf8;
        EXPECT_EQ(format.dwEffects & 0xF, piece.effects) << piece.utf8;
        EXPECT_TRUE(format.dwMask & CFM_COLOR) << piece.utf8 << " has one colour";
        position += length;
    }
}

TEST(RichEditRtf, WhatTheControlWritesItReadsBack)
{
    const std::vector<Piece> pieces = StatusPieces();
    RichEditCtrl from;
    Fill(from, pieces);
    const auto rtf = from.StreamOut(StreamFormat::RichText);
    ASSERT_TRUE(rtf.has_value());
    EXPECT_TRUE(rtf->starts_with("{\\rtf1\\ansi\\ansicpg932"));

    RichEditCtrl to;
    to.ReplaceSel(Sjis("前の文"));
    ASSERT_TRUE(to.StreamIn(StreamFormat::RichText, *rtf));
    EXPECT_EQ(TextOf(to), TextOf(from));
    EXPECT_EQ(to.GetSel(), (CharRange{0, 0}));
    ExpectPieces(to, pieces);
    EXPECT_EQ(to.StreamOut(StreamFormat::RichText), rtf) << "a second round changes nothing";
}

TEST(RichEditRtf, UnreadableRichTextLeavesTheText)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("残る"));
    Cp932Codec::Error error;
    EXPECT_FALSE(control.StreamIn(StreamFormat::RichText, "{\\RTF1 x}", &error));
    EXPECT_EQ(error.reason, FileReason::DamagedRichText);
    EXPECT_EQ(TextOf(control), "残る");
}

TEST(RichEditRtf, CopyOffersRichTextAndPasteReadsIt)
{
    const std::vector<Piece> pieces = StatusPieces();
    auto from = test::ShownControl();
    Fill(*from, pieces);
    from->SetSel(0, -1);
    from->Copy();
    const QMimeData *offered = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(offered);
    ASSERT_TRUE(offered->hasFormat(u"text/rtf"_s));
    EXPECT_EQ(offered->data(u"application/rtf"_s), offered->data(u"text/rtf"_s));

    auto to = test::ShownControl();
    to->SetPasteChooser([](const QMimeData &data) -> std::optional<PasteChoice> {
        if (data.hasFormat(u"text/rtf"_s))
            return PasteChoice{PasteFormat::RichText, u"text/rtf"_s};
        return std::nullopt;
    });
    ASSERT_TRUE(to->Paste());
    EXPECT_EQ(TextOf(*to), TextOf(*from));
    ExpectPieces(*to, pieces);
}

TEST(RichEditRtf, PlainTextFilesInEveryEncodingKeepEveryCharacter)
{
    // "日〜😀" with CR LF, as UTF-16 LE and BE with byte-order marks, and UTF-8 with one.
    const std::string le("\xFF\xFE\xE5\x65\x1C\x30\x0D\x00\x0A\x00\x3D\xD8\x00\xDE", 14);
    const std::string be("\xFE\xFF\x65\xE5\x30\x1C\x00\x0D\x00\x0A\xD8\x3D\xDE\x00", 14);
    const std::string utf8 = "\xEF\xBB\xBF日〜\r\n😀";
    for (const std::string &bytes : {le, be, utf8}) {
        RichEditCtrl control;
        ASSERT_TRUE(control.StreamIn(StreamFormat::Text, bytes));
        EXPECT_EQ(TextOf(control), "日〜\r😀");
    }
    RichEditCtrl control;
    control.ReplaceSel(Sjis("残る"));
    Cp932Codec::Error error;
    EXPECT_FALSE(control.StreamIn(StreamFormat::Text, std::string("\xFF\xFE\x00\xD8", 4), &error));
    EXPECT_NE(error.message.find("UTF-16"), std::string::npos) << error.message;
    EXPECT_EQ(error.reason, FileReason::BrokenUtf16);
    EXPECT_EQ(TextOf(control), "残る");
}

} // namespace
} // namespace kivo
