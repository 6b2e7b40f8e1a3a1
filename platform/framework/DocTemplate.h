#pragma once

#include <functional>

namespace kivo {

class Document;
class MdiChildWnd;
class View;

/// How the windows of one kind of document are made: the document, the child frame that shows
/// a view of it, and the view. menuId is the menu shown while such a document is active.
struct DocTemplate {
    int menuId = 0;
    std::function<Document *()> createDocument;
    std::function<MdiChildWnd *()> createFrame;
    std::function<View *()> createView;
};

} // namespace kivo
