#pragma once

#include "RichOptions.h"
#include "dialogs/Dialog.h"

#include <array>
#include <functional>
#include <optional>

namespace kivo {

class CColorButton;

/// The sixteen-colour chooser (dialog 131). The caller sets the title and the selected colour
/// (the current one) before it runs, and reads the selected colour after OK: the colour of the
/// last swatch that took the keyboard focus, or the caller's colour when none did.
class CColorSelect : public Dialog {
    Q_OBJECT
public:
    explicit CColorSelect(QWidget *parent = nullptr);
    ~CColorSelect() override;

    /// The swatches in template order (1066, 1065, 1064, 1057, ... 1051).
    const std::array<CColorButton *, 16> &Swatches() const { return m_swatches; }
    /// The swatch with this control id; null when there is none.
    CColorButton *Swatch(int id) const;

    QString title;
    ColorRef selectedColor = 0;

protected:
    void OnInitDialog() override;

private:
    std::array<CColorButton *, 16> m_swatches{};
};

/// Runs a chooser: its title and the colour selected at first; the selected colour after OK,
/// nothing after Cancel.
using ColorChooser =
    std::function<std::optional<ColorRef>(const QString &title, ColorRef current, QWidget *parent)>;

/// The chooser the program uses: CColorSelect, modal.
std::optional<ColorRef> ChooseColor(const QString &title, ColorRef current, QWidget *parent);

} // namespace kivo
