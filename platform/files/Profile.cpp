#include "platform/files/Profile.h"

#include "Cp932Codec.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace kivo {
namespace {

QString Key(std::string_view section, std::string_view entry)
{
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())) + u'/' +
           QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
}

/// Whether two values are the same setting: the store gives back numbers as text.
bool SameValue(const QVariant &a, const QVariant &b)
{
    if (a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray)
        return a.typeId() == b.typeId() && a.toByteArray() == b.toByteArray();
    return a.toString() == b.toString();
}

/// The largest store read. The settings take a few kilobytes; a store far larger is no store of
/// ours, and reading it (at start) and writing it back (at exit) would take seconds.
constexpr qint64 kMostStoreBytes = qint64{1} << 20;

/// Where QSettings keeps the store of company and application of the current user. Asked of a
/// store of another name, which does not exist: QSettings reads its store as it is made.
QString StorePath(const QString &company, const QString &application)
{
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, company,
                          application + QStringLiteral(".folder"));
    return QFileInfo(probe.fileName()).absolutePath() + u'/' + application +
           QStringLiteral(".conf");
}

/// Moves a store larger than kMostStoreBytes aside (to the same name with ".too-large"), before
/// anything reads it: the program starts with its defaults and writes a store of its own at exit,
/// and the large file is kept for whoever wants to look at it.
void SetAsideOversizedStore(const QString &path)
{
    const QFileInfo store(path);
    if (!store.isFile() || store.size() <= kMostStoreBytes)
        return;
    const QString aside = path + QStringLiteral(".too-large");
    QFile::remove(aside);
    QFile::rename(path, aside);
}

std::unique_ptr<QSettings> OpenStore(const QString &company, const QString &application)
{
    SetAsideOversizedStore(StorePath(company, application));
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, company,
                                       application);
}

} // namespace

Profile::Profile(const QString &company, const QString &application)
    : m_settings(OpenStore(company, application))
{
    if (m_settings->fileName() != StorePath(company, application))
        qWarning("Profile: the store is at %s, not where its size was checked",
                 qUtf8Printable(m_settings->fileName()));
}

Profile::~Profile() = default;

std::int32_t Profile::GetProfileInt(std::string_view section, std::string_view entry,
                                    std::int32_t defaultValue) const
{
    const QVariant value = m_settings->value(Key(section, entry));
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return defaultValue;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    // Unsigned 32-bit values (colours) come back as written, through their bit pattern.
    if (!ok || number < INT32_MIN || number > UINT32_MAX)
        return defaultValue;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
}

std::string Profile::GetProfileString(std::string_view section, std::string_view entry,
                                      std::string_view defaultValue) const
{
    const QVariant value = m_settings->value(Key(section, entry));
    if (!value.isValid())
        return std::string(defaultValue);
    // Bytes that were no code page 932 text when written are kept as they were.
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    if (value.typeId() != QMetaType::QString)
        return std::string(defaultValue);
    const QByteArray utf8 = value.toString().toUtf8();
    std::optional<std::string> text =
        Cp932Codec::Shared().FromUtf8(std::string_view(utf8.constData(), utf8.size()));
    return text ? std::move(*text) : std::string(defaultValue);
}

std::optional<std::vector<std::uint8_t>> Profile::GetProfileBinary(std::string_view section,
                                                                   std::string_view entry) const
{
    const QVariant value = m_settings->value(Key(section, entry));
    if (!value.isValid() || value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void Profile::WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value)
{
    m_settings->setValue(Key(section, entry), value);
}

void Profile::WriteProfileString(std::string_view section, std::string_view entry,
                                 std::string_view value)
{
    const std::optional<std::string> utf8 = Cp932Codec::Shared().ToUtf8(value);
    if (utf8)
        m_settings->setValue(Key(section, entry), QString::fromStdString(*utf8));
    else
        m_settings->setValue(Key(section, entry),
                             QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

void Profile::WriteProfileBinary(std::string_view section, std::string_view entry,
                                 std::span<const std::uint8_t> value)
{
    m_settings->setValue(Key(section, entry),
                         QByteArray(reinterpret_cast<const char *>(value.data()),
                                    static_cast<qsizetype>(value.size())));
}

void Profile::RemoveEntry(std::string_view section, std::string_view entry)
{
    m_settings->remove(Key(section, entry));
}

void Profile::RemoveSection(std::string_view section)
{
    m_settings->remove(QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())));
}

bool Profile::Flush()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // The status keeps the first error met, which may be that of reading a damaged store that
    // this sync has just written anew: what the store now holds decides.
    const QSettings written(m_settings->fileName(), m_settings->format());
    if (written.status() != QSettings::NoError)
        return false;
    const QStringList keys = m_settings->allKeys();
    return std::all_of(keys.begin(), keys.end(), [&](const QString &key) {
        return SameValue(m_settings->value(key), written.value(key));
    });
}

QString Profile::FileName() const
{
    return m_settings->fileName();
}

} // namespace kivo
