#pragma once

// The real application on the offscreen platform, started as a user starts it, with a settings
// store of its own; helpers to reach its two text windows.

#include "RichEditCtrl.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "views/RichDoc.h"
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

class WindowsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        // Each test starts without the windows' contents of another.
        qputenv("XDG_STATE_HOME", (m_dir.path() + QStringLiteral("/state")).toLocal8Bit());
        StartApp({});
    }

    /// Starts the application with a command line (after the program name).
    void StartApp(const QStringList &arguments)
    {
        m_app.reset();
        m_app = std::make_unique<CRichApp>(arguments);
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->MainFrame();
        m_frame->showNormal();
        m_frame->resize(1000, 700);
        QApplication::setActiveWindow(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
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
    CRichDoc *Doc() const { return qobject_cast<CRichDoc *>(m_frame->ActiveDocument()); }
    QString Title(int pane) const { return Pane(pane)->windowTitle(); }

    /// Puts a text in a window as if it had been opened: no unsaved edits.
    void SetText(int pane, const std::string &cp932)
    {
        Edit(pane).SetSel(0, -1);
        Edit(pane).ReplaceSel(cp932);
        Edit(pane).SetModify(false);
    }

    /// Chooses a command as the user would, in the active window.
    bool Choose(int command, int pane = 0)
    {
        if (pane != 0)
            m_frame->ActivateChild(Pane(pane));
        m_frame->UpdateCmdUI();
        return m_frame->Execute(command);
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

    QString TempPath(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<CRichApp> m_app;
    CMainFrame *m_frame = nullptr;
};

} // namespace kivo::test
