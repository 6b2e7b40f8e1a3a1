#pragma once

#include "platform/Document.h"

namespace kivo {

class CRichView;
class ComparisonDriver;

/// The document: one text shown in two views, the left and the right window. It owns nothing
/// of a comparison; it decides whether the compare commands are available and passes the
/// driver's calls on to its views.
class CRichDoc : public Document {
    Q_OBJECT
public:
    explicit CRichDoc(ComparisonDriver &driver);

    /// Whether the document has exactly two views and each holds at least one character.
    bool BothHaveText() const;
    /// Whether the document has exactly two views and both have a non-empty selection.
    bool BothSelected() const;

    /// The view operations of a comparison, on every view in the document's order.
    void PrepareForComparison();
    void BeginDisplay();
    void ReturnToRegionTop();
    void FinishViewAfterComparison();

    /// The views that are text views, in the document's order.
    std::vector<CRichView *> RichViews() const;

private:
    /// Whether there are exactly two text views and each passes the test; stops at the first
    /// that fails.
    template <typename Test> bool BothViews(Test test) const;

    ComparisonDriver &m_driver;
};

} // namespace kivo
