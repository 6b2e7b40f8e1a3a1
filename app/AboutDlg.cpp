#include "app/AboutDlg.h"

#include "resources/Dialogs.h"
#include "resources/Toolbar.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kivo {
namespace {

constexpr int kIconPixels = 32;

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(res::kAboutTitle));
    auto *icon = new QLabel(this);
    icon->setPixmap(res::AppIcon().pixmap(kIconPixels, kIconPixels));
    auto *text = new QLabel(QString::fromUtf8(res::kAboutVersion), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setSizeGripEnabled(false);
}

} // namespace kivo
