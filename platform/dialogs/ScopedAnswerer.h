#pragma once

#include <utility>

namespace kivo {

/// Makes an answerer stand in for the user at one kind of dialog while this object lives (tests
/// use it, and start-up holds back its messages with it); the answerer that was there before
/// comes back afterwards. Slot is where that kind of dialog looks for its answerer.
template <typename Answerer, Answerer &(*Slot)()> class ScopedAnswerer {
public:
    explicit ScopedAnswerer(Answerer answerer)
        : m_previous(std::exchange(Slot(), std::move(answerer)))
    {}
    ~ScopedAnswerer() { Slot() = std::move(m_previous); }
    ScopedAnswerer(const ScopedAnswerer &) = delete;
    ScopedAnswerer &operator=(const ScopedAnswerer &) = delete;

private:
    Answerer m_previous;
};

} // namespace kivo
