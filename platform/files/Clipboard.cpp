#include "platform/files/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <vector>

namespace kivo::clipboard {
namespace {

std::vector<QString> &Registered()
{
    static std::vector<QString> names;
    return names;
}

} // namespace

unsigned RegisterFormat(const QString &name)
{
    std::vector<QString> &names = Registered();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return kFirstRegisteredFormat + static_cast<unsigned>(i);
    }
    names.push_back(name);
    return kFirstRegisteredFormat + static_cast<unsigned>(names.size() - 1);
}

QString FormatName(unsigned format)
{
    const std::vector<QString> &names = Registered();
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names.size())
        return {};
    return names[format - kFirstRegisteredFormat];
}

QStringList MimeTypesOf(unsigned format)
{
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return {QStringLiteral("text/plain")};
    case CF_BITMAP:
    case CF_DIB:
        return {QStringLiteral("image/bmp"), QStringLiteral("image/png"),
                QStringLiteral("application/x-qt-image")};
    case CF_METAFILEPICT:
        return {QStringLiteral("image/x-wmf")};
    default:
        break;
    }
    const QString name = FormatName(format);
    if (name.isEmpty())
        return {};
    if (name == u"Rich Text Format")
        return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                QStringLiteral("text/richtext")};
    // Formats only this program knows travel under a private type named after them.
    return {QStringLiteral("application/x-qt-windows-mime;value=\"") + name + u'"'};
}

bool HasFormat(const QMimeData *data, unsigned format)
{
    if (!data)
        return false;
    if ((format == CF_BITMAP || format == CF_DIB) && data->hasImage())
        return true;
    for (const QString &type : MimeTypesOf(format)) {
        if (data->hasFormat(type))
            return true;
    }
    return false;
}

bool IsFormatAvailable(unsigned format)
{
    return HasFormat(QGuiApplication::clipboard()->mimeData(), format);
}

} // namespace kivo::clipboard
