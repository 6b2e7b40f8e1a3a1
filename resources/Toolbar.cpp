#include "resources/Toolbar.h"

#include "resources/ResourceIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace kivo::res {
namespace {

constexpr std::array kMainToolbar = {
    ID_FILE_NEW,          ID_FILE_OPEN,   ID_FILE_SAVE,       ID_SEPARATOR,
    ID_EDIT_CUT,          ID_EDIT_COPY,   ID_EDIT_PASTE,      ID_SEPARATOR,
    ID_EDIT_CLEAR_ALL,    ID_SEPARATOR,   ID_SEPARATOR,       ID_COMPARE_SETTINGS,
    ID_COLOR_SETTINGS,    ID_FORMAT_FONT, ID_SEPARATOR,       ID_COMPARE_WHOLE,
    ID_COMPARE_SELECTION, ID_SEPARATOR,   ID_PREV_DIFFERENCE, ID_NEXT_DIFFERENCE,
    ID_SEPARATOR,         ID_SYNC_SCROLL,
};

const QColor kInk(48, 48, 48);
const QColor kPaper(255, 255, 255);
const QColor kFolder(230, 190, 80);
const QColor kBlue(40, 90, 170);
const QColor kRed(200, 40, 40);
const QColor kGreen(30, 140, 60);

// A sheet of paper with a folded corner, its top left at (x, y).
void Page(QPainter &p, int x, int y, int w, int h)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 3, y);
    path.lineTo(x + w, y + 3);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(x + w - 3, y, x + w - 3, y + 3);
    p.drawLine(x + w - 3, y + 3, x + w, y + 3);
}

// Text lines on a page.
void Lines(QPainter &p, int x, int y, int w, int count, const QColor &color)
{
    p.setPen(color);
    for (int i = 0; i < count; ++i)
        p.drawLine(x, y + 2 * i, x + w, y + 2 * i);
}

void DrawNew(QPainter &p)
{
    Page(p, 3, 1, 10, 13);
}

void DrawOpen(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kFolder.darker(115));
    p.drawRect(1, 4, 12, 9);
    p.drawRect(1, 3, 5, 1);
    p.setBrush(kFolder);
    const std::array<QPoint, 4> front{QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)};
    p.drawPolygon(front.data(), static_cast<int>(front.size()));
}

void DrawSave(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kBlue);
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(4, 9, 7, 5);
}

void DrawCut(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.drawLine(5, 1, 10, 9);
    p.drawLine(10, 1, 5, 9);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(1, 9, 5, 5);
    p.drawEllipse(9, 9, 5, 5);
}

void DrawCopy(QPainter &p)
{
    Page(p, 1, 1, 8, 10);
    Page(p, 6, 4, 8, 10);
    Lines(p, 8, 8, 4, 3, kBlue);
}

void DrawPaste(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kFolder.darker(130));
    p.drawRect(1, 2, 10, 12);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(4, 1, 4, 2);
    Page(p, 6, 5, 8, 9);
    Lines(p, 8, 9, 4, 2, kBlue);
}

void DrawClearAll(QPainter &p)
{
    Page(p, 2, 1, 10, 13);
    p.setPen(QPen(kRed, 2));
    p.drawLine(5, 6, 13, 13);
    p.drawLine(13, 6, 5, 13);
}

void DrawCompareSettings(QPainter &p)
{
    p.setPen(kInk);
    for (int i = 0; i < 3; ++i) {
        const int y = 3 + 4 * i;
        p.drawLine(1, y, 14, y);
        p.setBrush(i == 1 ? kBlue : kPaper);
        const int x = i == 0 ? 9 : (i == 1 ? 3 : 7);
        p.drawRect(x, y - 2, 3, 4);
    }
}

void DrawColorSettings(QPainter &p)
{
    p.setPen(kInk);
    const std::array<QColor, 4> colors{kRed, kBlue, kGreen, kFolder};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[static_cast<std::size_t>(i)]);
        p.drawRect(1 + 7 * (i % 2), 1 + 7 * (i / 2), 6, 6);
    }
}

void DrawFont(QPainter &p)
{
    p.setPen(QPen(kInk, 1.6));
    p.drawLine(2, 14, 7, 1);
    p.drawLine(7, 1, 12, 14);
    p.drawLine(4, 9, 10, 9);
    p.setPen(QPen(kBlue, 1.4));
    p.drawLine(11, 14, 15, 14);
}

