#pragma once

#include "Cp932Text.h"
#include "resources/ResourceIds.h"
#include "../views/WindowsFixture.h"

namespace kivo::test {

/// The application started as a user starts it, with a settings store of its own, its two text
/// windows side by side.
class AppFixture : public WindowsFixture {
protected:
    void SetUp() override
    {
        WindowsFixture::SetUp();
        m_frame->TileSideBySide();
    }

    RichOptions &Options() const { return m_app->Options(); }

    using WindowsFixture::SetText;
    void SetText(int pane, const QString &text) { SetText(pane, cp932text::Encode(text)); }

    bool Enabled(int command)
    {
        m_frame->UpdateCmdUI();
        return m_frame->State(command).enabled;
    }

    /// Compares the two windows' whole texts and waits for the end.
    bool Compare()
    {
        if (!Choose(res::ID_COMPARE_WHOLE))
            return false;
        return RunUntil([this] { return !m_app->Driver().IsRunning(); });
    }
};

} // namespace kivo::test
