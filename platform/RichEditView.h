#pragma once

#include "platform/View.h"

namespace kivo {

class RichEditCtrl;

/// A view that is a rich-text editing control, with the control's own edit commands: undo,
/// cut, copy, paste and select all, each enabled when the control can carry it out.
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

private:
    RichEditCtrl *m_control;
};

} // namespace kivo
