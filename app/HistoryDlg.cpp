#include "app/HistoryDlg.h"

#include "resources/Dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

std::optional<int> ChooseHistoryEntry(const QStringList &entries, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromUtf8(res::kHistoryDlgTitle));
    auto *list = new QListWidget(&dialog);
    list->addItems(entries);
    list->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *open =
        buttons->addButton(QString::fromUtf8(res::kHistoryOpen), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(res::kHistoryCancel), QDialogButtonBox::RejectRole);
    open->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(480, 320);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

} // namespace kivo
