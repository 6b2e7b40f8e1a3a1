#include "OutputFile.h"

#include "MessageText.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kivo::cli {

namespace {

std::string Failure(std::string_view what, const std::string &path)
{
    return "cannot " + std::string(what) + " " + Quoted(path) + ": " + std::strerror(errno);
}

} // namespace

bool OutputFile::Open(const std::string &path, bool binary, std::string &error)
{
    m_path = path;
    if (!m_writer.Open(path)) {
        error = Failure(m_writer.InPlace() ? "open" : "write", path);
        return false;
    }
    if (binary && m_writer.InPlace() && isatty(m_writer.Fd())) {
        error = "will not write a binary format to the terminal " + Quoted(path);
        return false;
    }
    return true;
}

bool OutputFile::Write(std::string_view bytes)
{
    return m_writer.Write(bytes);
}

bool OutputFile::Commit(std::string &error)
{
    if (!m_writer.Commit()) {
        error = Failure("write", m_path);
        return false;
    }
    return true;
}

} // namespace kivo::cli
