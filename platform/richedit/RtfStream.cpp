#include "RtfStream.h"

#include "CharFormatQt.h"
#include "Cp932Codec.h"
#include "Cp932Text.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kivo {

namespace {

constexpr int kTwipsPerHalfPoint = charformat::kTwipsPerPoint / 2;
constexpr char16_t kObjectReplacement = u'\uFFFC'; // a picture's place in the text
constexpr std::size_t kFormatCacheSize = 8; // formats kept converted while a document is read

std::string Utf8Of(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace

const RtfStream &RtfStream::Shared()
{
    static const RtfStream stream;
    return stream;
}

QTextCharFormat RtfStream::ToTextCharFormat(const rtf::Format &format)
{
    CharFormat record;
    record.cbSize = CharFormat::kSize;
    record.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    record.dwEffects = (format.bold ? CFE_BOLD : 0) | (format.italic ? CFE_ITALIC : 0) |
                       (format.underline ? CFE_UNDERLINE : 0) | (format.strike ? CFE_STRIKEOUT : 0);
    if (format.color) {
        record.dwMask |= CFM_COLOR;
        record.crTextColor = *format.color;
    }
    if (format.halfPoints > 0) {
        record.dwMask |= CFM_SIZE;
        record.yHeight = format.halfPoints * kTwipsPerHalfPoint;
    }
    if (!format.face.empty()) {
        if (const auto face = Cp932Codec::Shared().FromUtf8(format.face)) {
            record.dwMask |= CFM_FACE;
            record.SetFaceName(*face);
        }
    }
    return charformat::ToTextCharFormat(record);
}

rtf::Format RtfStream::ToRunFormat(const QTextCharFormat &qt, const QFont &defaultFont)
{
    CharFormat base;
    base.SetFaceName(cp932text::Encode(defaultFont.family()));
    base.yHeight = static_cast<std::int32_t>(
        std::lround(defaultFont.pointSizeF() * charformat::kTwipsPerPoint));
    const CharFormat record = charformat::FromTextCharFormat(qt, base);
    rtf::Format format;
    format.bold = record.dwEffects & CFE_BOLD;
    format.italic = record.dwEffects & CFE_ITALIC;
    format.underline = record.dwEffects & CFE_UNDERLINE;
    format.strike = record.dwEffects & CFE_STRIKEOUT;
    if (qt.hasProperty(QTextFormat::ForegroundBrush))
        format.color = record.crTextColor;
    if (record.yHeight > 0)
        format.halfPoints =
            static_cast<int>(std::lround(record.yHeight / double(kTwipsPerHalfPoint)));
    format.face = Cp932Codec::Shared().ToUtf8(record.FaceName()).value_or(std::string());
    return format;
}

bool RtfStream::Read(std::string_view rtf, QTextCursor &cursor) const
{
    rtf::ReadNotes notes;
    const bool read = InsertRuns(cursor, [rtf, &notes](const rtf::RunSink &sink) {
        return rtf::Read(rtf, Cp932Codec::Shared(), sink, &notes);
    });
    if (m_notes)
        *m_notes = notes;
    return read && !notes.tooMuch;
}

bool RtfStream::InsertRuns(QTextCursor &cursor,
                           const std::function<bool(const rtf::RunSink &sink)> &produce)
{
    // Runs go into the document as the reader finds them, so the document is never held twice.
    // Neighbouring runs differ in format, but a text that switches between a few formats asks
    // for the same ones again and again: the last formats converted are kept.
    std::array<std::pair<rtf::Format, QTextCharFormat>, kFormatCacheSize> recent;
    std::size_t filled = 0;
    std::size_t next = 0;
    const auto formatOf = [&](const rtf::Format &format) -> const QTextCharFormat & {
        for (std::size_t i = 0; i < filled; ++i) {
            if (recent[i].first == format)
                return recent[i].second;
        }
        auto &slot = recent[next];
        slot = {format, ToTextCharFormat(format)};
        next = (next + 1) % recent.size();
        filled = std::min(filled + 1, recent.size());
        return slot.second;
    };
    // One edit for the whole text: the document then processes the change once, not once per
    // run, which for a text of many short runs would take time quadratic in their number.
    cursor.beginEditBlock();
    const bool read = produce([&](const rtf::TextRun &run) {
        cursor.insertText(cp932text::FromUtf8(run.text), formatOf(run.format));
    });
    cursor.endEditBlock();
    return read;
}

std::optional<std::string> RtfStream::Write(const QTextDocument &document) const
{
    const QFont defaultFont = document.defaultFont();
    rtf::Runs runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            runs.back().text += rtf::kParagraphBreak;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString text = fragment.text();
            text.remove(QChar(kObjectReplacement));
            rtf::Append(runs, Utf8Of(text), ToRunFormat(fragment.charFormat(), defaultFont));
        }
        if (runs.empty()) // an empty first paragraph: its break needs a run to go to
            runs.push_back(rtf::TextRun{{}, ToRunFormat(block.charFormat(), defaultFont)});
    }
    return rtf::Write(runs, Cp932Codec::Shared());
}

} // namespace kivo
