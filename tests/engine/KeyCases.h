#pragma once

#include "Normalize.h"
#include "CompareOptions.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace kivo::test {

/// Two texts and the rules under which their comparison keys must be equal, or not.
struct KeyCase {
    const char *name;
    const char *left;
    const char *right;
    int cmpCase, cmpZen, cmpZenSp;
    bool equal;
    int cmpKana = 0;
    int cmpPunct = 0;
};

/// The key rules' table test; each file instantiates it with its own rows.
class SentenceKeys : public testing::TestWithParam<KeyCase> {};

inline std::string KeyCaseName(const testing::TestParamInfo<KeyCase> &row)
{
    return row.param.name;
}

} // namespace kivo::test
