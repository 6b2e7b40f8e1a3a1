#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

class Profile;

/// The list of files used last, most recent first, kept in the settings store in section
/// "Recent File List" as values File1, File2, ...
class RecentFileList {
public:
    explicit RecentFileList(int maxSize);

    /// Reads the list; empty values are skipped.
    void ReadList(const Profile &profile);
    /// Replaces the stored list with this one.
    void WriteList(Profile &profile) const;

    /// Puts path at the front; an entry of the same file moves there, and the oldest entry
    /// falls off when the list is full.
    void Add(const QString &path);
    /// Removes entry index (from 0); nothing happens for an index out of range.
    void Remove(int index);

    int Size() const { return static_cast<int>(m_paths.size()); }
    int MaxSize() const { return m_maxSize; }
    const QStringList &Paths() const { return m_paths; }

    /// The menu labels of the entries: the number with its mnemonic (&1 to &9, 1&0, then plain
    /// numbers) and the path.
    QStringList MenuLabels() const;

private:
    int m_maxSize;
    QStringList m_paths;
};

} // namespace kivo
