#pragma once

#include "platform/dialogs/ScopedAnswerer.h"

#include "RichOptions.h"

#include <QFont>

#include <functional>
#include <optional>

class QWidget;

namespace kivo {

class Document;

/// Runs a font chooser started on a font (face and size only): the chosen font, or nothing when
/// the user cancelled or the chooser could not open.
using FontChooser = std::function<std::optional<QFont>(const QFont &initial, QWidget *parent)>;

/// The system's font chooser, modal, offering face, size and script but no effects or colour.
std::optional<QFont> ChooseFont(const QFont &initial, QWidget *parent);

/// The font chooser the font command runs: the system's unless a stand-in was put there.
FontChooser &CurrentFontChooser();
/// Makes a chooser stand in for the system's font chooser while it lives (tests use it).
using ScopedFontChooser = ScopedAnswerer<FontChooser, &CurrentFontChooser>;

/// The display format after the user chose font in the chooser: face, size and pitch come from
/// the font (a face drawn by the stand-in of the stored face keeps the stored name), the
/// character set stays; the mask is the display mask, without effects, in the Original colour.
CharFormat FormatWithFont(const CharFormat &stored, const QFont &font, ColorRef originalColor);

/// The font change command: lets the user choose face and size of the display format and, on
/// OK, stores it and tells the views of document (when there is one) that the font changed.
/// Returns whether the user chose OK.
bool ChangeDisplayFont(RichOptions &options, Document *document, QWidget *parent);

} // namespace kivo
