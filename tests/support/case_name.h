#pragma once
// Names a table's cases by their rows' `name` field, for INSTANTIATE_TEST_SUITE_P.

#include <gtest/gtest.h>

#include <string>

namespace decimon::test {

struct CaseName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

}  // namespace decimon::test
