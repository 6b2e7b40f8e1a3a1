#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextDocument>
#include <QTimer>

#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace kivo {

class CRichDoc;
class CRichView;
class DocumentImageWriter;

/// The two windows' contents kept between runs, so that nothing typed is lost when Kivo ends,
/// is killed or crashes: each window's text with its formats (a result with its colours and
/// marks), its title and whether it holds unsaved edits.
///
/// Each running Kivo keeps its own session file in the state folder ($XDG_STATE_HOME/Kivo, by
/// default ~/.local/state/Kivo) and holds a lock on it while it runs. A start restores the
/// newest session that no running Kivo holds and goes on writing that one. The file is
/// written about two seconds after the last edit and after a comparison, in idle steps of a
/// few milliseconds, and replaced atomically (temporary file, fsync, rename) by a thread, so
/// that a kill at any moment leaves the old session or the new one whole; at exit it is
/// written at once.
class Session : public QObject {
    Q_OBJECT
public:
    /// The folder sessions are kept in.
    static QString DefaultFolder();

    explicit Session(QString folder = DefaultFolder());
    ~Session() override;
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    /// With takeLast, takes the newest session file no running Kivo holds (locking it) and
    /// returns its path; otherwise, or when there is none, makes a new file name for this
    /// process and returns nullopt.
    std::optional<QString> Claim(bool takeLast);

    /// Reads the session file at path into the document's two windows, which must be empty.
    /// False, with the windows left empty and the file set aside as NAME.damaged, when it is
    /// damaged or not a session; the reason is then in error.
    bool Restore(const QString &path, CRichDoc &document, QString *error);

    /// Writes the windows of document from now on: after edits, comparisons and at exit.
    void Watch(CRichDoc *document);
    /// Writes the session soon (after delayMs), in idle steps.
    void ScheduleWrite(int delayMs);
    /// Writes the session at once and waits until it is on disk (exit, SIGTERM).
    void WriteNow();
    /// Stops keeping a session: removes this process's file (the setting was switched off).
    void Discard();

    /// One window's text in the history: the windows of a run that a start with files set
    /// aside, or that were closed.
    struct HistoryEntry {
        QString path;
        int window = 0;
        QString title;
        QDateTime time;
    };
    /// The windows with text in the history, newest first.
    std::vector<HistoryEntry> History() const;
    /// Reads an entry's text with its formats into document, which must be empty; false when
    /// it cannot be read.
    static bool ReadHistory(const HistoryEntry &entry, QTextDocument &document);
    /// Sets the windows' texts as they are now into the history (they are about to be closed).
    void KeepAsHistory();
    /// The sessions the history keeps.
    static constexpr int kHistoryLength = 20;

    /// Waits until the last session written is on disk.
    void JoinWriter();

    /// The longest idle step of writing so far, in nanoseconds (for the benchmark).
    qint64 LongestStepNs() const { return m_longestStepNs; }

    /// The file this process writes.
    QString Path() const { return m_path; }
    /// The delay after the last edit before the session is written.
    static constexpr int kEditDelayMs = 2000;

private:
    /// Starts writing: the header, then the windows paragraph by paragraph.
    void BeginWrite();
    /// One idle step of writing; hands the bytes to the writer thread when done.
    void WriteStep();
    /// The text changed while it was being written: start again later.
    void TextChanged();
    void Lock(const QString &path);
    void MoveToHistory(const QString &session);
    QString HistoryPath() const;
    void PruneHistory();

    QString m_folder;
    QString m_path;
    int m_lockFd = -1;
    QPointer<CRichDoc> m_document;
    QTimer m_delay;
    QTimer m_step;
    /// The session being written, and the window being written now.
    QByteArray m_bytes;
    std::unique_ptr<QDataStream> m_stream;
    std::vector<QPointer<CRichView>> m_views;
    std::size_t m_viewIndex = 0;
    std::unique_ptr<DocumentImageWriter> m_writer;
    std::thread m_fileWriter;
    qint64 m_longestStepNs = 0;
};

} // namespace kivo
