#include "dialogs/ColorSelect.h"

#include "dialogs/ColorButton.h"
#include "resources/Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {
namespace {

using namespace res;

// Member order of the swatches, which binds them to their controls.
constexpr std::array<int, 16> kMemberOrder{1066, 1065, 1064, 1057, 1063, 1062, 1061, 1056,
                                           1060, 1059, 1058, 1055, 1054, 1053, 1052, 1051};

} // namespace

CColorSelect::CColorSelect(QWidget *parent)
    : Dialog(parent, {kColorSelectWidth, kColorSelectHeight}, kColorDialogPoints)
{
    auto *grid = new QGridLayout;
    const QSize swatchSize = DialogUnitsToPixels({kSwatchWidth, kSwatchHeight}, font());
    for (std::size_t i = 0; i < kMemberOrder.size(); ++i) {
        auto *button = new CColorButton(*this, this);
        SetControlId(button, kMemberOrder[i]);
        button->setMinimumSize(swatchSize);
        m_swatches[i] = button;
    }
    for (const res::Swatch &swatch : kSwatches)
        grid->addWidget(Swatch(swatch.id), swatch.row, swatch.column);

    QPushButton *ok = NewOkButton();
    QPushButton *cancel = NewCancelButton();
    // Enter on a swatch chooses OK; a swatch itself does nothing when pressed.
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    // Template order: OK, Cancel, then the swatches by id, so that the first column's lower
    // three come before the rest of rows 2 to 4.
    std::vector<QWidget *> order{ok, cancel};
    std::array<int, 16> ids = kMemberOrder;
    std::sort(ids.begin(), ids.end());
    for (const int id : ids)
        order.push_back(Swatch(id));
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ok->setFocus();

    ResizeToTemplate();
}

CColorSelect::~CColorSelect() = default;

CColorButton *CColorSelect::Swatch(int id) const
{
    const auto it = std::find(kMemberOrder.begin(), kMemberOrder.end(), id);
    return it == kMemberOrder.end()
               ? nullptr
               : m_swatches[static_cast<std::size_t>(it - kMemberOrder.begin())];
}

void CColorSelect::OnInitDialog()
{
    Dialog::OnInitDialog();
    setWindowTitle(title);
    for (const res::Swatch &swatch : kSwatches) {
        if (CColorButton *button = Swatch(swatch.id))
            button->color = swatch.color;
    }
}

std::optional<ColorRef> ChooseColor(const QString &title, ColorRef current, QWidget *parent)
{
    CColorSelect chooser(parent);
    chooser.title = title;
    chooser.selectedColor = current;
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.selectedColor;
}

} // namespace kivo
