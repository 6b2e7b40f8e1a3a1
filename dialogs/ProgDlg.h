#pragma once

#include "driver/ComparisonDriver.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;
class QShortcut;

namespace kivo {

class ProgressBar;

/// The small modeless tool window that stands over the main window while a comparison runs:
/// its title and the line above its bar show the phase, its bar the progress, and its button
/// "中止" (or Esc) asks whether to abort. It does not close itself: the driver notices the abort
/// at its next step and destroys the window.
class CProgDlg : public QDialog {
    Q_OBJECT
public:
    /// onAbort runs once the user confirmed the abort. The owner is the main window.
    CProgDlg(std::function<void()> onAbort, QWidget *owner);
    ~CProgDlg() override;

    ProgressBar &Bar() const { return *m_bar; }
    QPushButton &AbortButton() const { return *m_abort; }

    /// Shows the window centred over its owner.
    void ShowCentred();
    /// Shows the phase in the title and inside the window.
    void SetPhase(const QString &caption);
    QString Phase() const;

    /// The button and Esc: asks for confirmation, then disables the button and aborts.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<void()> m_onAbort;
    QLabel *m_phase;
    QPushButton *m_abort;
    ProgressBar *m_bar;
};

/// The progress dialog as the comparison driver uses it: made by Open, gone after Close, each
/// call harmless while there is no dialog (it goes with its owner when the main window does).
class ProgressWindow : public IProgressWindow {
public:
    ProgressWindow();
    ~ProgressWindow() override;

    /// Shows a new dialog centred over owner, with Esc anywhere in owner asking like its
    /// button. onAbort runs once the user confirmed an abort. False without an owner.
    bool Open(std::function<void()> onAbort, QWidget *owner);
    void Close();
    /// The dialog while it is open; null otherwise.
    CProgDlg *Dialog() const { return m_dialog; }

    void SetCaption(int stringId) override;
    void EnableDialog(bool enable) override;
    void EnableAbortButton(bool enable) override;
    IProgress &Bar() override;
    void HandBackKeyboard() override;

private:
    QPointer<CProgDlg> m_dialog;
    QPointer<QShortcut> m_abortKey;
    /// Takes the progress while there is no dialog.
    ProgressModel m_noBar;
};

} // namespace kivo