void DrawCompareWhole(QPainter &p)
{
    Page(p, 0, 1, 7, 13);
    Page(p, 8, 1, 7, 13);
    Lines(p, 2, 5, 3, 4, kRed);
    Lines(p, 10, 5, 3, 4, kBlue);
}

void DrawCompareSelection(QPainter &p)
{
    Page(p, 0, 1, 7, 13);
    Page(p, 8, 1, 7, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 160, 230));
    p.drawRect(1, 6, 5, 4);
    p.drawRect(9, 6, 5, 4);
    Lines(p, 2, 4, 3, 1, kInk);
    Lines(p, 10, 4, 3, 1, kInk);
    Lines(p, 2, 12, 3, 1, kInk);
    Lines(p, 10, 12, 3, 1, kInk);
}

void DrawSyncScroll(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kBlue);
    for (const int x : {3, 11}) {
        const std::array<QPoint, 3> up{QPoint(x - 3, 5), QPoint(x, 1), QPoint(x + 3, 5)};
        const std::array<QPoint, 3> down{QPoint(x - 3, 10), QPoint(x, 14), QPoint(x + 3, 10)};
        p.drawPolygon(up.data(), 3);
        p.drawPolygon(down.data(), 3);
        p.drawLine(x, 5, x, 10);
    }
}

// Two pages with a changed line in each, and beside them an arrow pointing the way the step
// goes: down for the next difference, up for the previous one.
void DrawDifferenceStep(QPainter &p, bool down)
{
    Page(p, 0, 1, 5, 13);
    Page(p, 6, 1, 5, 13);
    for (const int x : {2, 8}) {
        Lines(p, x, 4, 1, 1, kInk);
        Lines(p, x, 8, 1, 1, kRed);
        Lines(p, x, 11, 1, 1, kInk);
    }
    p.setPen(kGreen.darker(130));
    p.setBrush(kGreen);
    const int tip = down ? 14 : 0;
    const int base = down ? 10 : 4;
    const std::array<QPoint, 3> head{QPoint(11, base), QPoint(13, tip), QPoint(15, base)};
    p.drawPolygon(head.data(), static_cast<int>(head.size()));
    p.setPen(QPen(kGreen.darker(130), 2));
    p.drawLine(13, down ? 1 : 5, 13, down ? 10 : 14);
}

void DrawNextDifference(QPainter &p)
{
    DrawDifferenceStep(p, true);
}

void DrawPrevDifference(QPainter &p)
{
    DrawDifferenceStep(p, false);
}

using Painter = void (*)(QPainter &);

Painter PainterFor(int commandId)
{
    switch (commandId) {
    case ID_FILE_NEW:
        return DrawNew;
    case ID_FILE_OPEN:
        return DrawOpen;
    case ID_FILE_SAVE:
        return DrawSave;
    case ID_EDIT_CUT:
        return DrawCut;
    case ID_EDIT_COPY:
        return DrawCopy;
    case ID_EDIT_PASTE:
        return DrawPaste;
    case ID_EDIT_CLEAR_ALL:
        return DrawClearAll;
    case ID_COMPARE_SETTINGS:
        return DrawCompareSettings;
    case ID_COLOR_SETTINGS:
        return DrawColorSettings;
    case ID_FORMAT_FONT:
        return DrawFont;
    case ID_COMPARE_WHOLE:
        return DrawCompareWhole;
    case ID_COMPARE_SELECTION:
        return DrawCompareSelection;
    case ID_NEXT_DIFFERENCE:
        return DrawNextDifference;
    case ID_PREV_DIFFERENCE:
        return DrawPrevDifference;
    case ID_SYNC_SCROLL:
        return DrawSyncScroll;
    default:
        return nullptr;
    }
}

} // namespace

std::span<const int> ToolbarButtons(int toolbarId)
{
    if (toolbarId == IDR_MAINFRAME)
        return kMainToolbar;
    return {};
}

QIcon ToolbarIcon(int commandId)
{
    const Painter draw = PainterFor(commandId);
    if (!draw)
        return {};
    QPixmap pixmap(kToolbarImageSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

QIcon AppIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(size / 16.0, size / 16.0);
        DrawCompareWhole(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace kivo::res
