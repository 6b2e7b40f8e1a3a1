#include "platform/RichEditView.h"

#include "RichEditCtrl.h"
#include "platform/Printing.h"
#include "platform/WinApp.h"
#include "resources/ResourceIds.h"

namespace kivo {

RichEditView::RichEditView(RichEditCtrl *control) : View(control), m_control(control)
{
    using namespace res;
    OnCommand(ID_EDIT_UNDO, [this] { m_control->undo(); });
    OnCommand(ID_EDIT_CUT, [this] { m_control->cut(); });
    OnCommand(ID_EDIT_COPY, [this] { m_control->copy(); });
    OnCommand(ID_EDIT_PASTE, [this] { m_control->Paste(); });
    OnCommand(ID_EDIT_SELECT_ALL, [this] { m_control->selectAll(); });
    OnCommand(ID_FILE_PRINT, [this] { Print(true); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this] { Print(false); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { PrintPreview(); });

    OnUpdateCommand(ID_EDIT_UNDO, [this](CmdUI &ui) {
        ui.Enable(!m_control->isReadOnly() && m_control->CanUndo());
    });
    OnUpdateCommand(ID_EDIT_CUT,
                    [this](CmdUI &ui) { ui.Enable(!m_control->isReadOnly() && HasSelection()); });
    OnUpdateCommand(ID_EDIT_COPY, [this](CmdUI &ui) { ui.Enable(HasSelection()); });
    OnUpdateCommand(ID_EDIT_PASTE, [this](CmdUI &ui) {
        ui.Enable(!m_control->isReadOnly() && m_control->canPaste());
    });
    OnUpdateCommand(ID_EDIT_SELECT_ALL, [this](CmdUI &ui) { ui.Enable(HasText()); });
}

bool RichEditView::HasText() const
{
    return m_control->GetTextLength() > 0;
}

bool RichEditView::HasSelection() const
{
    return m_control->textCursor().hasSelection();
}

bool RichEditView::Print(bool withDialog)
{
    WinApp *app = WinApp::Current();
    if (!app)
        return false;
    return app->Printing().Print(*m_control->document(), m_printMargins, withDialog,
                                 m_control->window());
}

void RichEditView::PrintPreview()
{
    if (WinApp *app = WinApp::Current())
        app->Printing().Preview(*m_control->document(), m_printMargins, m_control->window());
}

} // namespace kivo
