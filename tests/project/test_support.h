// Shared helpers of the project tests: fixtures from tests/data/project and cp932 literals.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/text_encoding.h"

namespace mobu::testing {

inline std::string FixturePath(const std::string& name)
{
    return std::string(MOBU_SOURCE_DIR) + "/tests/data/project/" + name;
}

inline std::string ReadFixture(const std::string& name)
{
    std::ifstream file(FixturePath(name), std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    std::ostringstream out;
    out << file.rdbuf();
    return out.str();
}

// A UTF-8 literal as the cp932 bytes the player handles.
inline std::string J(const char8_t* utf8) { return SysText(utf8); }

}  // namespace mobu::testing
