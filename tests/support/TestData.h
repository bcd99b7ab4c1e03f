// The files kept under tests/data, read whole. Header-only: KADREL_TEST_DATA is set for each
// test program that reads them.
#pragma once
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

// The bytes of tests/data/<relative>.
inline std::string testData(const std::string& relative)
{
    std::ifstream in(std::string(KADREL_TEST_DATA) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << relative;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
