#include "platform/framework/View.h"

#include "platform/framework/Document.h"

#include <QWidget>

namespace kivo {

View::View(QWidget *widget) : QObject(widget), m_widget(widget)
{}

View::~View()
{
    if (m_document)
        m_document->RemoveView(this);
}

void View::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, 0);
}

void View::OnUpdate(View *, long, std::intptr_t)
{
    m_widget->update();
}

void View::AttachDocument(Document *document)
{
    if (m_document == document)
        return;
    if (m_document)
        m_document->RemoveView(this);
    m_document = document;
    if (document)
        document->AddView(this);
}

} // namespace kivo
