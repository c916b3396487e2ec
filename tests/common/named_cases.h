// Tables of cases: each case has a field name, after which its test is named and which a
// failure prints for it.
#ifndef VORNAKDSN_TESTS_NAMED_CASES_H
#define VORNAKDSN_TESTS_NAMED_CASES_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// The name generator for INSTANTIATE_TEST_SUITE_P.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// Declares, beside the case type (where gtest looks for it), how a case is printed: by name.
#define PRINT_CASES_BY_NAME(Case) \
    inline void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

#endif
