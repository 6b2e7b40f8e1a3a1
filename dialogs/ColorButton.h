#pragma once

#include "RichOptions.h"

#include <QAbstractButton>

namespace kivo {

class CColorSelect;

/// One swatch of the colour chooser: a button filled with its colour. When it takes the keyboard
/// focus (by a click or by Tab) it shows a white and a black frame and makes its colour the
/// chooser's selected colour.
class CColorButton : public QAbstractButton {
    Q_OBJECT
public:
    CColorButton(CColorSelect &owner, QWidget *parent);
    ~CColorButton() override;

    ColorRef color = 0;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    CColorSelect &m_owner;
};

} // namespace kivo
