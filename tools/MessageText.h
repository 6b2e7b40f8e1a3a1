#pragma once

#include <string>
#include <string_view>

namespace kivo::cli {

/// text in single quotes for a one-line message: control bytes are written as \xNN, so a file
/// name or an argument with a line break cannot split the message.
std::string Quoted(std::string_view text);

} // namespace kivo::cli
