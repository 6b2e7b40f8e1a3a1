#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

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

} // namespace kivo
