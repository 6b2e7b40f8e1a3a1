#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace kivo {

/// Lets a window take files dropped on it: drags that carry local files are accepted and
/// their paths reported; other drags are left to the window.
class FileDrop : public QObject {
    Q_OBJECT
public:
    /// Watches target, and its viewport when it is a scroll area (the text windows), ahead of
    /// the window's own drop handling.
    explicit FileDrop(QWidget *target);

    /// The local paths of the files the data carries, in order.
    static QStringList LocalPaths(const QMimeData *data);

signals:
    void filesDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace kivo
