#pragma once

#include "platform/framework/MdiChildWnd.h"

namespace kivo {

/// A text window's frame that knows its side: paneNumber 1 is the left window, 2 the right
/// one, 0 before it is assigned. The views ask it where their text goes in a comparison.
class PaneFrame : public MdiChildWnd {
    Q_OBJECT
public:
    int paneNumber = 0;
};

} // namespace kivo
