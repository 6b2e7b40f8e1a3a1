#include "views/ScrollSync.h"

#include "RichOptions.h"
#include "platform/framework/Document.h"
#include "platform/framework/UpdateHint.h"

namespace kivo {

bool ScrollSync::IsOn() const
{
    return m_options.SyncScroll != 0;
}

void ScrollSync::Start(Document *document)
{
    m_options.SyncScroll = 1;
    if (document)
        document->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::NoteTopLine));
}

void ScrollSync::Stop()
{
    m_options.SyncScroll = 0;
}

void ScrollSync::Toggle(Document *document)
{
    if (IsOn())
        Stop();
    else
        Start(document);
}

} // namespace kivo
