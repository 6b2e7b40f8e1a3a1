#pragma once

#include "RichOptions.h"
#include "dialogs/ColorSelect.h"
#include "dialogs/Dialog.h"

#include <array>

class QComboBox;

namespace kivo {

class CColorWnd;
class Document;

/// The colours and effects (dialog 130): seven colour slots, each with a preview and a button that
/// opens the sixteen-colour chooser, and the effects of the four compared statuses and of moved
/// sentences. The working
/// copy lives in the previews; the options change only through StoreTo, after OK.
class CColorDlg : public Dialog {
    Q_OBJECT
public:
    /// The working copy starts from these options' colours and effects.
    explicit CColorDlg(const RichOptions &options, QWidget *parent = nullptr);
    ~CColorDlg() override;

    /// The working colour of a colour slot and the working effect of an effect slot (1-5).
    ColorRef WorkingColor(std::size_t slot) const;
    std::int32_t WorkingEffect(std::size_t slot) const;

    /// The preview of a colour slot, and the effect box of an effect slot (1-5).
    CColorWnd *Preview(std::size_t slot) const { return m_previews[slot]; }
    QComboBox *EffectBox(std::size_t slot) const { return m_effectBoxes[slot - 1]; }

    /// Opens the chooser for a colour slot, as its "色..." button does.
    void ChooseSlotColor(std::size_t slot);
    /// Resets the working copy to the default colours and effects ("初期設定").
    void ResetToDefaults();

    /// Writes the working colours to the seven colour slots, the working effects to effect slots
    /// 1-5 (slot 0 stays), and the Original colour to the display format's text colour.
    void StoreTo(RichOptions &options) const;

    /// Runs the chooser of a colour button; CColorSelect unless a test puts another here.
    ColorChooser chooser = ChooseColor;

protected:
    void OnInitDialog() override;

private:
    void BuildControls();
    void SelectEffects();
    void TakeEffect(std::size_t slot, int row);

    const RichOptions &m_options;
    std::array<CColorWnd *, kColorCount> m_previews{};
    std::array<QComboBox *, kEffectCount - 1> m_effectBoxes{};
};

/// The colour command: runs the dialog over parent and, on OK, writes the options and tells the
/// views of document (when there is one) that the colours changed. Returns whether the user chose
/// OK.
bool RunColorSettings(RichOptions &options, Document *document, QWidget *parent,
                      const ColorChooser &chooser = ChooseColor);

} // namespace kivo
