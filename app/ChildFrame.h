#pragma once

#include "views/PaneFrame.h"

namespace kivo {

/// A text window's frame. paneNumber says which side it is: 1 left ("Untitled1"), 2 right
/// ("Untitled2"), 0 before it is known. It is fixed when the frame is created: the first window
/// of a document is the right one, the next the left one.
class CChildFrame : public PaneFrame {
    Q_OBJECT
public:
    CChildFrame();

    void OnCreate(MdiFrameWnd &mainFrame) override;
};

} // namespace kivo
