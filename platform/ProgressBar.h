#pragma once

#include "Progress.h"

#include <QProgressBar>

namespace kivo {

/// The progress bar of the progress dialog: range 0 to 100, step 1. A step past the maximum
/// starts again from the minimum; a move stops at the ends. The arithmetic is ProgressModel's.
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
};

} // namespace kivo
