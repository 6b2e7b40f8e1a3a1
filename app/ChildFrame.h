#pragma once

#include "platform/MdiChildWnd.h"

namespace kivo {

/// A text window's frame. paneNumber says which side it is: 1 left ("Untitled1"), 2 right
/// ("Untitled2"), 0 before it is known. It is fixed when the frame is created: the first window
/// of a document is the right one, the next the left one.
class CChildFrame : public MdiChildWnd {
    Q_OBJECT
public:
    CChildFrame();

    int paneNumber = 0;

    void OnCreate(MdiFrameWnd &mainFrame) override;
};

} // namespace kivo
