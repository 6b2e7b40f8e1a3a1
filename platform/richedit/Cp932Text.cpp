#include "Cp932Text.h"

#include "Cp932Codec.h"
#include "TextFile.h"

#include <QDebug>

#include <optional>

namespace kivo::cp932text {

namespace {

constexpr char kUnconvertible = '?';
constexpr char16_t kByteOrderMark = u'\uFEFF';

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

} // namespace

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

QString Decode(std::string_view cp932)
{
    return FromUtf8(Cp932Codec::Shared().ToUtf8Replacing(cp932, Cp932Codec::Origin::Program));
}

std::optional<QString> DecodeFile(std::string_view bytes, Cp932Codec::Error *error)
{
    const auto text = DecodeTextFile(bytes, Cp932Codec::Shared(), error);
    if (!text)
        return std::nullopt;
    return FromUtf8(text->utf8);
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
