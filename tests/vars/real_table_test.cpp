#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "expr/param_conversion.h"
#include "core/real80.h"

namespace mobu {
namespace {

std::string BytesHex(Real value)
{
    uint8_t bytes[kRealStoredSize];
    RealToBytes(value, bytes);
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// tests/data/vars/make_real_table.py computes the nearest 80-bit real of each decimal text
// and its general-format text exactly, with Python integers and Decimal.
TEST(RealTable, ParseAndGeneralFormatAgreeWithExactArithmetic)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/vars/real_table.tsv");
    ASSERT_TRUE(in);
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string text, hex, general;
        std::getline(fields, text, '\t');
        std::getline(fields, hex, '\t');
        std::getline(fields, general, '\t');
        SCOPED_TRACE(line);
        Real value = -1;
        ASSERT_TRUE(TryTextToReal(text, value));
        EXPECT_EQ(BytesHex(value), hex);
        EXPECT_EQ(RealToText(value), general);
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

}  // namespace
}  // namespace mobu
