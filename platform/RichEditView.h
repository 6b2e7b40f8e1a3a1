#pragma once

#include "platform/View.h"

class QTextEdit;

namespace kivo {

/// A view that is a rich-text editing control, with the control's own edit commands: undo,
/// cut, copy, paste and select all, each enabled when the control can carry it out.
class RichEditView : public View {
    Q_OBJECT
public:
    /// Takes over the control.
    explicit RichEditView(QTextEdit *control);

    QTextEdit *Control() const { return m_control; }

    /// Whether the control holds any text.
    bool HasText() const;
    /// Whether the selection is not empty.
    bool HasSelection() const;

private:
    QTextEdit *m_control;
};

} // namespace kivo
