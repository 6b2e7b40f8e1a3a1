#pragma once

#include <QString>
#include <QTextDocument>

#include <memory>

namespace kivo {

class RichEditCtrl;

/// A window's whole text with its formats, its title and its modified state, kept so that one
/// undo step brings back what opening a file or a comparison replaced.
struct TextSnapshot {
    std::unique_ptr<QTextDocument> text;
    QString title;
    bool modified = false;
    /// The comparison whose result replaced the text, so that undo brings back both windows; 0
    /// for an open.
    int comparison = 0;
};

/// A copy of the control's text; nullptr when the memory for it cannot be had (the text is
/// then replaced without a way back, as before).
std::unique_ptr<TextSnapshot> TakeSnapshot(const RichEditCtrl &edit, const QString &title,
                                           int comparison);

/// Replaces the control's whole text with the snapshot's text and formats. Not undoable: the
/// undo history is cleared, as after an open.
void RestoreSnapshot(RichEditCtrl &edit, const TextSnapshot &snapshot);

} // namespace kivo
