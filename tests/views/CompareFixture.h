#pragma once

// The real application on the offscreen platform, set up for comparisons in its two windows:
// helpers to fill the windows, compare, and check what they show against the engine's records.

#include "Comparison.h"
#include "RichEditCtrl.h"
#include "TestText.h"
#include "WindowsFixture.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "dialogs/ProgDlg.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/widgets/ProgressBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kivo::test {

class CompareInWindowsTest : public WindowsFixture {
protected:
    void SetUp() override
    {
        WindowsFixture::SetUp();
        m_frame->resize(1280, 800);
        m_frame->TileSideBySide();
    }

    ComparisonDriver &Driver() const { return m_app->Driver(); }

    /// Chooses a compare command as the user would and waits for its end.
    bool Compare(int command = res::ID_COMPARE_WHOLE)
    {
        m_frame->UpdateCmdUI();
        if (!m_frame->Execute(command))
            return false;
        return RunUntil([this] { return !Driver().IsRunning(); });
    }

    /// Puts the texts in the windows and chooses the whole-text command, without waiting.
    bool StartComparing(const std::string &left, const std::string &right)
    {
        SetText(1, left);
        SetText(2, right);
        m_frame->UpdateCmdUI();
        return m_frame->Execute(res::ID_COMPARE_WHOLE);
    }

    /// The records the engine gives for the two texts.
    ResultList Records(const std::string &left, const std::string &right) const
    {
        ProgressModel progress;
        Comparison engine(m_app->Options(), progress);
        engine.RunToCompletion(left, right);
        return engine.Results();
    }

    /// Compares the texts in the windows and checks that each window shows its side of the
    /// engine's records with nothing lost; returns the records.
    ResultList CompareAndCheck(const std::string &left, const std::string &right)
    {
        SetText(1, left);
        SetText(2, right);
        const ResultList records = Records(left, right);
        EXPECT_TRUE(Compare());
        EXPECT_TRUE(OnlyBreaksAdded(Joined(records, true), Edit(1).GetText()));
        EXPECT_TRUE(OnlyBreaksAdded(Joined(records, false), Edit(2).GetText()));
        return records;
    }

    /// The text a side shows for the records, before any padding.
    std::string Joined(const ResultList &records, bool left) const
    {
        const RichOptions &options = m_app->Options();
        const std::string separator = options.ViewFormat != SentenceLayout::Aligned ? ""
                                      : options.ViewLine == 1                       ? "\r\r"
                                                                                    : "\r";
        std::string text;
        for (const ResultPair &record : records) {
            text += left ? record.leftText : record.rightText;
            if (record.sentenceEnd == 1)
                text += separator;
        }
        return text;
    }

    /// Whether shown is expected with nothing but line breaks added.
    static ::testing::AssertionResult OnlyBreaksAdded(const std::string &expected,
                                                      const std::string &shown)
    {
        std::size_t j = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (j < expected.size() && shown[i] == expected[j])
                ++j;
            else if (shown[i] != '\r')
                return ::testing::AssertionFailure()
                       << "byte " << i
                       << " of the window is not in the result: " << Utf8(shown.substr(i, 20));
        }
        if (j != expected.size())
            return ::testing::AssertionFailure()
                   << "the window lacks " << Utf8(expected.substr(j, 40));
        return ::testing::AssertionSuccess();
    }

    /// The display line on which each row of a side begins: rows are found as runs of text
    /// between line breaks, in order; only texts whose every row has text on both sides.
    std::vector<int> RowLines(int pane, const ResultList &records) const
    {
        const bool left = pane == 1;
        const std::string shown = Edit(pane).GetText();
        std::vector<int> lines;
        std::size_t at = 0;
        std::string rowText;
        for (const ResultPair &record : records) {
            rowText += left ? record.leftText : record.rightText;
            if (record.sentenceEnd != 1)
                continue;
            const std::size_t found = shown.find(rowText, at);
            if (found == std::string::npos)
                return {};
            lines.push_back(Edit(pane).LineFromChar(CharPosition(shown, found)));
            at = found + rowText.size();
            rowText.clear();
        }
        return lines;
    }

    /// The control position of a byte offset of its text: one per character, two for a private
    /// code that stands for a character outside the Basic Multilingual Plane.
    static int CharPosition(const std::string &cp932, std::size_t offset)
    {
        const std::optional<std::string> utf8 =
            Cp932Codec::Shared().ToUtf8(cp932.substr(0, offset));
        return utf8 ? static_cast<int>(QString::fromStdString(*utf8).size()) : -1;
    }

    /// Scroll position at which a line stands at the top of the window.
    static int LineTop(RichEditCtrl &edit, int line)
    {
        QTextCursor cursor(edit.Document());
        cursor.setPosition(edit.LineIndex(line));
        return edit.CaretRect(cursor).top() + edit.VerticalScrollBar().value();
    }

    /// n one-line sentences, every seventh changed and some long enough to wrap on the left.
    static std::pair<std::string, std::string> Texts(int n)
    {
        std::string a, b;
        for (int i = 0; i < n; ++i) {
            const std::string number = std::to_string(i);
            std::string body = Sjis("これは") + number + Sjis("番目の文です");
            if (i % 11 == 5)
                for (int k = 0; k < 6; ++k)
                    body += Sjis("、長く続けて折り返させます");
            a += body + Sjis("。");
            b += (i % 7 == 3 ? body + Sjis("ね") : body) + Sjis("。");
        }
        return {a, b};
    }
};

} // namespace kivo::test
