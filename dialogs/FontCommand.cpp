#include "dialogs/FontCommand.h"

#include "CharFormatQt.h"
#include "Cp932Text.h"
#include "DisplayFont.h"
#include "platform/framework/Document.h"
#include "platform/framework/UpdateHint.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {

// The fields the chooser starts from: face, size and character set.
constexpr std::uint32_t kChooserMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
static_assert(kChooserMask == 0xA8000000);

// Pitch bits of a character format's bPitchAndFamily.
constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kVariablePitch = 2;

// The chooser reports sizes in tenths of a point; a twip is a twentieth.
constexpr int kTwipsPerTenthPoint = 2;

} // namespace

FontChooser &CurrentFontChooser()
{
    static FontChooser chooser = ChooseFont;
    return chooser;
}

std::optional<QFont> ChooseFont(const QFont &initial, QWidget *parent)
{
    QFontDialog dialog(initial, parent);
    // Effects and colour come from the colour settings: the chooser's own are not offered.
    // The sample beside them keeps the room they took, so that its text still shows.
    int height = 0;
    const QList<QGroupBox *> groups = dialog.findChildren<QGroupBox *>();
    for (QGroupBox *group : groups) {
        if (!group->findChildren<QCheckBox *>().isEmpty()) {
            height = std::max(height, group->sizeHint().height());
            group->hide();
        }
    }
    for (QGroupBox *group : groups) {
        if (group->findChildren<QCheckBox *>().isEmpty())
            group->setMinimumHeight(height);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

CharFormat FormatWithFont(const CharFormat &stored, const QFont &font, ColorRef originalColor)
{
    CharFormat format = stored;
    const QString storedFace = charformat::FaceName(stored);
    const QFontInfo info(font);
    if (font.family() != DisplayFamily(storedFace)) {
        format.SetFaceName(cp932text::Encode(font.family()));
        format.bPitchAndFamily = info.fixedPitch() ? kFixedPitch : kVariablePitch;
    }
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : info.pointSizeF();
    if (points > 0)
        format.yHeight = static_cast<std::int32_t>(std::lround(points * 10)) * kTwipsPerTenthPoint;
    format.crTextColor = originalColor;
    format.dwMask = kDisplayFormatMask;
    format.dwEffects = 0;
    return format;
}

bool ChangeDisplayFont(RichOptions &options, Document *document, QWidget *parent)
{
    CharFormat copy = options.CharFormat;
    copy.dwMask = kChooserMask;
    // Face and size only: the chooser shows no style of the stored record.
    QFont initial(DisplayFamily(charformat::FaceName(copy)));
    if (copy.yHeight > 0)
        initial.setPointSizeF(static_cast<qreal>(copy.yHeight) / charformat::kTwipsPerPoint);
    const std::optional<QFont> chosen = CurrentFontChooser()(initial, parent);
    if (!chosen)
        return false;
    options.CharFormat = FormatWithFont(copy, *chosen, options.Color[ColorOriginal]);
    if (document)
        document->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::FontChanged));
    return true;
}

} // namespace kivo
