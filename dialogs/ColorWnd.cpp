#include "dialogs/ColorWnd.h"

#include "CharFormatQt.h"
#include "DisplayFont.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QPainter>

namespace kivo {
namespace {

constexpr int kCaptionPixels = 16; // character height of the caption

} // namespace

CColorWnd::CColorWnd(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

CColorWnd::~CColorWnd() = default;

QFont CColorWnd::CaptionFont() const
{
    // The face name is taken from the string table as it stands, quotes included, and mapped to
    // an installed family that shows Japanese.
    QFont font(DisplayFamily(res::LoadString(res::IDS_DELIMITER_FONT)));
    font.setPixelSize(kCaptionPixels);
    font.setWeight(QFont::Normal);
    switch (static_cast<EffectCode>(effect)) {
    case EffectCode::Bold:
        font.setWeight(QFont::Bold);
        break;
    case EffectCode::Italic:
        font.setItalic(true);
        break;
    case EffectCode::Underline:
        font.setUnderline(true);
        break;
    case EffectCode::StrikeOut:
        font.setStrikeOut(true);
        break;
    case EffectCode::None:
        break;
    }
    return font;
}

void CColorWnd::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, charformat::ToQColor(background ? *background : color));
    painter.setFont(CaptionFont());
    painter.setPen(charformat::ToQColor(color));
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, caption);
    drawFrame(&painter);
}

} // namespace kivo
