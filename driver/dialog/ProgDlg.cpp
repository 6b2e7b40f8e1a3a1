#include "driver/dialog/ProgDlg.h"

#include "platform/MessageBox.h"
#include "platform/ProgressBar.h"
#include "resources/ResourceIds.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {
namespace {

// Sizes in pixels of the dialog's 147 x 51 dialog units at the platform's normal font.
constexpr int kBarWidth = 230;
constexpr int kButtonWidth = 64;

} // namespace

CProgDlg::CProgDlg(std::function<void()> onAbort, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_onAbort(std::move(onAbort)), m_abort(new QPushButton(QStringLiteral("中止"), this)),
      m_bar(new ProgressBar(this))
{
    setModal(false);
    setObjectName(QStringLiteral("CProgDlg"));
    m_bar->setObjectName(QStringLiteral("progress%1").arg(res::IDC_PROGRESS_BAR));
    m_bar->setMinimumWidth(kBarWidth);
    m_bar->setFixedHeight(m_bar->sizeHint().height() * 2 / 3);
    m_abort->setMinimumWidth(kButtonWidth);
    m_abort->setAutoDefault(false);
    connect(m_abort, &QPushButton::clicked, this, &CProgDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
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
    // The window has no close box; a close from elsewhere asks like the button.
    event->ignore();
    reject();
}

} // namespace kivo
