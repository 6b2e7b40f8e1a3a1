#include "platform/files/RecentFileList.h"

#include "Cp932Codec.h"
#include "platform/files/Profile.h"

#include <QDir>
#include <QFileInfo>

#include <string>

namespace kivo {
namespace {

constexpr const char *kSection = "Recent File List";

std::string EntryName(int index)
{
    return "File" + std::to_string(index + 1);
}

// Paths are stored like every other string of the store: code page 932 in the program.
std::string ToStored(const QString &path)
{
    const QByteArray utf8 = path.toUtf8();
    return Cp932Codec::Shared()
        .FromUtf8(std::string_view(utf8.constData(), utf8.size()))
        .value_or("");
}

QString FromStored(const std::string &cp932)
{
    return QString::fromStdString(Cp932Codec::Shared().ToUtf8(cp932).value_or(""));
}

} // namespace

RecentFileList::RecentFileList(int maxSize) : m_maxSize(maxSize)
{}

void RecentFileList::ReadList(const Profile &profile)
{
    m_paths.clear();
    for (int i = 0; i < m_maxSize; ++i) {
        const QString path = FromStored(profile.GetProfileString(kSection, EntryName(i), ""));
        if (!path.isEmpty())
            m_paths.append(path);
    }
}

void RecentFileList::WriteList(Profile &profile) const
{
    profile.RemoveSection(kSection);
    for (int i = 0; i < Size(); ++i)
        profile.WriteProfileString(kSection, EntryName(i), ToStored(m_paths[i]));
}

void RecentFileList::Add(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (Size() > m_maxSize)
        m_paths.removeLast();
}

void RecentFileList::Remove(int index)
{
    if (index >= 0 && index < Size())
        m_paths.removeAt(index);
}

QStringList RecentFileList::MenuLabels() const
{
    QStringList labels;
    for (int i = 0; i < Size(); ++i) {
        const int number = i + 1;
        QString prefix;
        if (number < 10)
            prefix = u'&' + QString::number(number);
        else if (number == 10)
            prefix = QStringLiteral("1&0");
        else
            prefix = QString::number(number);
        // A file name with & in it must not make a mnemonic of its own.
        QString path = m_paths[i];
        path.replace(u'&', QStringLiteral("&&"));
        labels.append(prefix + u' ' + path);
    }
    return labels;
}

} // namespace kivo
