#include "dialogs/ColorButton.h"

#include "CharFormatQt.h"
#include "dialogs/ColorSelect.h"

#include <QPainter>

namespace kivo {

CColorButton::CColorButton(CColorSelect &owner, QWidget *parent)
    : QAbstractButton(parent), m_owner(owner)
{
    setFocusPolicy(Qt::StrongFocus);
}

CColorButton::~CColorButton() = default;

QSize CColorButton::sizeHint() const
{
    return minimumSize().expandedTo({16, 8});
}

void CColorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect item = rect();
    painter.fillRect(item, charformat::ToQColor(color));
    if (!hasFocus())
        return;
    // One-pixel frames inside the item rectangle: white outside, black within.
    painter.setPen(Qt::white);
    painter.drawRect(item.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawRect(item.adjusted(1, 1, -2, -2));
}

void CColorButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    m_owner.selectedColor = color;
}

} // namespace kivo
