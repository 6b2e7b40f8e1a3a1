#pragma once

#include <QTextEdit>

namespace kivo {

class RichEditCtrl;

/// The editing widget of a RichEditCtrl. It hands the events and the clipboard hooks the
/// control handles over to it, and offers Qt's own handling of them back (Base*), so that the
/// control decides and the widget only carries out.
class TextEditor final : public QTextEdit {
public:
    TextEditor(RichEditCtrl &owner, QWidget *parent);
    ~TextEditor() override;
    TextEditor(const TextEditor &) = delete;
    TextEditor &operator=(const TextEditor &) = delete;

    void BasePaint(QPaintEvent *event) { QTextEdit::paintEvent(event); }
    void BaseFocusIn(QFocusEvent *event) { QTextEdit::focusInEvent(event); }
    void BaseFocusOut(QFocusEvent *event) { QTextEdit::focusOutEvent(event); }
    void BaseKeyPress(QKeyEvent *event) { QTextEdit::keyPressEvent(event); }
    void BaseResize(QResizeEvent *event) { QTextEdit::resizeEvent(event); }
    void BaseInputMethod(QInputMethodEvent *event) { QTextEdit::inputMethodEvent(event); }
    using QTextEdit::setViewportMargins;

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    RichEditCtrl &m_owner;
};

} // namespace kivo
