#pragma once

#include "platform/framework/View.h"

#include <QMarginsF>
#include <QPointer>

namespace kivo {

class RichEditCtrl;

/// A view that is a rich-text editing control, with the control's own edit commands: undo,
/// cut, copy, paste and select all, each enabled when the control can carry it out; the print
/// commands (with the print dialog, directly, and the print preview), which print the text as it
/// is shown, colours and effects included, inside the print margins; and find, find next and
/// replace through the system's modeless find and replace dialogs, which search the active text
/// window.
class RichEditView : public View {
    Q_OBJECT
public:
    /// Takes over the control.
    explicit RichEditView(RichEditCtrl *control);

    /// The control; null once it is destroyed, which happens first when its widget goes, while
    /// the view, a child of the widget, still gets the events of the widget's teardown.
    RichEditCtrl *Control() const;

    /// Whether the control holds any text.
    bool HasText() const;
    /// Whether the selection is not empty.
    bool HasSelection() const;
    /// Whether a text to find has been entered (find next has something to look for).
    bool HasSearchText() const;

    /// The find (replace false) or replace command: opens that dialog over this view's window,
    /// with the selected text (when it lies within one line) or the last text to find.
    void OnEditFindReplace(bool replace);
    /// Selects the next occurrence of the last text to find, going round the end of the text
    /// once; reports when there is none. Returns whether one was found.
    bool FindNext();
    /// Replaces the selection when it is an occurrence of the text to find, then finds the next.
    bool ReplaceCurrent();
    /// Replaces every occurrence in the whole text; returns how many.
    int ReplaceAllText();

    /// Margins of printed pages on each side, in twips (1/1440 inch).
    const QMarginsF &PrintMargins() const { return m_printMargins; }
    void SetPrintMargins(const QMarginsF &twips) { m_printMargins = twips; }

    /// Prints the text, after the print dialog or directly; false when nothing was printed.
    bool Print(bool withDialog);
    /// Shows the print preview of the text.
    void PrintPreview();

protected:
    /// A match was selected and brought into view (the control does not report that scrolling).
    virtual void OnMatchShown() {}

private:
    /// Takes the dialog's texts and options as the ones to remember.
    void TakeDialogInput();
    /// Whether the view allows command id now (its own update rule).
    bool Allows(int id) const;
    void ReportNotFound(const QString &what);

    QPointer<RichEditCtrl> m_control;
    QMarginsF m_printMargins{1440, 1440, 1440, 1440};
};

} // namespace kivo
