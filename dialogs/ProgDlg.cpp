#include "dialogs/ProgDlg.h"

#include "platform/dialogs/MessageBox.h"
#include "platform/widgets/ProgressBar.h"
#include "resources/Dialogs.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {
namespace {

// Sizes in pixels of the dialog's 147 x 51 dialog units at the platform's normal font.
constexpr int kBarWidth = 230;
constexpr int kButtonWidth = 64;
// What a title bar needs besides its text: the icon, the close button and the margins.
constexpr int kTitleBarExtra = 96;

// The captions of the phases; the window is wide enough for the longest in its title.
constexpr int kPhaseCaptions[] = {res::IDS_CAPTION_ANALYSING,   res::IDS_CAPTION_COMPARING,
                                  res::IDS_CAPTION_PLEASE_WAIT, res::IDS_CAPTION_ALMOST_DONE,
                                  res::IDS_CAPTION_DISPLAYING,  res::IDS_CAPTION_SCROLLABLE};

/// The width the longest phase caption takes in a title bar, whose font is often bold and never
/// smaller than the dialog's.
int TitleWidth(const QFont &dialogFont)
{
    QFont title = QApplication::font("QMdiSubWindowTitleBar");
    title.setBold(true);
    if (title.pointSizeF() < dialogFont.pointSizeF())
        title.setPointSizeF(dialogFont.pointSizeF());
    const QFontMetrics metrics(title);
    int widest = 0;
    for (const int id : kPhaseCaptions)
        widest = std::max(widest, metrics.horizontalAdvance(res::LoadString(id)));
    return widest + kTitleBarExtra;
}

// A tool window with a title. Naming the close box is what tells a window manager that the
// window cannot be minimised or maximised: without any button named it offers them all.
constexpr Qt::WindowFlags kWindowFlags =
    Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

} // namespace

CProgDlg::CProgDlg(std::function<void()> onAbort, QWidget *owner)
    : QDialog(owner, kWindowFlags), m_onAbort(std::move(onAbort)), m_phase(new QLabel(this)),
      m_abort(new QPushButton(QString::fromUtf8(res::kProgressAbort), this)),
      m_bar(new ProgressBar(this))
{
    setModal(false);
    setObjectName(QStringLiteral("CProgDlg"));
    m_bar->setObjectName(QStringLiteral("progress%1").arg(res::IDC_PROGRESS_BAR));
    // The phase shows inside too, for a title bar may elide it, or be missing altogether
    // without a window manager.
    m_phase->setObjectName(QStringLiteral("phase"));
    m_phase->setAlignment(Qt::AlignCenter);
    m_bar->setFixedHeight(m_bar->sizeHint().height() * 2 / 3);
    m_abort->setMinimumWidth(kButtonWidth);
    m_abort->setAutoDefault(false);
    connect(m_abort, &QPushButton::clicked, this, &CProgDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_phase);
    layout->addWidget(m_bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough for a title bar to show the longest phase whole.
    const QMargins margins = layout->contentsMargins();
    m_bar->setMinimumWidth(
        std::max(kBarWidth, TitleWidth(font()) - margins.left() - margins.right()));
}

void CProgDlg::SetPhase(const QString &caption)
{
    setWindowTitle(caption);
    m_phase->setText(caption);
}

QString CProgDlg::Phase() const
{
    return m_phase->text();
}

CProgDlg::~CProgDlg() = default;

void CProgDlg::ShowCentred()
{
    adjustSize();
    if (const QWidget *owner = parentWidget())
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
}

void CProgDlg::reject()
{
    if (!m_abort->isEnabled() || !isEnabled())
        return;
    if (ShowMessageBox(res::IDS_ASK_ABORT, MB_YESNO | MB_ICONQUESTION, this) != IDYES)
        return;
    m_abort->setEnabled(false);
    if (m_onAbort)
        m_onAbort();
}

void CProgDlg::closeEvent(QCloseEvent *event)
{
    // The close box, or a close from elsewhere, asks like the button.
    event->ignore();
    reject();
}

ProgressWindow::ProgressWindow() = default;

ProgressWindow::~ProgressWindow()
{
    Close();
}

bool ProgressWindow::Open(std::function<void()> onAbort, QWidget *owner)
{
    Close();
    if (!owner)
        return false;
    m_dialog = new CProgDlg(std::move(onAbort), owner);
    m_dialog->ShowCentred();
    // Esc anywhere in the main window, the text windows included, asks like the button.
    if (!m_abortKey || m_abortKey->parent() != owner) {
        delete m_abortKey.data();
        m_abortKey = new QShortcut(QKeySequence(Qt::Key_Escape), owner);
        QObject::connect(m_abortKey, &QShortcut::activated, m_abortKey, [this] {
            if (m_dialog)
                m_dialog->reject();
        });
    }
    m_abortKey->setEnabled(true);
    return true;
}

void ProgressWindow::Close()
{
    if (m_abortKey)
        m_abortKey->setEnabled(false);
    delete m_dialog.data();
}

void ProgressWindow::SetCaption(int stringId)
{
    if (m_dialog)
        m_dialog->SetPhase(res::LoadString(stringId));
}

void ProgressWindow::EnableDialog(bool enable)
{
    if (m_dialog)
        m_dialog->setEnabled(enable);
}

void ProgressWindow::EnableAbortButton(bool enable)
{
    if (m_dialog)
        m_dialog->AbortButton().setEnabled(enable);
}

IProgress &ProgressWindow::Bar()
{
    if (m_dialog)
        return m_dialog->Bar();
    return m_noBar;
}

void ProgressWindow::HandBackKeyboard()
{
    if (m_dialog && m_dialog->parentWidget())
        m_dialog->parentWidget()->activateWindow();
}

} // namespace kivo
