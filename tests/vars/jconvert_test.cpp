#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/mobu_error.h"
#include "expr/jconvert.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::string J(const char8_t* utf8) { return SysText(utf8); }

std::string FromHex(const std::string& hex)
{
    if (hex == "-") return std::string();
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string Show(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// Every line of the table made by tests/data/vars/make_cp932_table.py with Python's codec.
TEST(JConvert, AgreesWithPythonCodecTable)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/vars/cp932_table.tsv");
    ASSERT_TRUE(in) << "missing table";
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        const std::string& op = f[0];
        SCOPED_TRACE(line);
        if (op == "len") {
            EXPECT_EQ(JLength(FromHex(f[1])), std::stoi(f[2]));
        } else if (op == "c2b") {
            EXPECT_EQ(CharToBytePos(FromHex(f[1]), std::stoi(f[2])), std::stoi(f[3]));
        } else if (op == "code") {
            EXPECT_EQ(CharCodeAt(FromHex(f[1]), std::stoi(f[2])), std::stoi(f[3]));
        } else if (op == "trail") {
            EXPECT_EQ(IsTrailByte(FromHex(f[1]), std::stoi(f[2])), f[3] == "1");
        } else if (op == "copy") {
            EXPECT_EQ(Show(JCopy(FromHex(f[1]), std::stoi(f[2]), std::stoi(f[3]))), Show(FromHex(f[4])));
        } else if (op == "del") {
            std::string text = FromHex(f[1]);
            JDelete(text, std::stoi(f[2]), std::stoi(f[3]));
            EXPECT_EQ(Show(text), Show(FromHex(f[4])));
        } else if (op == "ins") {
            std::string text = FromHex(f[2]);
            JInsert(FromHex(f[1]), text, std::stoi(f[3]));
            EXPECT_EQ(Show(text), Show(FromHex(f[4])));
        } else if (op == "pos") {
            EXPECT_EQ(JPos(FromHex(f[1]), FromHex(f[2])), std::stoi(f[3]));
        } else if (op == "trim") {
            EXPECT_EQ(Show(JTrim(FromHex(f[1]))), Show(FromHex(f[2])));
        } else if (op == "cut") {
            std::string text = FromHex(f[1]);
            const std::string token = CutToken(text, FromHex(f[2]));
            EXPECT_EQ(Show(token), Show(FromHex(f[3])));
            EXPECT_EQ(Show(text), Show(FromHex(f[4])));
            const std::string whole = FromHex(f[1]);
            size_t position = 0;
            EXPECT_EQ(Show(std::string(NextToken(whole, position, FromHex(f[2])))), Show(FromHex(f[3])));
            EXPECT_EQ(Show(whole.substr(position)), Show(FromHex(f[4])));
        } else if (op == "h2z") {
            EXPECT_EQ(Show(HanToZen(FromHex(f[1]))), Show(FromHex(f[2])));
        } else if (op == "z2h") {
            EXPECT_EQ(Show(ZenToHan(FromHex(f[1]))), Show(FromHex(f[2])));
        } else {
            ADD_FAILURE() << "unknown operation";
        }
        ++checked;
    }
    EXPECT_GT(checked, 5000);
}

