#include "views/RichDoc.h"

#include "Memory.h"
#include "PdfFile.h"
#include "PdfStream.h"
#include "RichEditCtrl.h"
#include "RichOptions.h"
#include "RtfReader.h"
#include "RtfStream.h"
#include "TextFile.h"
#include "WordFileStream.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FileMessage.h"
#include "platform/framework/MdiChildWnd.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/framework/WinApp.h"
#include "platform/widgets/KeyLocks.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "resulttext/RowLeveller.h"
#include "views/RichView.h"
#include "views/ScrollSync.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <utility>

namespace kivo {
namespace {

using namespace res;

MdiChildWnd *ActiveFrame()
{
    MdiFrameWnd *main = WinApp::MainWindow();
    return main ? main->ActiveChild() : nullptr;
}

/// The extension of the document's files, with its dot: field 4 of the document strings.
QString FilterExtension()
{
    return StringField(IDS_DOC_STRINGS, 4);
}

// How long the windows must stay unchanged before levelling starts: a window being dragged to
// another size sends many resizes.
constexpr int kLevellingSettleMs = 150;
// About the most one levelling step may take, the layout of its rows included, so that the
// windows answer the user between steps without a pause one could feel.
constexpr std::chrono::milliseconds kLevellingStep{8};

FileError OutOfMemory()
{
    return {ENOMEM, QString::fromLocal8Bit(std::strerror(ENOMEM))};
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

CRichDoc::CRichDoc(RichOptions &options) : m_options(options)
{
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { OnFileSave(); });
    OnUpdateCommand(ID_COMPARE_SELECTION,
                    [this](CmdUI &ui) { ui.Enable(!m_comparing && BothSelected()); });
    OnUpdateCommand(ID_COMPARE_WHOLE,
                    [this](CmdUI &ui) { ui.Enable(!m_comparing && BothHaveText()); });
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kLevellingSettleMs);
    connect(&m_settleTimer, &QTimer::timeout, this, &CRichDoc::StartLevelling);
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &CRichDoc::LevelStep);
}

CRichDoc::~CRichDoc()
{
    StopLevelling();
}

std::vector<CRichView *> CRichDoc::RichViews() const
{
    std::vector<CRichView *> views;
    for (View *view : Views()) {
        if (auto *rich = qobject_cast<CRichView *>(view))
            views.push_back(rich);
    }
    return views;
}

template <typename Test> bool CRichDoc::BothViews(Test test) const
{
    const std::vector<CRichView *> views = RichViews();
    return Views().size() == 2 && views.size() == 2 &&
           std::all_of(views.begin(), views.end(),
                       [&test](const CRichView *view) { return test(*view); });
}

bool CRichDoc::BothHaveText() const
{
    return BothViews([](const CRichView &view) { return view.HasText(); });
}

std::uintmax_t CRichDoc::TextCharacters() const
{
    std::uintmax_t characters = 0;
    for (const CRichView *view : RichViews())
        characters += static_cast<std::uintmax_t>(view->Control()->GetTextLength());
    return characters;
}

bool CRichDoc::Reformatting() const
{
    const std::vector<CRichView *> views = RichViews();
    return std::any_of(views.begin(), views.end(),
                       [](const CRichView *view) { return view->IsReformatting(); });
}

void CRichDoc::OnCloseDocument()
{
    emit aboutToClose();
    Document::OnCloseDocument();
}

bool CRichDoc::BothSelected() const
{
    return BothViews([](const CRichView &view) { return view.HasSelection(); });
}

PerSide<CRichView *> CRichDoc::PrepareForComparison()
{
    // The result that is about to be written replaces the one being levelled.
    StopLevelling();
    m_settleTimer.stop();
    const int result = ++m_lastResultNumber;
    PerSide<CRichView *> sides{};
    for (CRichView *view : RichViews()) {
        view->BeginResult(result);
        if (view->ParentFrame())
            sides[Index(view->PaneNumber() == 1 ? Side::Left : Side::Right)] = view;
    }
    m_writing = {sides[Index(Side::Left)], sides[Index(Side::Right)]};
    return sides;
}

std::optional<PerSide<CRichView *>> CRichDoc::WritingViews() const
{
    const PerSide<CRichView *> views{m_writing[Index(Side::Left)], m_writing[Index(Side::Right)]};
    if (!views[Index(Side::Left)] || !views[Index(Side::Right)])
        return std::nullopt;
    return views;
}

void CRichDoc::RowClosed()
{
    if (const auto views = WritingViews())
        LevelClosedRow((*views)[Index(Side::Left)]->Renderer(),
                       (*views)[Index(Side::Right)]->Renderer(),
                       (*views)[Index(Side::Left)]->ResultNumber());
}

