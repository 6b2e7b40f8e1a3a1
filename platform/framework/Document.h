#pragma once

#include "platform/framework/CommandTarget.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace kivo {

class View;

/// A document: the data behind one or more views. Keeps its views in the order in which they
/// were attached, tells them about changes through UpdateAllViews, and closes with its last
/// view. Handles the close command, which closes every window showing it.
class Document : public QObject, public CommandTarget {
    Q_OBJECT
public:
    Document();
    ~Document() override;

    /// The views, in the order in which they were attached.
    const std::vector<View *> &Views() const { return m_views; }
    void AddView(View *view);
    void RemoveView(View *view);

    /// Calls OnUpdate(sender, hint, objectHint) on every view but the sender, in view order.
    void UpdateAllViews(View *sender, long hint = 0, std::intptr_t objectHint = 0);

    const QString &Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }
    /// Full path of the last file read or written through this document; empty before that.
    const QString &PathName() const { return m_pathName; }
    void SetPathName(const QString &path) { m_pathName = path; }

    /// Called once the document exists and before its first view is shown; false cancels it.
    virtual bool OnNewDocument() { return true; }
    /// Asked before the document is closed; false keeps it open.
    virtual bool SaveModified() { return true; }
    /// Closes every window that shows the document; the document goes with its last view.
    virtual void OnCloseDocument();

private:
    std::vector<View *> m_views;
    QString m_title;
    QString m_pathName;
    bool m_closing = false;
};

} // namespace kivo
