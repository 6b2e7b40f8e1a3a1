#include "app/Session.h"

#include "RichEditCtrl.h"
#include "platform/files/AtomicFile.h"
#include "platform/framework/MdiChildWnd.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "resulttext/DocumentImage.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <limits>

namespace kivo {
namespace {

constexpr quint32 kMagic = 0x4B69766F; // "Kivo"
constexpr quint32 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
// The longest an idle step of writing takes, and the paragraphs written between two looks at
// the clock.
constexpr qint64 kStepMs = 8;
constexpr std::int64_t kParagraphsPerLook = 64;

QString LockPath(const QString &session)
{
    return session + QStringLiteral(".lock");
}

/// What a session says of one of its windows before the texts.
struct WindowHeader {
    qint32 pane = 0;
    QString title;
    bool modified = false;
    qint32 result = 0;
    qint64 characters = 0;
};

/// Reads the start of a session: its windows. False when it is no session of this version.
bool ReadHeaders(QDataStream &in, std::vector<WindowHeader> &headers)
{
    quint32 magic = 0;
    quint32 version = 0;
    quint32 windows = 0;
    in >> magic >> version >> windows;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion || windows > 2)
        return false;
    for (quint32 i = 0; i < windows; ++i) {
        WindowHeader header;
        in >> header.pane >> header.title >> header.modified >> header.result >> header.characters;
        if (in.status() != QDataStream::Ok || header.result < 0)
            return false;
        headers.push_back(header);
    }
    return true;
}

/// What a window's text is preceded by: its pane, title, modified state and result number.
void WriteWindowHeader(QDataStream &out, const CRichView &view)
{
    const MdiChildWnd *frame = view.ParentFrame();
    out << qint32(view.PaneNumber()) << (frame ? frame->Title() : QString())
        << view.Control()->GetModify() << qint32(view.ResultNumber())
        << qint64(view.Control()->Document()->characterCount() - 1);
}

} // namespace

QString Session::DefaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Kivo");
}

Session::Session(QString folder) : m_folder(std::move(folder))
{
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &Session::BeginWrite);
    connect(&m_step, &QTimer::timeout, this, &Session::WriteStep);
}

Session::~Session()
{
    JoinWriter();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void Session::Lock(const QString &path)
{
    m_path = path;
    m_lockFd =
        ::open(QFile::encodeName(LockPath(path)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

std::optional<QString> Session::Claim(bool takeLast)
{
    QDir().mkpath(m_folder);
    const QDir folder(m_folder);
    // Newest first: the session of the last Kivo that ended is the one to go on with.
    const QFileInfoList sessions =
        folder.entryInfoList({QStringLiteral("session-*.kivo")}, QDir::Files, QDir::Time);
    for (const QFileInfo &session : sessions) {
        const QString path = session.absoluteFilePath();
        const int fd = ::open(QFile::encodeName(LockPath(path)).constData(),
                              O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd); // held by a Kivo that runs
            continue;
        }
        if (takeLast) {
            m_path = path;
            m_lockFd = fd;
            return path;
        }
        // A start that names files: the windows of the last run go into the history.
        MoveToHistory(path);
        ::close(fd);
    }
    Lock(folder.absoluteFilePath(QStringLiteral("session-%1-%2.kivo")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(QDateTime::currentMSecsSinceEpoch())));
    return std::nullopt;
}

bool Session::Restore(const QString &path, CRichDoc &document, QString *error)
{
    QFile file(path);
    bool whole = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = whole ? file.readAll() : QByteArray();
    file.close();
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    std::vector<WindowHeader> headers;
    whole = whole && ReadHeaders(in, headers);
    const std::vector<CRichView *> views = document.RichViews();
    struct Restored {
        CRichView *view;
        WindowHeader header;
    };
    std::vector<Restored> restored;
    for (const WindowHeader &header : whole ? headers : std::vector<WindowHeader>()) {
        CRichView *view = nullptr;
        for (CRichView *candidate : views) {
            if (candidate->PaneNumber() == header.pane)
                view = candidate;
        }
        whole = view && ReadDocumentImage(in, *view->Control()->Document());
        if (!whole)
            break;
        restored.push_back({view, header});
    }
    if (!whole) {
        for (CRichView *view : views)
            view->Control()->Document()->clear();
        // Kept aside for whoever wants to look into it; the next session takes its place.
        const QString aside = path + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(path, aside);
        if (error)
            *error = res::LoadString(res::IDS_SESSION_DAMAGED).arg(QDir::toNativeSeparators(aside));
        return false;
    }
    for (const auto &[view, header] : restored) {
        RichEditCtrl &edit = *view->Control();
        edit.SetSel(0, 0);
        edit.SetModify(header.modified);
        if (header.result > 0) {
            view->BeginResult(header.result);
            document.NoteResultNumber(header.result);
        }
        if (MdiChildWnd *frame = view->ParentFrame()) {
            if (!header.title.isEmpty())
                frame->SetTitle(header.title);
            frame->SetModifiedMark(header.modified);
        }
    }
    // The windows may be of another size than when the rows were levelled.
    document.ScheduleLevelling();
    return true;
}

void Session::Watch(CRichDoc *document)
{
    m_document = document;
    if (!document)
        return;
    connect(document, &CRichDoc::aboutToClose, this, &Session::KeepAsHistory);
    for (CRichView *view : document->RichViews()) {
        QTextDocument *text = view->Control()->Document();
        connect(text, &QTextDocument::contentsChange, this, [this] {
            TextChanged();
            ScheduleWrite(kEditDelayMs);
        });
        connect(text, &QTextDocument::modificationChanged, this,
                [this] { ScheduleWrite(kEditDelayMs); });
    }
}

void Session::ScheduleWrite(int delayMs)
{
    if (m_path.isEmpty() || m_step.isActive())
        return;
    m_delay.start(delayMs);
}

void Session::TextChanged()
{
    if (!m_step.isActive())
        return;
    // What was written so far no longer matches the text.
    m_step.stop();
    m_writer.reset();
    m_stream.reset();
    m_bytes.clear();
}

void Session::BeginWrite()
{
    if (!m_document || m_path.isEmpty())
        return;
    m_bytes.clear();
    m_stream = std::make_unique<QDataStream>(&m_bytes, QIODevice::WriteOnly);
    m_stream->setVersion(kStreamVersion);
    m_views.clear();
    for (CRichView *view : m_document->RichViews()) {
        if (view->PaneNumber() > 0)
            m_views.emplace_back(view);
    }
    // The windows' titles come first, so that a list of sessions reads only the start of each.
    *m_stream << kMagic << kVersion << quint32(m_views.size());
    for (const QPointer<CRichView> &view : m_views)
        WriteWindowHeader(*m_stream, *view);
    m_viewIndex = 0;
    m_writer.reset();
    m_step.start(0);
}

void Session::WriteStep()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStepMs) {
        if (!m_writer) {
            if (m_viewIndex == m_views.size())
                break;
            CRichView *view = m_views[m_viewIndex];
            if (!view) { // a window went away: the next write takes what is there then
                TextChanged();
                return;
            }
            m_writer =
                std::make_unique<DocumentImageWriter>(*view->Control()->Document(), *m_stream);
        }
        if (m_writer->Write(kParagraphsPerLook)) {
            m_writer.reset();
            ++m_viewIndex;
        }
    }
    m_longestStepNs = std::max(m_longestStepNs, clock.nsecsElapsed());
    if (m_writer || m_viewIndex < m_views.size())
        return; // more in the next idle step
    m_step.stop();
    m_stream.reset();
    // The file is replaced by a thread: the disk may take longer than an idle step.
    JoinWriter();
    m_fileWriter = std::thread([path = m_path, bytes = std::move(m_bytes)] {
        SaveFileAtomically(path, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                           nullptr);
    });
    m_bytes = QByteArray();
}

void Session::WriteNow()
{
    m_delay.stop();
    TextChanged();
    JoinWriter();
    if (!m_document || m_path.isEmpty())
        return;
    // All at once: at exit nobody waits for the windows.
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        std::vector<CRichView *> views;
        for (CRichView *view : m_document->RichViews()) {
            if (view->PaneNumber() > 0)
                views.push_back(view);
        }
        out << kMagic << kVersion << quint32(views.size());
        for (CRichView *view : views)
            WriteWindowHeader(out, *view);
        for (CRichView *view : views) {
            DocumentImageWriter(*view->Control()->Document(), out)
                .Write(std::numeric_limits<std::int64_t>::max());
        }
    }
    SaveFileAtomically(m_path, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                       nullptr);
}

