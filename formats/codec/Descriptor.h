#pragma once

#include <unistd.h>

namespace kivo {

/// Owns a file descriptor and closes it once, when it goes or when Close is called.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    /// Closes the descriptor held, if any, and holds fd instead.
    void Reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

    /// The descriptor; negative when the open failed or it was closed.
    int Get() const { return m_fd; }

    /// Closes it now; false with errno set when closing reports an error of a delayed write.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

} // namespace kivo
