#pragma once

#include "Side.h"
#include "driver/ResultView.h"
#include "platform/framework/Document.h"

#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

class CRichView;
class RowLeveller;
struct FileError;
enum class FileAction;
struct RichOptions;

/// How the document reads and writes its files. The numbers are those the flag has always had.
enum class FileFormat {
    Unreadable = -1, ///< the last file opened could not be read
    PlainText = 0,
    RichText = 1
};

/// The document: one text shown in two views, the left and the right window. It owns nothing
/// of a comparison; it decides whether the compare commands are available and hands its views
/// to the driver, which then works on them directly.
///
/// The file commands act on the active view only: opening reads a rich-text or plain-text file
/// into it and leaves the other view alone; saving writes it, always as rich text. Nothing ever
/// asks whether to save.
class CRichDoc : public Document, public IRowLevels {
    Q_OBJECT
public:
    /// The options must outlive the document.
    explicit CRichDoc(RichOptions &options);
    ~CRichDoc() override;

    /// Whether the document has exactly two views and each holds at least one character.
    bool BothHaveText() const;
    /// The characters of both windows' texts together.
    std::uintmax_t TextCharacters() const;
    /// Whether the document has exactly two views and both have a non-empty selection.
    bool BothSelected() const;

    /// Readies every view for a new result (its number, levelling stopped) and returns the text
    /// views of pane 1 and pane 2, which hand over the texts.
    PerSide<CRichView *> PrepareForComparison();
    /// The rows of the result being written into the views PrepareForComparison returned.
    void RowClosed() override;
    void LevelWrittenRows() override;
    /// A comparison runs (in this document or another): the views are locked, the commands
    /// that could change a text disabled and levelling put off, until it ends.
    void SetComparing(bool comparing);
    bool Comparing() const { return m_comparing; }

    /// The views that are text views, in the document's order.
    std::vector<CRichView *> RichViews() const;
    /// Whether a window is taking a new display format (colours, font): its text stays.
    bool Reformatting() const;
    /// A result restored into the windows: the next comparison's number comes after it.
    void NoteResultNumber(int number) { m_lastResultNumber = std::max(m_lastResultNumber, number); }

    /// Loads a file into the active view without a dialog; the frame then shows the path.
    /// False for no path, while a comparison runs, when the file cannot be loaded (reported to
    /// the user) and when no text window is active. Leaves synchronised scrolling to the caller.
    bool OpenIntoActiveView(const QString &path);

    /// Reads a file into the active view and remembers it as the document's file and in the
    /// recent-file list. The file is opened once: its first bytes set the rich-text flag and
    /// its text is read in that format. Only a regular file of at most kMostFileBytes is read;
    /// anything else, and a file that cannot be read, is reported at once and the view keeps
    /// its text. Returns whether it was loaded.
    bool OnOpenDocument(const QString &path);

    // --- Keeping the rows of the last result level ------------------------------------------
    /// The windows wrap their lines anew (another width, font or effect): once the changes
    /// have settled, the rows of the result are levelled again, a few at each idle moment.
    void ScheduleLevelling();
    /// Whether levelling is waiting to start or under way.
    bool LevellingPending() const;
    /// Starts levelling at once, when there is a result in both windows (tests, benchmarks).
    void StartLevelling();
    /// One bounded step of the levelling under way; false once it has ended.
    bool LevelStep();
    /// The levelling under way, if any.
    const RowLeveller *Leveller() const { return m_leveller.get(); }
    /// Rows whose padding the last levelling that ran to its end changed.
    int LevelledRows() const { return m_levelledRows; }

    /// Never asks: closing a window or the program does not offer to save.
    bool SaveModified() override { return true; }
    /// Tells that the windows are about to close (their texts go into the history), then
    /// closes them.
    void OnCloseDocument() override;

    /// RichText when a file with these bytes and this name is rich text (it begins with "{\rtf",
    /// byte for byte, or is a zip archive, a word-processor document saved back as RTF; an empty
    /// file when its name ends in ".rtf" or ".fdj", in any case), else PlainText.
    static FileFormat DetectRichText(std::string_view bytes, const QString &path);
    /// Whether a save under this name writes plain text (the name ends in .txt) rather than RTF.
    static bool IsTextFileName(const QString &path);

    /// The name the save dialog proposes: the path name, else the title with ".rtf".
    QString ProposedSaveName() const;

    /// The rich-text flag: how files are read and written (Unreadable after an open of a file
    /// that could not be read).
    FileFormat RichText() const { return m_richText; }

    /// The active view of the main window, when it is a text view of this document.
    CRichView *ActiveRichView() const;

signals:
    /// The windows are about to close with the texts they hold.
    void aboutToClose();

private:
    void OnFileOpen();
    void OnFileSave();
    /// The shared part of the open command and OpenIntoActiveView: true once the file is loaded
    /// and the active frame shows its path.
    bool OpenFile(const QString &path);
    /// Sets the path name or the title from the active frame's title before saving.
    void NameFromActiveFrame();
    /// Asks for the file name and writes the active view there; false when cancelled or failed.
    bool DoSave();
    /// Writes the active view as rich text; reports a failure.
    bool OnSaveDocument(const QString &path);
    /// Shows the failure of a load or a save: which file, why, and that nothing was lost.
    void ReportFailure(FileAction action, const QString &path, const FileError &error) const;
    /// Tells that the file at path was cut short and only the part read is shown.
    void ReportEndsEarly(const QString &path) const;
    /// Whether there are exactly two text views and each passes the test; stops at the first
    /// that fails.
    template <typename Test> bool BothViews(Test test) const;

    void StopLevelling();
    /// Puts the active window's top row, scrolled into as far, at the other window's top, now
    /// that the rows are level.
    void AlignScrolling();

    RichOptions &m_options;
    bool m_comparing = false;
    /// A window wrapped anew while a result was being written: level its rows once it is done.
    bool m_levelAfterComparing = false;
    FileFormat m_richText = FileFormat::RichText;
    /// The number of the last result written into the views; each comparison takes the next.
    int m_lastResultNumber = 0;
    /// The views the result is being written into, while both are there.
    std::optional<PerSide<CRichView *>> WritingViews() const;

    PerSide<QPointer<CRichView>> m_writing;
    std::unique_ptr<RowLeveller> m_leveller;
    int m_levelledRows = 0;
    QTimer m_settleTimer;
    QTimer m_stepTimer;
    std::vector<QMetaObject::Connection> m_levellingWatch;
};

} // namespace kivo
