#pragma once

#include "CompareOptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

/// Splits a fuzzer input into options, a delimiter set and the texts that follow.
/// Layout: one byte of rule flags, one byte of delimiter-set length, the set, then the text(s).
struct FuzzInput {
    kivo::CompareOptions options;
    std::string rest;

    FuzzInput(const std::uint8_t *data, std::size_t size)
    {
        std::size_t at = 0;
        const std::uint8_t flags = at < size ? data[at++] : 0;
        options.CmpChar = flags & 1;
        options.CmpCase = (flags >> 1) & 1;
        options.CmpZen = (flags >> 2) & 1;
        options.CmpZenSp = (flags >> 3) & 1;
        options.ViewFormat = static_cast<kivo::SentenceLayout>((flags >> 4) & 1);
        options.CmpKana = (flags >> 5) & 1;
        options.CmpPunct = (flags >> 6) & 1;
        options.KeepQuotes = (flags >> 7) & 1;
        options.ViewMove = (flags >> 7) & 1;
        const std::size_t setLength = at < size ? data[at++] % 8 : 0;
        const std::size_t take = setLength < size - at ? setLength : size - at;
        options.Sptr[0].assign(reinterpret_cast<const char *>(data + at), take);
        at += take;
        rest.assign(reinterpret_cast<const char *>(data + at), size - at);
    }
};
