#pragma once

// Stand-ins for the text views and the windows around the driver: a view is a byte string with
// CR line breaks, wrapped at a width of so many bytes, whose scroll bar shows once its lines
// overflow the screen. Each byte carries whether it is the user's text, a record's text or a
// separator, so tests can tell what was deleted.

#include "driver/ComparisonDriver.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kivo::test {

enum class Piece { Text, Separator, Original };

class FakeView : public IResultView {
public:
    static constexpr std::size_t kCapturePiece = 7;

    FakeView(int width, int screenLines) : m_width(width), m_screenLines(screenLines) {}

    std::string text;
    std::vector<Piece> pieces;
    std::size_t selStart = 0;
    std::size_t caret = 0;
    int rowCount = 0;
    bool atSentenceEnd = true;
    const RichOptions *options = nullptr;
    int deletedText = 0;      ///< bytes of text (not line breaks) deleted since SetText
    std::size_t captured = 0; ///< bytes of text handed over so far
    int differenceSteps = 0;  ///< calls of PrepareDifferences until the third one finishes
    bool locked = false;      ///< from BeginCapture to FinishAfterComparison
    bool scrollKeysWork = false;
    bool userScrolled = false;
    /// Where the view logs the driver's display calls (the left view logs among the host's,
    /// so that the tests read the order of the phases in one list).
    std::vector<std::string> *log = nullptr;

    void SetText(const std::string &t)
    {
        text = t;
        pieces.assign(t.size(), Piece::Original);
        selStart = 0;
        caret = t.size();
        deletedText = 0;
        rowCount = 0;
    }

    bool PrepareDifferences(std::int64_t) override
    {
        differenceSteps = std::min(differenceSteps + 1, 3);
        return differenceSteps == 3;
    }

    /// The text is handed over in pieces of a few bytes, so that reading it takes steps.
    void BeginCapture(bool) override
    {
        captured = 0;
        locked = true;
    }
    bool CaptureMore(std::string &out, int maxChars) override
    {
        const std::size_t piece =
            std::min({text.size() - captured, std::size_t(maxChars), kCapturePiece});
        out += text.substr(captured, piece);
        captured += piece;
        return captured == text.size();
    }

    void RenderRecord(const ResultPair &record, const std::string &recordText, const RecordBreaks &,
                      std::optional<std::int32_t>) override
    {
        if (atSentenceEnd && options->ViewFormat == SentenceLayout::Aligned)
            ++rowCount;
        if (!recordText.empty())
            Replace(recordText, Piece::Text);
        if (record.sentenceEnd == 1 && options->ViewFormat == SentenceLayout::Aligned)
            Replace(options->ViewLine ? "\r\r" : "\r", Piece::Separator);
        atSentenceEnd = record.sentenceEnd == 1;
    }

    void BeginDisplay() override { Log("BeginDisplay"); }
    void AllowScrolling(bool allow) override { scrollKeysWork = allow; }
    bool UserScrolled() const override { return userScrolled; }
    void ReturnToRegionTop() override { Log("ReturnToRegionTop"); }
    void FinishAfterComparison(bool) override
    {
        locked = scrollKeysWork = false;
        Log("Finish");
    }

    bool HasVerticalScrollBar() const override { return Overflows(); }

private:
    void Log(const char *call)
    {
        if (log)
            log->push_back(call);
    }
    void Replace(const std::string &with, Piece piece)
    {
        for (std::size_t i = selStart; i < caret; ++i)
            if ((pieces[i] == Piece::Text || pieces[i] == Piece::Original) && text[i] != '\r')
                ++deletedText;
        text.replace(selStart, caret - selStart, with);
        pieces.erase(pieces.begin() + long(selStart), pieces.begin() + long(caret));
        pieces.insert(pieces.begin() + long(selStart), with.size(), piece);
        selStart = caret = selStart + with.size();
    }

    std::vector<std::size_t> LinesAt(int width) const
    {
        std::vector<std::size_t> starts{0};
        std::size_t column = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                starts.push_back(i + 1);
                column = 0;
            } else if (++column > std::size_t(width)) {
                starts.push_back(i);
                column = 1;
            }
        }
        return starts;
    }
    bool Overflows() const { return int(LinesAt(m_width).size()) > m_screenLines; }
    int m_width;
    int m_screenLines;
};

class FakeHost : public IDriverHost, public IProgressWindow, public IRowLevels {
public:
    FakeHost(FakeView &left, FakeView &right) : m_left(left), m_right(right)
    {
        m_left.log = &calls;
    }

    std::string leftText, rightText;
    bool hasDocument = true;
    bool canCreateDialog = true;
    bool dialogExists = false;
    bool dialogEnabled = true;
    bool abortEnabled = true;
    bool answerYes = true;
    bool keyboardHandedBack = false;
    std::vector<int> captions;
    std::vector<int> questions;
    std::vector<std::string> calls;
    /// The rows levelled: the rows written when a row closed, negated when every row written
    /// was levelled again.
    std::vector<int> levelling;
    ProgressModel bar;

    bool HasActiveDocument() const override { return hasDocument; }
    bool BothSelected() const override { return false; }
    IProgressWindow *BeginComparison() override
    {
        dialogExists = canCreateDialog;
        return dialogExists ? this : nullptr;
    }
    ResultViews PrepareForComparison() override
    {
        calls.push_back("Prepare");
        m_left.SetText(leftText);
        m_right.SetText(rightText);
        return {{&m_left, &m_right}, this};
    }
    void RowClosed() override { levelling.push_back(m_left.rowCount); }
    void LevelWrittenRows() override { levelling.push_back(-m_left.rowCount); }
    void StartSyncScroll() override { calls.push_back("StartSyncScroll"); }
    bool AskYesNo(int id) override
    {
        questions.push_back(id);
        return answerYes;
    }
    void EndComparison() override { dialogExists = false; }

    void SetCaption(int id) override { captions.push_back(id); }
    void EnableDialog(bool on) override { dialogEnabled = on; }
    void EnableAbortButton(bool on) override { abortEnabled = on; }
    IProgress &Bar() override { return bar; }
    void HandBackKeyboard() override { keyboardHandedBack = true; }

private:
    FakeView &m_left;
    FakeView &m_right;
};

} // namespace kivo::test
