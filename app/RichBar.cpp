#include "app/RichBar.h"

#include "DisplayFont.h"
#include "platform/framework/CommandActions.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "resources/Toolbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>

namespace kivo {
namespace {

constexpr int kBoxWidth = 120;         // pixels
constexpr int kBoxDroppedHeight = 200; // pixels of the open list

} // namespace

CRichBar::CRichBar(QWidget *parent) : QToolBar(parent), m_delimiterBox(new QComboBox(this))
{
    setObjectName(QStringLiteral("ToolBar"));
    setWindowTitle(QString::fromUtf16(res::kToolBarWindowText));
    setIconSize(res::kToolbarImageSize);
    setMovable(true);
    setAllowedAreas(Qt::AllToolBarAreas);

    m_delimiterBox->setObjectName(QStringLiteral("DelimiterBox"));
    m_delimiterBox->setProperty("controlId", res::IDC_DELIMITER_BOX);
    m_delimiterBox->setEditable(false);
    m_delimiterBox->setFixedWidth(kBoxWidth);
    m_delimiterBox->view()->setMaximumHeight(kBoxDroppedHeight);
    m_delimiterBox->setToolTip(res::CommandToolTip(res::IDS_DELIMITER_BOX));
    m_delimiterBox->setStatusTip(res::CommandPrompt(res::IDS_DELIMITER_BOX));

    // The face name is taken from the string table as it stands, quotes included, and mapped to
    // an installed family that shows Japanese. The size is the platform's normal one: the small
    // full stops of the sets are hard to tell apart any smaller.
    QFont font = QApplication::font();
    font.setFamily(DisplayFamily(res::LoadString(res::IDS_DELIMITER_FONT)));
    font.setWeight(QFont::Normal);
    m_delimiterBox->setFont(font);
}

bool CRichBar::LoadToolBar(CommandActions &commands, int toolbarId)
{
    if (res::ToolbarButtons(toolbarId).empty())
        return false;
    QAction *place = commands.FillToolBar(this, toolbarId, res::kDelimiterBoxPosition);
    if (!place)
        return false;
    insertWidget(place, m_delimiterBox);
    // The separator was only the box's place holder.
    removeAction(place);
    return true;
}

} // namespace kivo