TEST(JConvert, EdgeCases)
{
    EXPECT_EQ(JLength(J(u8"aあb")), 3);
    EXPECT_EQ(J(u8"aあb").size(), 4u);
    const std::string aiueo = J(u8"あいうえお");
    EXPECT_EQ(JCopy(aiueo, 2, 2), J(u8"いう"));
    EXPECT_EQ(JCopy(aiueo, 2, 0), J(u8"い"));
    EXPECT_EQ(JCopy(aiueo, 6, 3), "");
    EXPECT_EQ(JCopy("", 1, 3), "");
    std::string text = aiueo;
    JDelete(text, 2, 2);
    EXPECT_EQ(text, J(u8"あえお"));
    text = aiueo;
    JDelete(text, 9, 1);
    EXPECT_EQ(text, aiueo);
    text = aiueo;
    JDelete(text, 2, 9);
    EXPECT_EQ(text, J(u8"あ"));
    for (auto [position, expected] : std::vector<std::pair<int, const char8_t*>>{
             {2, u8"あXい"}, {3, u8"あいX"}, {7, u8"あいX"}, {0, u8"Xあい"}}) {
        text = J(u8"あい");
        JInsert("X", text, position);
        EXPECT_EQ(text, J(expected)) << position;
    }
    text.clear();
    JInsert("p", text, 5);
    EXPECT_EQ(text, "p");
    EXPECT_EQ(JPos(J(u8"い"), J(u8"あい")), 2);
    EXPECT_EQ(JPos("\xa0", J(u8"あ")), 0);  // the trail byte of あ is not a character
    EXPECT_EQ(JPos("", "abc"), 0);
    EXPECT_EQ(JPos("abcd", "abc"), 0);
    EXPECT_EQ(JTrim(J(u8"　 ab 　")), "ab");
    EXPECT_EQ(JTrim("\tab\t"), "\tab\t");
    EXPECT_EQ(JTrim(""), "");
    // A full-width space as trail+lead across characters is not trimmed: "\x81\x81\x40" is
    // "＝" followed by "@".
    EXPECT_EQ(JTrim("\x81\x81\x40"), "\x81\x81\x40");
    text = "a,b";
    EXPECT_EQ(CutToken(text, ","), "a");
    EXPECT_EQ(text, "b");
    text = "ab";
    EXPECT_EQ(CutToken(text, ","), "ab");
    EXPECT_EQ(text, "");
    // A two-byte delimiter acts as its two bytes: its lead byte matches any character with
    // that lead byte, its trail byte a one-byte character of that value.
    const std::string comma = J(u8"、");  // 0x81 0x41: its trail byte is "A"
    text = "xAy";
    EXPECT_EQ(CutToken(text, comma), "x");
    EXPECT_EQ(text, "y");
    text = "x" + J(u8"＝") + "y";  // ＝ = 0x81 0x81 starts with the same lead byte
    EXPECT_EQ(CutToken(text, comma), "x");
    EXPECT_EQ(text, "\x81y");
    text = J(u8"あA");  // 0x82 0xA0 'A': the trail 0xA0 is never compared
    EXPECT_EQ(CutToken(text, "\xa0"), J(u8"あA"));
    EXPECT_EQ(HanToZen(J(u8"ｶﾞｷﾞｳﾞﾊﾟ")), J(u8"ガギウ゛パ"));
    EXPECT_EQ(HanToZen("a\tb"), J(u8"ａｂ"));
    EXPECT_EQ(ZenToHan(J(u8"ガ漢ａ")), J(u8"ｶﾞa"));
    EXPECT_EQ(ZenToHan(J(u8"“”")), "\"\"");
    EXPECT_EQ(HanToZen("\"'\\`"), "\x81\x68\x81\x66\x81\x8f\x81\x65");
    EXPECT_EQ(HanToZen("\xde\xdf"), "\x81\x4a\x81\x4b");
    EXPECT_EQ(ZenToHan(J(u8"ヴヵヶヮヰヱ")), "");
}

TEST(JConvert, HalfFullRoundTrip)
{
    std::string all;
    for (int byte = 0x20; byte <= 0x7E; ++byte) all.push_back(static_cast<char>(byte));
    for (int byte = 0xA1; byte <= 0xDF; ++byte) all.push_back(static_cast<char>(byte));
    EXPECT_EQ(ZenToHan(HanToZen(all)), all);
}

TEST(JConvert, LoneLeadByteAtTheEndIsNeverReadPast)
{
    // Each case sits at the very end of a heap buffer so a read past it would be caught by
    // the address sanitizer; the results must stay within the text.
    const std::string text = "ab\x82";
    EXPECT_EQ(JLength(text), 3);
    EXPECT_EQ(JCopy(text, 3, 5), "\x82");
    EXPECT_EQ(JCopy(text, 1, 9), text);
    EXPECT_EQ(CharCodeAt(text, 3), 0x8200);
    EXPECT_EQ(JPos("\x82", text), 3);
    std::string deleted = text;
    JDelete(deleted, 3, 1);
    EXPECT_EQ(deleted, "ab");
    std::string inserted = text;
    JInsert("X", inserted, 3);
    EXPECT_EQ(inserted, "abX\x82");
    EXPECT_EQ(HanToZen(text), J(u8"ａｂ") + "\x82");
    EXPECT_EQ(ZenToHan(text), "ab");
    EXPECT_EQ(JTrim("\x82"), "\x82");
    std::string cut = "\x82";
    EXPECT_EQ(CutToken(cut, ","), "\x82");
    EXPECT_TRUE(JSameText("A\x82", "a\x82"));
}

TEST(JConvert, IsTrailByteRejectsPositionsOutside)
{
    EXPECT_THROW(IsTrailByte("ab", 0), EMobuError);
    EXPECT_THROW(IsTrailByte("ab", 3), EMobuError);
    EXPECT_FALSE(IsTrailByte("\x82\xa0", 1));
    EXPECT_TRUE(IsTrailByte("\x82\xa0", 2));
}

TEST(JConvert, LowerCaseLeavesTrailBytes)
{
    EXPECT_EQ(JLowerCase("AbC\x83\x41Z"), "abc\x83\x41z");
    EXPECT_TRUE(JSameText("ABC\x83\x41", "abc\x83\x41"));
    EXPECT_FALSE(JSameText("\x83\x41", "\x83\x61"));
}

}  // namespace
}  // namespace mobu
