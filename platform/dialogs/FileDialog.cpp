#include "platform/dialogs/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace kivo {
namespace {} // namespace

FileDialogAnswerer &CurrentFileDialogAnswerer()
{
    static FileDialogAnswerer answerer;
    return answerer;
}

QStringList NameFilters(const std::vector<FileFilter> &filters)
{
    QStringList list;
    for (const FileFilter &filter : filters) {
        QStringList patterns = filter.patterns.split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            // "*.*" names every file, also those without a dot in their names.
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        list.append(filter.name + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return list;
}

std::optional<QString> RunFileDialog(const FileDialogRequest &request, QWidget *parent)
{
    if (CurrentFileDialogAnswerer())
        return CurrentFileDialogAnswerer()(request);
    if (!parent)
        parent = QApplication::activeWindow();
    QFileDialog dialog(parent, request.title);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The names already show their patterns; the platform's own pattern lists stay hidden.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(NameFilters(request.filters));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (save && request.suffixFollowsType) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &) {
            const int index =
                static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
            if (index < 0 || static_cast<std::size_t>(index) >= request.filters.size())
                return;
            const QString &patterns = request.filters[static_cast<std::size_t>(index)].patterns;
            if (!patterns.startsWith(QStringLiteral("*.")) || patterns.contains(u';') ||
                patterns == QStringLiteral("*.*"))
                return;
            const QString suffix = patterns.mid(2);
            dialog.setDefaultSuffix(suffix);
            const QString base = QFileInfo(request.proposedName).completeBaseName();
            if (!base.isEmpty())
                dialog.selectFile(base + u'.' + suffix);
        });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace kivo
