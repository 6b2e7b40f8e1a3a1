#pragma once

#include "RtfText.h"

#include <gtest/gtest.h>

#include <string_view>

namespace kivo::rtf::test {

/// The format of the first run that holds text; a failure when none does.
inline Format FormatOf(const Runs &runs, std::string_view text)
{
    for (const TextRun &run : runs) {
        if (run.text.find(text) != std::string::npos)
            return run.format;
    }
    ADD_FAILURE() << "no run holds \"" << text << "\"";
    return {};
}

} // namespace kivo::rtf::test
