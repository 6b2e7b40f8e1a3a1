#pragma once

#include "RichEditCtrl.h"
#include "TestText.h"

#include <QWidget>

#include <memory>
#include <string>
#include <string_view>

namespace kivo::test {

/// A control shown on the offscreen screen at a fixed size, so that it lays its text out.
inline std::unique_ptr<RichEditCtrl> ShownControl(int width = 300, int height = 200)
{
    auto control = std::make_unique<RichEditCtrl>();
    control->Widget()->resize(width, height);
    control->Widget()->show();
    return control;
}

/// The control's whole text as UTF-8.
inline std::string TextOf(const RichEditCtrl &control)
{
    return Utf8(control.GetText());
}

/// Appends UTF-8 text at the end of the control.
inline void Append(RichEditCtrl &control, std::string_view utf8)
{
    control.SetSel(control.GetTextLength(), control.GetTextLength());
    control.ReplaceSel(Sjis(utf8));
}

} // namespace kivo::test
