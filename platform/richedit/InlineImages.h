#pragma once

#include <QObject>
#include <QTextObjectInterface>

namespace kivo {

/// Sizes and draws the pictures a document holds as inline image characters, from the
/// document's image resources (QTextDocument::addResource) or, failing that, a file of the
/// image's name. A picture that cannot be found is drawn as an empty frame of a small size, so
/// that the text around it stays where it is.
class InlineImages : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;
};

} // namespace kivo
