#pragma once

#include "ResultPair.h"
#include "TestText.h"
#include "Token.h"

#include <cstdio>
#include <ostream>
#include <string_view>

// gtest printers for the engine's records: bytes as hex (with the text beside them when it is
// code page 932) and statuses by name, so that a failing comparison is readable.
namespace kivo {

namespace test {

inline const char *StatusName(TextStatus status)
{
    switch (status) {
    case TextStatus::Original:
        return "Original";
    case TextStatus::Same:
        return "Same";
    case TextStatus::Changed:
        return "Changed";
    case TextStatus::Added:
        return "Added";
    case TextStatus::Deleted:
        return "Deleted";
    }
    return "?";
}

inline void PrintBytes(std::string_view bytes, std::ostream *os)
{
    *os << '"' << Utf8(bytes) << "\" [";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(bytes[i]));
        *os << (i ? " " : "") << hex;
    }
    *os << ']';
}

} // namespace test

inline void PrintTo(TextStatus status, std::ostream *os)
{
    *os << test::StatusName(status);
}

inline void PrintTo(const Token &token, std::ostream *os)
{
    *os << "Token{" << test::StatusName(token.status) << " match " << token.matchStart << '+'
        << token.matchLength << (token.folded ? " folded" : "") << " text ";
    test::PrintBytes(token.text, os);
    *os << " key ";
    test::PrintBytes(token.key, os);
    *os << '}';
}

inline void PrintTo(const ResultPair &pair, std::ostream *os)
{
    *os << "ResultPair{" << test::StatusName(pair.status) << " (" << pair.leftIndex << ", "
        << pair.rightIndex << ") end " << pair.sentenceEnd << " left ";
    test::PrintBytes(pair.leftText, os);
    *os << " right ";
    test::PrintBytes(pair.rightText, os);
    *os << '}';
}

} // namespace kivo