void CRichDoc::LevelWrittenRows()
{
    if (const auto views = WritingViews())
        kivo::LevelWrittenRows((*views)[Index(Side::Left)]->Renderer(),
                               (*views)[Index(Side::Right)]->Renderer(),
                               (*views)[Index(Side::Left)]->ResultNumber());
}

void CRichDoc::SetComparing(bool comparing)
{
    m_comparing = comparing;
    if (comparing) {
        StopLevelling();
        m_levelAfterComparing = false;
    }
    for (CRichView *view : RichViews())
        view->SetComparing(comparing);
    if (!comparing && std::exchange(m_levelAfterComparing, false))
        ScheduleLevelling();
}

// --- Levelling ----------------------------------------------------------------------------------

void CRichDoc::ScheduleLevelling()
{
    if (m_comparing) {
        // The rows are levelled as they are written, at the widths of that moment; when a
        // window wraps anew meanwhile (its scroll bar appears after the other's), the rows
        // written before are levelled again once the comparison is over.
        m_levelAfterComparing = true;
        return;
    }
    StopLevelling();
    m_settleTimer.start();
}

bool CRichDoc::LevellingPending() const
{
    return m_settleTimer.isActive() || m_leveller;
}

void CRichDoc::StartLevelling()
{
    StopLevelling();
    m_settleTimer.stop();
    const std::vector<CRichView *> views = RichViews();
    if (m_comparing || views.size() != 2 || views[0]->ResultNumber() == 0 ||
        views[0]->ResultNumber() != views[1]->ResultNumber())
        return;
    const std::size_t leftFirst = views[0]->PaneNumber() == 2 ? 1 : 0;
    const PerSide<CRichView *> sides{views[leftFirst], views[1 - leftFirst]};
    // The rows in the windows are levelled first.
    m_leveller = std::make_unique<RowLeveller>(*sides[Index(Side::Left)]->Control(),
                                               *sides[Index(Side::Right)]->Control(),
                                               sides[Index(Side::Left)]->ResultNumber());
    // The levelling lays out the rows it reaches; the layout of the rest waits meanwhile, so
    // that a turn of the event loop carries one of them only.
    for (CRichView *view : sides)
        view->Control()->HoldIdleLayout(true);
    // An edit of the user's ends the levelling: the rows it knows of may be gone.
    for (CRichView *view : sides) {
        m_levellingWatch.push_back(
            connect(view->Control(), &RichEditCtrl::TextChanged, this, [this] {
                if (m_leveller && !m_leveller->Editing())
                    StopLevelling();
            }));
    }
    m_stepTimer.start();
}

bool CRichDoc::LevelStep()
{
    if (!m_leveller)
        return false;
    if (m_comparing) {
        StopLevelling();
        return false;
    }
    // Padding inserted or removed above the windows must not move what they show.
    bool more = false;
    const std::vector<CRichView *> views = RichViews();
    const auto step = [&] { more = m_leveller->Step(kLevellingStep); };
    // The padding edits are measured by the leveller as it needs them; the windows hear of the
    // text's height a few times a second, not after each step.
    for (CRichView *view : views)
        view->Control()->DeferEditLayout(true);
    if (views.size() == 2)
        views[0]->Control()->KeepTopThrough([&] { views[1]->Control()->KeepTopThrough(step); });
    else
        step();
    for (CRichView *view : views)
        view->Control()->DeferEditLayout(false);
    if (more)
        return true;
    m_levelledRows = m_leveller->ChangedRows();
    StopLevelling();
    AlignScrolling();
    return false;
}

void CRichDoc::StopLevelling()
{
    m_stepTimer.stop();
    for (const QMetaObject::Connection &connection : m_levellingWatch)
        disconnect(connection);
    m_levellingWatch.clear();
    if (m_leveller) {
        for (CRichView *view : RichViews())
            view->Control()->HoldIdleLayout(false);
    }
    m_leveller.reset();
}

void CRichDoc::AlignScrolling()
{
    if (!ScrollSync(m_options).IsOn())
        return;
    CRichView *active = ActiveRichView();
    const std::vector<CRichView *> views = RichViews();
    if (!active && !views.empty())
        active = views.front();
    CRichView *other = active ? active->OtherView() : nullptr;
    if (!other)
        return;
    if (!other->FollowLeader(*active)) {
        active->NoteScrollPosition();
        other->NoteScrollPosition();
    }
}

CRichView *CRichDoc::ActiveRichView() const
{
    MdiFrameWnd *main = WinApp::MainWindow();
    auto *view = main ? qobject_cast<CRichView *>(main->ActiveView()) : nullptr;
    return view && view->GetDocument() == this ? view : nullptr;
}

// --- Opening ------------------------------------------------------------------------------------

