#pragma once

#include "Progress.h"

#include <QElapsedTimer>
#include <QProgressBar>

namespace kivo {

/// The progress bar of the progress dialog: range 0 to 100, step 1. A step past the maximum
/// starts again from the minimum; a move stops at the ends. The arithmetic is ProgressModel's.
/// The value is always current; the bar is repainted at once at most once a frame, and
/// otherwise at the next turn of the event loop.
class ProgressBar : public QProgressBar, public IProgress {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget *parent = nullptr);

    void Step() override;
    void SetPos(int position) override;
    void DeltaPos(int delta) override;

    int Position() const { return m_model.Position(); }

private:
    void Show();

    ProgressModel m_model;
    QElapsedTimer m_sinceRepaint; ///< since the bar was last repainted at once
};

} // namespace kivo
