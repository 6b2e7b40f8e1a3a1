#pragma once

#include "TextSearch.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kivo {

/// The system's modeless find dialog, or its replace dialog: the text to find (and the text to
/// put in its place), whole word, match case and, for find, the direction. Its buttons are
/// enabled while there is a text to find; they only report what the user asked for. Cancel and
/// Esc close the dialog, which then deletes itself.
class FindReplaceDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Find, Replace };

    /// owner: the window it stands over.
    FindReplaceDlg(Mode mode, QWidget *owner);
    ~FindReplaceDlg() override;

    Mode GetMode() const { return m_mode; }

    QString FindWhat() const;
    void SetFindWhat(const QString &text);
    QString ReplaceWith() const;
    void SetReplaceWith(const QString &text);
    /// The options as set; the replace dialog always searches down.
    FindOptions Options() const;
    void SetOptions(const FindOptions &options);

    /// Moves the dialog off a rectangle (global coordinates) that it covers, above it when there
    /// is room, else below it.
    void KeepClearOf(const QRect &area);

    QPushButton *FindNextButton() const { return m_findNext; }
    QPushButton *ReplaceButton() const { return m_replace; }
    QPushButton *ReplaceAllButton() const { return m_replaceAll; }

signals:
    void findNext();
    void replaceCurrent();
    void replaceAll();

private:
    void UpdateButtons();

    Mode m_mode;
    QLineEdit *m_findWhat;
    QLineEdit *m_replaceWith = nullptr;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
};

/// What the find and replace commands remember between uses: the last texts and options, and
/// the dialog while it is open. The application keeps one for all its windows.
struct FindReplaceState {
    QString findWhat;
    QString replaceWith;
    FindOptions options;
    QPointer<FindReplaceDlg> dialog;
};

} // namespace kivo
