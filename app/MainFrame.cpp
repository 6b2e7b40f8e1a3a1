#include "app/MainFrame.h"

#include "Cp932Codec.h"
#include "app/ChildFrame.h"
#include "app/RichApp.h"
#include "app/RichBar.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/framework/CommandActions.h"
#include "platform/framework/Document.h"
#include "platform/framework/View.h"
#include "platform/widgets/KeyLocks.h"
#include "platform/widgets/StatusBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "resources/Toolbar.h"
#include "views/ScrollSync.h"

#include <QComboBox>

#include <array>

namespace kivo {
namespace {

using namespace res;

constexpr std::array kIndicators{ID_INDICATOR_KANA, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                 ID_INDICATOR_SCRL};

QString DelimiterText(const std::string &cp932)
{
    const std::optional<std::string> utf8 = Cp932Codec::Shared().ToUtf8(cp932);
    return utf8 ? QString::fromStdString(*utf8) : QString();
}

} // namespace

CMainFrame::CMainFrame(CRichApp &app) : m_app(app)
{
    setWindowTitle(LoadString(IDS_MAIN_TITLE));
    setWindowIcon(AppIcon());
    AddHandlers();
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create()
{
    LoadMenus(IDR_MAINFRAME, IDR_RICHTYPE);

    m_toolBar = new CRichBar(this);
    if (!m_toolBar->LoadToolBar(Commands(), IDR_MAINFRAME))
        return false;
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar->DelimiterBox(), &QComboBox::activated, this, &CMainFrame::OnDelimiterChosen);
    FillDelimiterBox();

    m_statusBar = new StatusBar(IDS_IDLE_MESSAGE, kIndicators, this);
    m_statusBar->SetLockState(&KeyLockOn);
    setStatusBar(m_statusBar);

    Commands().InstallAccelerators(IDR_MAINFRAME);
    return true;
}

void CMainFrame::AddHandlers()
{
    OnCommand(ID_WINDOW_NEW, [this] { OnNewWindow(); });
    OnCommand(ID_WINDOW_TILE_VERT, [this] { TileSideBySide(); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this] { TileChildren(Tiling::OneAboveTheOther); });
    OnCommand(ID_NEXT_PANE, [this] { ActivateNext(false); });
    OnCommand(ID_PREV_PANE, [this] { ActivateNext(true); });
    OnCommand(ID_SYNC_SCROLL, [this] { ToggleSyncScroll(); });
    OnCommand(ID_STARTUP_MAXIMIZED, [this] { m_app.Options().ShowMaximized = 1; });
    OnCommand(ID_STARTUP_NORMAL, [this] { m_app.Options().ShowMaximized = 0; });
    OnCommand(ID_VIEW_TOOLBAR, [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); });
    OnCommand(ID_VIEW_STATUS_BAR, [this] { m_statusBar->setVisible(!m_statusBar->isVisible()); });

    OnUpdateCommand(ID_VIEW_TOOLBAR, [this](CmdUI &ui) { ui.SetCheck(m_toolBar->isVisible()); });
    OnUpdateCommand(ID_VIEW_STATUS_BAR,
                    [this](CmdUI &ui) { ui.SetCheck(m_statusBar->isVisible()); });

    const auto idleWithChild = [this](CmdUI &ui) { ui.Enable(IsIdle() && ActiveChild()); };
    for (const int id :
         {ID_COMPARE_SELECTION, ID_COLOR_SETTINGS, ID_COMPARE_WHOLE, ID_WINDOW_TILE_HORZ,
          ID_WINDOW_TILE_VERT, ID_FORMAT_FONT, ID_FILE_CLOSE, ID_COMPARE_SETTINGS})
        OnUpdateCommand(id, idleWithChild);
    const auto idleWithRoom = [this](CmdUI &ui) { ui.Enable(IsIdle() && CountTextWindows() < 2); };
    OnUpdateCommand(ID_FILE_NEW, idleWithRoom);
    OnUpdateCommand(ID_WINDOW_NEW, idleWithRoom);
    OnUpdateCommand(ID_FILE_OPEN,
                    [this](CmdUI &ui) { ui.Enable(IsIdle() && CountTextWindows() == 2); });
    OnUpdateCommand(ID_SYNC_SCROLL, [this](CmdUI &ui) {
        const bool both = CountTextWindows() == 2;
        if (!both)
            StopSyncScroll();
        ui.Enable(both);
        ui.SetCheck(ScrollSync(m_app.Options()).IsOn());
    });
    OnUpdateCommand(ID_STARTUP_MAXIMIZED,
                    [this](CmdUI &ui) { ui.SetCheck(m_app.Options().ShowMaximized != 0); });
    OnUpdateCommand(ID_STARTUP_NORMAL,
                    [this](CmdUI &ui) { ui.SetCheck(m_app.Options().ShowMaximized == 0); });
}

bool CMainFrame::IsIdle() const
{
    return !m_app.Driver().IsRunning();
}

CChildFrame *CMainFrame::ActiveChildFrame() const
{
    return qobject_cast<CChildFrame *>(ActiveChild());
}

int CMainFrame::CountTextWindows() const
{
    if (!ActiveChild())
        return 0;
    return Children().size() > 1 ? 2 : 1;
}

void CMainFrame::TileSideBySide()
{
    // The active window is tiled first, on the left: pane 1 has to be active while tiling.
    MdiChildWnd *active = ActiveChild();
    const bool switchBack =
        CountTextWindows() == 2 && ActiveChildFrame() && ActiveChildFrame()->paneNumber != 1;
    if (switchBack)
        ActivateNext(false);
    TileChildren(Tiling::SideBySide);
    if (switchBack)
        ActivateChild(active);
}

void CMainFrame::OnSize()
{
    TileSideBySide();
}

void CMainFrame::FillDelimiterBox()
{
    QComboBox *box = m_toolBar->DelimiterBox();
    box->clear();
    for (const std::string &set : m_app.Options().Sptr)
        box->addItem(DelimiterText(set));
    box->setCurrentIndex(0);
}

void CMainFrame::OnDelimiterChosen(int row)
{
    if (row < 0 || row >= static_cast<int>(kDelimiterSetCount))
        return;
    // A copy: the move to the front rearranges the list it comes from.
    const std::string set = m_app.Options().Sptr[static_cast<std::size_t>(row)];
    if (m_app.Options().SetCurrentDelimiters(set))
        FillDelimiterBox();
}

void CMainFrame::OnNewWindow()
{
    Document *document = ActiveDocument();
    if (!document) {
        ShowMessageBox(IDP_COMMAND_FAILURE, MB_OK | MB_ICONEXCLAMATION, this);
        return;
    }
    CreateNewWindow(m_app.Template(), *document);
    TileSideBySide();
}

void CMainFrame::ToggleSyncScroll()
{
    ScrollSync(m_app.Options()).Toggle(ActiveDocument());
}

void CMainFrame::StartSyncScroll()
{
    ScrollSync(m_app.Options()).Start(ActiveDocument());
}

void CMainFrame::StopSyncScroll()
{
    ScrollSync(m_app.Options()).Stop();
}

void CMainFrame::OnActiveChildChanged(MdiChildWnd *child)
{
    MdiFrameWnd::OnActiveChildChanged(child);
    UpdateCmdUI();
}

void CMainFrame::UpdateCmdUI()
{
    MdiFrameWnd::UpdateCmdUI();
    if (!m_toolBar)
        return;
    // The delimiter box follows the comparison settings command.
    m_toolBar->DelimiterBox()->setEnabled(State(ID_COMPARE_SETTINGS).enabled);
}

} // namespace kivo
