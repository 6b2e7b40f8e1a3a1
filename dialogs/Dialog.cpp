#include "dialogs/Dialog.h"

#include "DisplayFont.h"
#include "resources/Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>

#include <algorithm>

namespace kivo {
namespace {

// Where a control's template id is kept.
constexpr char kControlIdProperty[] = "controlId";

// Dialog units per average character width and per character height.
constexpr int kUnitsPerCharWidth = 4;
constexpr int kUnitsPerCharHeight = 8;

} // namespace

QString ResourceText(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QSize DialogUnitsToPixels(QSize units, const QFont &font)
{
    // The average width of the Latin letters, rounded as the window system rounds it.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = std::max(1, (letters / 26 + 1) / 2);
    const int baseY = std::max(1, metrics.height());
    return {units.width() * baseX / kUnitsPerCharWidth,
            units.height() * baseY / kUnitsPerCharHeight};
}

QFont SettingsDialogFont(int points)
{
    QFont font = QApplication::font();
    font.setFamily(DisplayFamily(ResourceText(res::kSettingsDialogFace)));
    font.setPointSizeF(std::max<qreal>(points, QApplication::font().pointSizeF()));
    return font;
}

Dialog::Dialog(QWidget *parent, QSize templateSize, int points)
    : QDialog(parent), m_templateSize(templateSize)
{
    setFont(SettingsDialogFont(points));
    setSizeGripEnabled(false);
    // A title bar with only the close box, like the system's dialogs.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void Dialog::setVisible(bool visible)
{
    if (visible && !m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void Dialog::accept()
{
    DoDataExchange(true);
    QDialog::accept();
}

void Dialog::DoDataExchange(bool)
{}

void Dialog::OnInitDialog()
{
    DoDataExchange(false);
}

QWidget *Dialog::Control(int id) const
{
    const QList<QWidget *> widgets = findChildren<QWidget *>();
    const auto it = std::find_if(widgets.begin(), widgets.end(), [id](const QWidget *w) {
        return w->property(kControlIdProperty).toInt() == id;
    });
    return it == widgets.end() ? nullptr : *it;
}

void Dialog::SetControlId(QWidget *widget, int id)
{
    widget->setProperty(kControlIdProperty, id);
}

QPushButton *Dialog::NewOkButton()
{
    auto *button = new QPushButton(ResourceText(res::kOkText), this);
    SetControlId(button, res::IDC_OK);
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &Dialog::accept);
    return button;
}

QPushButton *Dialog::NewCancelButton()
{
    auto *button = new QPushButton(ResourceText(res::kCancelText), this);
    SetControlId(button, res::IDC_CANCEL);
    connect(button, &QPushButton::clicked, this, &Dialog::reject);
    return button;
}

void Dialog::ResizeToTemplate()
{
    const QSize wanted = DialogUnitsToPixels(m_templateSize, font());
    resize(wanted.expandedTo(minimumSizeHint()));
}

} // namespace kivo
