#pragma once

#include "Cp932Text.h"
#include "RichEditCtrl.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "resources/ResourceIds.h"
#include "views/RichView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kivo::test {

/// The application started as a user starts it, with a settings store of its own, its two text
/// windows side by side.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_app = std::make_unique<CRichApp>();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->MainFrame();
        m_frame->showNormal();
        m_frame->resize(1000, 700);
        QApplication::setActiveWindow(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
        m_frame->TileSideBySide();
    }

    CChildFrame *Pane(int number) const
    {
        for (MdiChildWnd *child : m_frame->Children()) {
            auto *pane = qobject_cast<CChildFrame *>(child);
            if (pane && pane->paneNumber == number)
                return pane;
        }
        return nullptr;
    }
    CRichView *View(int pane) const { return static_cast<CRichView *>(Pane(pane)->ActiveView()); }
    RichEditCtrl &Edit(int pane) const { return *View(pane)->Control(); }
    RichOptions &Options() const { return m_app->Options(); }

    void SetText(int pane, const QString &text)
    {
        Edit(pane).SetSel(0, -1);
        Edit(pane).ReplaceSel(cp932text::Encode(text));
    }

    /// Chooses a command as the user would; false when it was disabled.
    bool Choose(int command)
    {
        m_frame->UpdateCmdUI();
        return m_frame->Execute(command);
    }

    bool Enabled(int command)
    {
        m_frame->UpdateCmdUI();
        return m_frame->State(command).enabled;
    }

    /// Runs the event loop until the condition holds; false when it did not within ten seconds.
    static bool RunUntil(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > 10000)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        return true;
    }

    /// Compares the two windows' whole texts and waits for the end.
    bool Compare()
    {
        if (!Choose(res::ID_COMPARE_WHOLE))
            return false;
        return RunUntil([this] { return !m_app->Driver().IsRunning(); });
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CRichApp> m_app;
    CMainFrame *m_frame = nullptr;
};

} // namespace kivo::test
