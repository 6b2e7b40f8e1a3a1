#include "InlineImages.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>
#include <QVariant>

namespace kivo {

namespace {

/// Side of the frame drawn for a picture that cannot be found, in pixels.
constexpr int kMissingSide = 16;

QImage ImageOf(QTextDocument *document, const QTextImageFormat &format)
{
    const QVariant data = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (data.userType() == QMetaType::QImage)
        return data.value<QImage>();
    if (data.userType() == QMetaType::QPixmap)
        return data.value<QPixmap>().toImage();
    if (data.userType() == QMetaType::QByteArray)
        return QImage::fromData(data.toByteArray());
    return {};
}

} // namespace

QSizeF InlineImages::intrinsicSize(QTextDocument *document, int, const QTextFormat &format)
{
    const QTextImageFormat image = format.toImageFormat();
    QSizeF size(image.width(), image.height());
    if (size.width() > 0 && size.height() > 0)
        return size;
    const QImage picture = ImageOf(document, image);
    const QSizeF natural =
        picture.isNull() ? QSizeF(kMissingSide, kMissingSide) : QSizeF(picture.size());
    // One side given keeps the picture's proportions.
    if (size.width() > 0 && natural.width() > 0)
        return {size.width(), natural.height() * size.width() / natural.width()};
    if (size.height() > 0 && natural.height() > 0)
        return {natural.width() * size.height() / natural.height(), size.height()};
    return natural;
}

void InlineImages::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int,
                              const QTextFormat &format)
{
    const QImage picture = ImageOf(document, format.toImageFormat());
    if (picture.isNull()) {
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        return;
    }
    painter->drawImage(rect, picture);
}

} // namespace kivo
