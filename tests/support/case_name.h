#pragma once
// Names the cases of a parameterised test after their `name` field, so that a failing case
// says which row of its table it is.

#include <gtest/gtest.h>

#include <string>

namespace decimon::test {

struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

}  // namespace decimon::test
