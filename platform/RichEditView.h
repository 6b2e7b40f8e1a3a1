#pragma once

#include "platform/View.h"

#include <QMarginsF>

namespace kivo {

class RichEditCtrl;

/// A view that is a rich-text editing control, with the control's own edit commands: undo,
/// cut, copy, paste and select all, each enabled when the control can carry it out; and the
/// print commands (with the print dialog, directly, and the print preview), which print the
/// text as it is shown, colours and effects included, inside the print margins.
class RichEditView : public View {
    Q_OBJECT
public:
    /// Takes over the control.
    explicit RichEditView(RichEditCtrl *control);

    RichEditCtrl *Control() const { return m_control; }

    /// Whether the control holds any text.
    bool HasText() const;
    /// Whether the selection is not empty.
    bool HasSelection() const;

    /// Margins of printed pages on each side, in twips (1/1440 inch).
    const QMarginsF &PrintMargins() const { return m_printMargins; }
    void SetPrintMargins(const QMarginsF &twips) { m_printMargins = twips; }

    /// Prints the text, after the print dialog or directly; false when nothing was printed.
    bool Print(bool withDialog);
    /// Shows the print preview of the text.
    void PrintPreview();

private:
    RichEditCtrl *m_control;
    QMarginsF m_printMargins{1440, 1440, 1440, 1440};
};

} // namespace kivo
