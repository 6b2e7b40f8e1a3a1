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

/// The longest text a comparison keeps a copy of for undo. The copy is made in one step, at
/// about 0.12 microseconds a character (9 million characters: 1.1 s), so that a longer text
/// would freeze the windows as the result begins.
inline constexpr int kMostCharactersKeptForUndo = 1'000'000;

/// A copy of the control's text; nullptr when the memory for it cannot be had (the text is
/// then replaced without a way back, as before).
std::unique_ptr<TextSnapshot> TakeSnapshot(const RichEditCtrl &edit, const QString &title,
                                           int comparison);

/// Replaces the control's whole text with the snapshot's text and formats. Not undoable: the
/// undo history is cleared, as after an open.
void RestoreSnapshot(RichEditCtrl &edit, const TextSnapshot &snapshot);

} // namespace kivo
