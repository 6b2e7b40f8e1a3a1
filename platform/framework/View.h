#pragma once

#include "platform/framework/CommandTarget.h"
#include "platform/framework/Document.h"

#include <QObject>
#include <QPointer>

#include <cstdint>

class QWidget;

namespace kivo {

class MdiChildWnd;

/// A view shows a document in a window. The view is the command target; its window is a widget
/// that the view's child frame shows. The view lives as long as its widget.
class View : public QObject, public CommandTarget {
    Q_OBJECT
public:
    /// Takes over the widget: the view is destroyed with it.
    explicit View(QWidget *widget);
    ~View() override;

    QWidget *Widget() const { return m_widget; }
    Document *GetDocument() const { return m_document; }
    MdiChildWnd *ParentFrame() const { return m_frame; }

    /// Called once when the view is first shown; sends itself update hint 0.
    virtual void OnInitialUpdate();
    /// Called by the document's UpdateAllViews. The default repaints the window.
    virtual void OnUpdate(View *sender, long hint, std::intptr_t objectHint);

    /// Wiring done by the frame that creates the view.
    void AttachDocument(Document *document);
    void AttachFrame(MdiChildWnd *frame) { m_frame = frame; }

private:
    QWidget *m_widget;
    QPointer<Document> m_document;
    MdiChildWnd *m_frame = nullptr;
};

} // namespace kivo
