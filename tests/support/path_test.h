// The fixture of every SIMD path test: one instance per path of a table, named "EveryPath/<Family>Path
// .<Case>/<path>" as the test summary reads them (scripts/test_suites.sh). A path this processor (or its
// system) lacks is reported as skipped, never passed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

template <class Path> class PathTest : public testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        if (!this->GetParam().available())
            GTEST_SKIP() << "this processor (or its system) lacks what the " << this->GetParam().name << " path needs";
    }
};

// The path's name as a test name: letters, digits and '_'.
template <class Path> std::string PathName(const testing::TestParamInfo<Path>& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

#define INSTANTIATE_EVERY_PATH(Fixture, PathType, paths)                                                               \
    INSTANTIATE_TEST_SUITE_P(EveryPath, Fixture, testing::ValuesIn(paths), PathName<PathType>)