void CRichDoc::OnFileOpen()
{
    if (m_comparing)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = LoadString(IDS_OPEN_FILE);
    request.filters = {{LoadString(IDS_ALL_FILTER), QStringLiteral("*.*")}};
    const std::optional<QString> path = RunFileDialog(request, WinApp::MainWindow());
    if (!path || path->isEmpty())
        return;
    if (OpenFile(*path))
        ScrollSync(m_options).Stop();
}

bool CRichDoc::OpenIntoActiveView(const QString &path)
{
    if (path.isEmpty())
        return false;
    return OpenFile(path);
}

bool CRichDoc::OpenFile(const QString &path)
{
    // Every open waits for the end of a comparison: the views are locked and being written.
    if (m_comparing || !ActiveRichView())
        return false;
    // The view is emptied and retitled only once the file has been read: a file that cannot
    // be loaded leaves the text the user had.
    if (!OnOpenDocument(path))
        return false;
    MdiChildWnd *frame = ActiveFrame();
    if (!frame)
        return false;
    frame->SetTitle(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return true;
}

bool CRichDoc::OnOpenDocument(const QString &path)
{
    CRichView *view = ActiveRichView();
    if (!view)
        return false;
    FileError error;
    std::optional<std::string> bytes;
    try {
        const WaitCursor wait;
        // One read, which refuses anything but a regular file and stops at the size limit,
        // gives both the format and the text.
        bytes = ReadFileBytes(path, &error);
    } catch (const std::bad_alloc &) {
        error = OutOfMemory();
    }
    if (!bytes) {
        m_richText = FileFormat::Unreadable;
        ReportFailure(FileAction::Open, path, error);
        return false;
    }
    // The window ends the process when it runs short of memory: a text it could not hold is
    // refused before it goes in. A word-processor document or a PDF, whose text is far smaller
    // than the file, is checked once its text is out.
    if (!IsZipArchive(*bytes) && !pdf::HasSignature(*bytes) &&
        !CanAllocate(bytes->size() * kWindowBytesPerTextByte)) {
        m_richText = FileFormat::Unreadable;
        bytes.reset();
        ReportFailure(FileAction::Open, path, OutOfMemory());
        return false;
    }
    m_richText = DetectRichText(*bytes, path);
    RichEditCtrl &edit = *view->Control();
    // Edits the file replaces stay one undo step away.
    std::unique_ptr<TextSnapshot> replaced = edit.GetModify() ? view->Snapshot() : nullptr;
    if (bytes->empty()) {
        view->ClearAll();
    } else {
        const WaitCursor wait;
        // Plain text takes the display format; the stream replaces the whole text, and bytes
        // it cannot read leave the text, its formats and the selection as they were.
        edit.SetCharFormat(m_options.CharFormat, FormatScope::Default);
        const StreamFormat format =
            m_richText == FileFormat::PlainText ? StreamFormat::Text : StreamFormat::RichText;
        Cp932Codec::Error reason;
        rtf::ReadNotes rtfNotes;
        bool read = false;
        try {
            // A word-processor document or a PDF is read as rich text and saved as RTF.
            const WordFileStream wordFile(&reason.reason);
            const RtfStream rtfFile(&rtfNotes);
            if (IsZipArchive(*bytes)) {
                read = edit.StreamIn(wordFile, *bytes);
            } else if (pdf::HasSignature(*bytes)) {
                pdf::ReadOptions pdfOptions;
                pdfOptions.keepRunningHeads = m_options.PdfHeads != 0;
                // A long PDF cannot return to the event loop while it is read: Esc held
                // down stops it.
                pdfOptions.stopRequested = EscapeKeyDown;
                read = edit.StreamIn(PdfStream(pdfOptions, &reason.reason), *bytes);
            } else if (format == StreamFormat::RichText &&
                       edit.GetRichTextStream() == &RtfStream::Shared()) {
                // The program's reader, through an instance that tells of a file cut short.
                read = edit.StreamIn(rtfFile, *bytes);
                reason.reason =
                    rtfNotes.tooMuch ? FileReason::ExpandsTooFar : FileReason::DamagedRichText;
            } else {
                read = edit.StreamIn(format, *bytes, &reason);
            }
        } catch (const std::bad_alloc &) {
            // The stream is read aside before it replaces the text: a shortage while reading it
            // leaves the text as it was.
            bytes.reset();
            ReportFailure(FileAction::Open, path, OutOfMemory());
            return false;
        }
        if (!read) {
            // Stopped by the user, who knows why.
            if (reason.reason != FileReason::Stopped)
                ReportFailure(FileAction::Open, path, {0, {}, reason.reason, reason.offset});
            return false;
        }
        // The new text holds nothing of the last result: neither window may lead into it.
        view->ForgetResult();
        view->ApplyDisplayFormat();
        if (rtfNotes.endsEarly)
            ReportEndsEarly(path);
    }
    edit.SetModify(false);
    view->KeepForUndo(std::move(replaced));
    const QString absolute = QFileInfo(path).absoluteFilePath();
    SetPathName(absolute);
    if (WinApp *app = WinApp::Current())
        app->AddToRecentFileList(absolute);
    return true;
}

FileFormat CRichDoc::DetectRichText(std::string_view bytes, const QString &path)
{
    if (!bytes.empty()) {
        return rtf::HasSignature(bytes) || IsZipArchive(bytes) || pdf::HasSignature(bytes)
                   ? FileFormat::RichText
                   : FileFormat::PlainText;
    }
    const QString tail = path.right(4);
    return tail.startsWith(u'.') &&
                   (tail.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0 ||
                    tail.compare(QStringLiteral(".fdj"), Qt::CaseInsensitive) == 0)
               ? FileFormat::RichText
               : FileFormat::PlainText;
}

// --- Saving -------------------------------------------------------------------------------------

bool CRichDoc::IsTextFileName(const QString &path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
}

void CRichDoc::OnFileSave()
{
    NameFromActiveFrame();
    if (!DoSave())
        return;
    MdiChildWnd *frame = ActiveFrame();
    if (frame && !PathName().isEmpty())
        frame->SetTitle(QDir::toNativeSeparators(PathName()));
}

void CRichDoc::NameFromActiveFrame()
{
    MdiChildWnd *frame = ActiveFrame();
    if (!frame)
        return;
    const QString title = QDir::fromNativeSeparators(frame->Title());
    if (title.isEmpty())
        return;
    if (PathName().isEmpty()) {
        SetTitle(title);
        return;
    }
    const QString ext = FilterExtension();
    if (ext.isEmpty())
        return;
    // The extension is looked for in the file's name only: a dot in a folder's name is no
    // extension.
    const qsizetype nameStart = title.lastIndexOf(u'/') + 1;
    const qsizetype dot = title.lastIndexOf(u'.');
    const QString name = dot > nameStart ? title.left(dot) + ext : title + ext;
    SetPathName(QDir::cleanPath(QFileInfo(name).absoluteFilePath()));
}

QString CRichDoc::ProposedSaveName() const
{
    if (!PathName().isEmpty())
        return PathName();
    return Title() + FilterExtension();
}

bool CRichDoc::DoSave()
{
    if (!ActiveRichView())
        return false;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = LoadString(IDS_SAVE_FILE);
    request.filters = {{StringField(IDS_DOC_STRINGS, 3), QStringLiteral("*.rtf")},
                       {LoadString(IDS_TEXT_FILTER), QStringLiteral("*.txt")},
                       {LoadString(IDS_ALL_FILTER), QStringLiteral("*.*")}};
    request.defaultSuffix = FilterExtension().mid(1);
    request.suffixFollowsType = true;
    request.proposedName = ProposedSaveName();
    const std::optional<QString> path = RunFileDialog(request, WinApp::MainWindow());
    if (!path || path->isEmpty())
        return false;
    if (!OnSaveDocument(*path))
        return false;
    const QString absolute = QFileInfo(*path).absoluteFilePath();
    SetPathName(absolute);
    if (WinApp *app = WinApp::Current())
        app->AddToRecentFileList(absolute);
    return true;
}

bool CRichDoc::OnSaveDocument(const QString &path)
{
    CRichView *view = ActiveRichView();
    if (!view)
        return false;
    const WaitCursor wait;
    // A name ending in .txt saves the user's text as UTF-8, without what Kivo inserted into a
    // result; every other name saves the window as rich text.
    const bool plain = IsTextFileName(path);
    FileError error;
    std::optional<std::string> bytes;
    try {
        bytes = plain ? view->UsersTextUtf8() : view->Control()->StreamOut(StreamFormat::RichText);
    } catch (const std::bad_alloc &) {
        error = OutOfMemory();
    }
    if (!bytes) {
        ReportFailure(FileAction::Save, path, error);
        return false;
    }
    m_richText = plain ? FileFormat::PlainText : FileFormat::RichText;
    if (!SaveFileAtomically(path, *bytes, &error)) {
        ReportFailure(FileAction::Save, path, error);
        return false;
    }
    view->Control()->SetModify(false);
    return true;
}

void CRichDoc::ReportFailure(FileAction action, const QString &path, const FileError &error) const
{
    ShowMessageBox(FileErrorMessage(action, path, error), MB_OK | MB_ICONEXCLAMATION,
                   WinApp::MainWindow());
}

void CRichDoc::ReportEndsEarly(const QString &path) const
{
    ShowMessageBox(QDir::toNativeSeparators(path) + u'\n' + LoadString(IDS_FILE_ENDS_EARLY),
                   MB_OK | MB_ICONEXCLAMATION, WinApp::MainWindow());
}

} // namespace kivo
