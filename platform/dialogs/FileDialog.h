#pragma once

#include "platform/dialogs/ScopedAnswerer.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace kivo {

/// One entry of a file dialog's type list: the name shown and its patterns, separated by
/// semicolons ("*.rtf", "*.*" for every file).
struct FileFilter {
    QString name;
    QString patterns;
};

/// What a file dialog asks.
struct FileDialogRequest {
    enum class Mode { Open, Save };

    Mode mode = Mode::Open;
    QString title;
    std::vector<FileFilter> filters;
    QString proposedName;  ///< path or name shown at first (save)
    QString defaultSuffix; ///< added to a name typed without one, without the dot (save)
    /// Save: choosing a type whose pattern is one "*.EXT" makes EXT the suffix added to a name
    /// typed without one, and the proposed name's suffix.
    bool suffixFollowsType = false;
};

/// Answers a file dialog instead of the user: the chosen path, or nothing for cancel.
using FileDialogAnswerer = std::function<std::optional<QString>(const FileDialogRequest &)>;

/// The answerer file dialogs turn to; empty while the user answers them.
FileDialogAnswerer &CurrentFileDialogAnswerer();
/// Makes an answerer answer every file dialog while it lives (tests use it).
using ScopedFileDialogAnswerer = ScopedAnswerer<FileDialogAnswerer, &CurrentFileDialogAnswerer>;

/// Shows a modal file dialog. Open: the chosen file must exist. Save: replacing an existing
/// file is confirmed first. Returns the chosen path, or nothing when the user cancelled.
std::optional<QString> RunFileDialog(const FileDialogRequest &request, QWidget *parent = nullptr);

/// The type list in the form of the platform's dialogs. "*.*" means every file.
QStringList NameFilters(const std::vector<FileFilter> &filters);

} // namespace kivo
