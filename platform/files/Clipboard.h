#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

/// Clipboard formats by number: the standard ones, and the ones registered by name at run
/// time (numbered from 0xC000, the same name always giving the same number).
namespace kivo::clipboard {

inline constexpr unsigned CF_TEXT = 1;
inline constexpr unsigned CF_BITMAP = 2;
inline constexpr unsigned CF_METAFILEPICT = 3;
inline constexpr unsigned CF_DIB = 8;
inline constexpr unsigned CF_UNICODETEXT = 13;

/// The first number handed to a registered format.
inline constexpr unsigned kFirstRegisteredFormat = 0xC000;

/// The number of the format with this name, registering it on first use.
unsigned RegisterFormat(const QString &name);
/// The name of a registered format; empty for a standard or unknown one.
QString FormatName(unsigned format);

/// The MIME types that carry a format on this platform, most specific first.
QStringList MimeTypesOf(unsigned format);

/// Whether the data holds the format.
bool HasFormat(const QMimeData *data, unsigned format);
/// Whether the system clipboard holds the format now.
bool IsFormatAvailable(unsigned format);

} // namespace kivo::clipboard
