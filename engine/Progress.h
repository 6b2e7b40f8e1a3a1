#pragma once

namespace kivo {

/// The progress indicator the comparison steps. Its range is 0 to 100 and its step 1.
class IProgress {
public:
    virtual ~IProgress() = default;
    /// Advances by the step; past the maximum the position starts again from the minimum.
    virtual void Step() = 0;
    /// Sets the position.
    virtual void SetPos(int position) = 0;
    /// Moves the position by delta, stopping at the ends of the range.
    virtual void DeltaPos(int delta) = 0;
};

/// The indicator's arithmetic without a window; the Qt progress bar shares it, and the tests
/// use it directly.
class ProgressModel : public IProgress {
public:
    static constexpr int kMinimum = 0;
    static constexpr int kMaximum = 100;
    static constexpr int kStep = 1;

    void Step() override
    {
        m_position += kStep;
        if (m_position > kMaximum)
            m_position = (m_position - kMinimum) % (kMaximum - kMinimum) + kMinimum;
        ++m_steps;
    }
    void SetPos(int position) override { m_position = Clamp(position); }
    void DeltaPos(int delta) override { m_position = Clamp(m_position + delta); }

    int Position() const { return m_position; }
    /// Number of Step calls so far (the tests count engine work units with it).
    long long Steps() const { return m_steps; }

private:
    static int Clamp(int p) { return p < kMinimum ? kMinimum : (p > kMaximum ? kMaximum : p); }

    int m_position = kMinimum;
    long long m_steps = 0;
};

} // namespace kivo
