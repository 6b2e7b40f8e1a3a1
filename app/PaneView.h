#pragma once

#include "platform/RichEditView.h"

namespace kivo {

/// The text window of one side, until the comparison views take its place: an editable
/// rich-text view that titles its frame after its pane ("Untitled1" left, "Untitled2" right)
/// and offers the context menu of the text windows.
class PaneView : public RichEditView {
    Q_OBJECT
public:
    explicit PaneView(RichEditCtrl *control);

    void OnInitialUpdate() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace kivo
