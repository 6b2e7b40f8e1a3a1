#include "Cp932Text.h"

#include "Cp932.h"
#include "Cp932Codec.h"
#include "Cp932Tables.h"

#include <QDebug>

#include <optional>

namespace kivo::cp932text {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kUnconvertible = '?';
constexpr char16_t kByteOrderMark = u'\uFEFF';

/// QString of UTF-8 text. QString::fromUtf8 drops a byte-order mark at the start; here U+FEFF
/// is a character of the text and is kept.
QString FromUtf8(std::string_view utf8)
{
    constexpr std::string_view kMarkUtf8 = "\xEF\xBB\xBF";
    QString text;
    while (utf8.starts_with(kMarkUtf8)) {
        text += QChar(kByteOrderMark);
        utf8.remove_prefix(kMarkUtf8.size());
    }
    return text + QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

/// The code page 932 bytes of text, or nullopt when the codec refuses it.
std::optional<std::string> Convert(const QString &text, Cp932Codec::Error *error = nullptr)
{
    const QByteArray utf8 = text.toUtf8();
    return Cp932Codec::Shared().FromUtf8(std::string_view(utf8.constData(), utf8.size()), error);
}

/// Character by character, for text the codec refused as a whole: everything that converts is
/// kept, the rest becomes '?'.
std::string ConvertEach(const QString &text)
{
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        const auto bytes = Convert(text.mid(i, length));
        out += (bytes && !bytes->empty()) ? *bytes : std::string(1, kUnconvertible);
        i += length;
    }
    return out;
}

/// Bytes taken by the bad character at the start of text: both bytes of a lead and trail byte
/// pair that the code page leaves unassigned (so that its second byte is not read as a character
/// of its own), else one.
std::size_t BadCharLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    return (text.size() > 1 && cp932::IsLeadByte(lead) &&
            cp932tables::IsTrailByte(static_cast<unsigned char>(text[1])))
               ? 2
               : 1;
}

} // namespace

QString Decode(std::string_view cp932)
{
    Cp932Codec &codec = Cp932Codec::Shared();
    QString text;
    while (!cp932.empty()) {
        Cp932Codec::Error error;
        if (const auto utf8 = codec.ToUtf8(cp932, &error)) {
            text += FromUtf8(*utf8);
            break;
        }
        // Keep what converts before the bad character, replace it, and go on after it. The error
        // offset is a character boundary, so the text before it converts on its own.
        std::size_t bad = std::min(error.offset, cp932.size() - 1);
        if (const auto head = codec.ToUtf8(cp932.substr(0, bad)))
            text += FromUtf8(*head);
        else
            bad = 0; // cannot happen with a boundary offset; replace from the start instead
        const std::size_t length = BadCharLength(cp932.substr(bad));
        text += QChar(kReplacement);
        cp932.remove_prefix(bad + length);
    }
    return text;
}

std::optional<QString> DecodeFile(std::string_view cp932, Cp932Codec::Error *error)
{
    const auto utf8 = Cp932Codec::Shared().ExternalToUtf8(cp932, error);
    if (!utf8)
        return std::nullopt;
    return FromUtf8(*utf8);
}

std::string Encode(QStringView text)
{
    QString windowText = text.toString();
    windowText.replace(QChar::ParagraphSeparator, QChar(u'\r'));
    windowText.replace(QChar::LineSeparator, QChar(u'\r'));
    Cp932Codec::Error error;
    if (auto bytes = Convert(windowText, &error))
        return std::move(*bytes);
    qWarning("kivo: text of the control not fully convertible to code page 932: %s",
             error.message.c_str());
    return ConvertEach(windowText);
}

} // namespace kivo::cp932text
