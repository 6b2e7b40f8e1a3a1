#pragma once

#include "RichOptions.h"

#include <QFrame>
#include <QString>

#include <cstdint>

namespace kivo {

/// A preview box of the colour dialog: filled with the background colour it refers to, with its
/// caption drawn centred in its own colour and effect.
class CColorWnd : public QFrame {
    Q_OBJECT
public:
    explicit CColorWnd(QWidget *parent = nullptr);
    ~CColorWnd() override;

    /// The colour that fills the box; all previews of a dialog refer to the background
    /// preview's colour. Null until set: the box is then filled with its own colour.
    const ColorRef *background = nullptr;
    /// The caption's colour; for the background preview, the background colour itself.
    ColorRef color = 0;
    /// The caption's effect (an EffectCode); codes outside 0-4 draw it plain.
    std::int32_t effect = 0;
    QString caption;

    /// The font the caption is drawn with.
    QFont CaptionFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kivo
