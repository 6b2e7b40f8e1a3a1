#include "dialogs/ColorDlg.h"

#include "dialogs/ColorWnd.h"
#include "platform/framework/Document.h"
#include "resources/Dialogs.h"
#include "platform/framework/UpdateHint.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {
namespace {

using namespace res;

// Effect box ids of effect slots 1-5 (Same, Changed, Added, Deleted, Moved).
constexpr std::array<int, kEffectCount - 1> kEffectBoxIds{
    IDC_EFFECT_SAME, IDC_EFFECT_CHANGED, IDC_EFFECT_ADDED, IDC_EFFECT_DELETED, IDC_EFFECT_MOVED};
// Preview ids of the colour slots.
constexpr std::array<int, kColorCount> kPreviewIds{
    IDC_PREVIEW_BACKGROUND, IDC_PREVIEW_ORIGINAL, IDC_PREVIEW_SAME, IDC_PREVIEW_CHANGED,
    IDC_PREVIEW_ADDED,      IDC_PREVIEW_DELETED,  IDC_PREVIEW_MOVED};

// Template sizes in dialog units.
constexpr QSize kPreviewUnits{41, 15};
constexpr QSize kEffectBoxUnits{62, 12};

// Grid place of a colour slot: two slots per row, each row followed by a row of effect boxes.
constexpr int RowOf(std::size_t slot)
{
    return static_cast<int>(slot / 2) * 2;
}
constexpr int ColumnOf(std::size_t slot)
{
    return static_cast<int>(slot % 2) * 4;
}

} // namespace

CColorDlg::CColorDlg(const RichOptions &options, QWidget *parent)
    : Dialog(parent, {kColorWidth, kColorHeight}, kColorDialogPoints), m_options(options)
{
    setWindowTitle(ResourceText(kColorTitle));
    BuildControls();
}

CColorDlg::~CColorDlg() = default;

void CColorDlg::BuildControls()
{
    auto *grid = new QGridLayout;
    std::array<QPushButton *, kColorCount> colorButtons{};
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        auto *label = new QLabel(ResourceText(kColorLabels[slot]), this);
        auto *preview = new CColorWnd(this);
        SetControlId(preview, kPreviewIds[slot]);
        preview->setMinimumSize(DialogUnitsToPixels(kPreviewUnits, font()));
        m_previews[slot] = preview;
        auto *button = new QPushButton(ResourceText(kColorButtonText), this);
        SetControlId(button, IDC_COLOR_BACKGROUND + static_cast<int>(slot));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, slot] { ChooseSlotColor(slot); });
        colorButtons[slot] = button;

        const int row = RowOf(slot);
        const int column = ColumnOf(slot);
        grid->addWidget(label, row, column);
        grid->addWidget(preview, row, column + 1);
        grid->addWidget(button, row, column + 2);
        if (slot >= ColorSame) {
            auto *box = new QComboBox(this);
            SetControlId(box, kEffectBoxIds[slot - ColorSame]);
            box->setMinimumWidth(DialogUnitsToPixels(kEffectBoxUnits, font()).width());
            const std::size_t effectSlot = slot - 1;
            connect(box, &QComboBox::activated, this,
                    [this, effectSlot](int index) { TakeEffect(effectSlot, index); });
            m_effectBoxes[effectSlot - 1] = box;
            grid->addWidget(box, row + 1, column + 1, 1, 2);
        }
    }
    // Room between the two columns of slots, and between the pairs of rows.
    grid->setColumnMinimumWidth(3, DialogUnitsToPixels({8, 0}, font()).width());
    grid->setRowMinimumHeight(1, DialogUnitsToPixels({0, 8}, font()).height());

    QPushButton *ok = NewOkButton();
    QPushButton *cancel = NewCancelButton();
    auto *defaults = new QPushButton(ResourceText(kColorDefaultsText), this);
    SetControlId(defaults, IDC_COLOR_DEFAULTS);
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &CColorDlg::ResetToDefaults);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(defaults);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // The template's tab order: the three push buttons, then the colour buttons and effect
    // boxes slot by slot.
    const std::array<QWidget *, 15> order{
        ok,
        cancel,
        defaults,
        colorButtons[Background],
        colorButtons[ColorOriginal],
        colorButtons[ColorSame],
        EffectBox(1),
        colorButtons[ColorChanged],
        EffectBox(2),
        colorButtons[ColorAdded],
        EffectBox(3),
        colorButtons[ColorDeleted],
        EffectBox(4),
        colorButtons[ColorMoved],
        EffectBox(kMovedEffectSlot),
    };
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ok->setFocus();

    ResizeToTemplate();
}

void CColorDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    for (QComboBox *box : m_effectBoxes) {
        static_assert(res::kEffectNames.size() == kEffectCodeCount);
        for (const char *name : res::kEffectNames)
            box->addItem(QString::fromUtf8(name));
    }
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        CColorWnd *preview = m_previews[slot];
        preview->color = m_options.Color[slot];
        // The Original text has no effect of its own.
        preview->effect = slot >= ColorSame ? m_options.Effect[slot - 1] : 0;
        preview->caption = ResourceText(kPreviewCaptions[slot]);
        preview->background = &m_previews[Background]->color;
    }
    SelectEffects();
}

void CColorDlg::SelectEffects()
{
    for (std::size_t slot = 1; slot < kEffectCount; ++slot) {
        const std::int32_t code = WorkingEffect(slot);
        // A code that no entry stands for leaves the box without a selection.
        EffectBox(slot)->setCurrentIndex(code >= 0 && code < kEffectCodeCount ? code : -1);
    }
}

ColorRef CColorDlg::WorkingColor(std::size_t slot) const
{
    return m_previews[slot]->color;
}

std::int32_t CColorDlg::WorkingEffect(std::size_t slot) const
{
    return m_previews[slot + 1]->effect;
}

void CColorDlg::TakeEffect(std::size_t slot, int row)
{
    if (row < 0)
        return;
    m_previews[slot + 1]->effect = row;
    m_previews[slot + 1]->update();
}

void CColorDlg::ChooseSlotColor(std::size_t slot)
{
    const std::optional<ColorRef> chosen =
        chooser(ResourceText(kChooserTitles[slot]), WorkingColor(slot), this);
    if (!chosen)
        return;
    m_previews[slot]->color = *chosen;
    // Every preview is filled with the background colour.
    if (slot == Background) {
        for (CColorWnd *preview : m_previews)
            preview->update();
    } else {
        m_previews[slot]->update();
    }
}

void CColorDlg::ResetToDefaults()
{
    const RichOptions defaults;
    for (std::size_t slot = 0; slot < kColorCount; ++slot)
        m_previews[slot]->color = defaults.Color[slot];
    for (std::size_t slot = 1; slot < kEffectCount; ++slot)
        m_previews[slot + 1]->effect = defaults.Effect[slot];
    SelectEffects();
    for (CColorWnd *preview : m_previews)
        preview->update();
}

void CColorDlg::StoreTo(RichOptions &options) const
{
    for (std::size_t slot = 0; slot < kColorCount; ++slot)
        options.Color[slot] = WorkingColor(slot);
    for (std::size_t slot = 1; slot < kEffectCount; ++slot)
        options.Effect[slot] = WorkingEffect(slot);
    options.CharFormat.crTextColor = options.Color[ColorOriginal];
}

bool RunColorSettings(RichOptions &options, Document *document, QWidget *parent,
                      const ColorChooser &chooser)
{
    CColorDlg dialog(options, parent);
    dialog.chooser = chooser;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.StoreTo(options);
    if (document)
        document->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::ColorsChanged));
    return true;
}

} // namespace kivo