void Session::Discard()
{
    m_delay.stop();
    TextChanged();
    JoinWriter();
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

std::vector<Session::HistoryEntry> Session::History() const
{
    std::vector<HistoryEntry> entries;
    const QFileInfoList files = QDir(m_folder).entryInfoList(
        {QStringLiteral("history-*.kivo")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QFileInfo &info : files) {
        QFile file(info.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QDataStream in(&file);
        in.setVersion(kStreamVersion);
        std::vector<WindowHeader> headers;
        if (!ReadHeaders(in, headers))
            continue;
        for (std::size_t i = 0; i < headers.size(); ++i) {
            if (headers[i].characters > 0)
                entries.push_back(
                    {info.absoluteFilePath(), int(i), headers[i].title, info.lastModified()});
        }
    }
    return entries;
}

bool Session::ReadHistory(const HistoryEntry &entry, QTextDocument &document)
{
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    in.setVersion(kStreamVersion);
    std::vector<WindowHeader> headers;
    if (!ReadHeaders(in, headers) || entry.window >= int(headers.size()))
        return false;
    for (int i = 0; i < entry.window; ++i) {
        QTextDocument skipped;
        if (!ReadDocumentImage(in, skipped))
            return false;
    }
    return ReadDocumentImage(in, document);
}

void Session::KeepAsHistory()
{
    WriteNow();
    if (m_path.isEmpty() || !QFile::exists(m_path))
        return;
    const QString kept = HistoryPath();
    QFile::copy(m_path, kept);
    PruneHistory();
}

void Session::MoveToHistory(const QString &session)
{
    QFile::rename(session, HistoryPath());
    QFile::remove(LockPath(session));
    PruneHistory();
}

QString Session::HistoryPath() const
{
    // Named by time, so that the names sort as the times do.
    for (int n = 0;; ++n) {
        const QString path = QDir(m_folder).filePath(
            QStringLiteral("history-%1-%2.kivo")
                .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")))
                .arg(n));
        if (!QFile::exists(path))
            return path;
    }
}

void Session::PruneHistory()
{
    const QStringList files = QDir(m_folder).entryList({QStringLiteral("history-*.kivo")},
                                                       QDir::Files, QDir::Name | QDir::Reversed);
    for (qsizetype i = kHistoryLength; i < files.size(); ++i)
        QFile::remove(QDir(m_folder).filePath(files[i]));
}

void Session::JoinWriter()
{
    if (m_fileWriter.joinable())
        m_fileWriter.join();
}

} // namespace kivo
