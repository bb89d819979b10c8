// Layout against the reference written in Python from the layout rules
// (tests/data/text/layout_reference.py): a few hundred random texts of Japanese, both
// punctuation sets, Latin words, NOBR, RUBY, BR and CLEAR at random widths and heights.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/text_encoding.h"
#include "text/ks_word.h"

namespace mobu {
namespace {

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.push_back("");
    return fields;
}

struct Case {
    int size = 0, width = 0, height = -1;
    std::string text;
    std::string expected;  // "page" and "row Y W H TEXT" lines
};

std::string Actual(const Case& c)
{
    TKsWord engine;
    engine.FontSize = c.size;
    engine.Width = c.width;
    engine.Paging = c.height >= 0 ? 1 : 0;
    engine.Height = std::max(0, c.height);
    engine.SetText({Utf8ToCp932(c.text)}, 50);
    TWdPageList pages;
    engine.Layout(pages);
    std::string out;
    for (auto& page : pages) {
        out += "page\n";
        for (auto& row : page->Rows)
            out += "row\t" + std::to_string(row->Y) + "\t" + std::to_string(row->Width) + "\t" +
                   std::to_string(row->Height) + "\t" + Cp932ToUtf8(TKsWord::RowText(*row, "")) + "\n";
    }
    return out;
}

TEST(LayoutReference, RowsAndPagesMatchTheReference)
{
    std::ifstream file(std::string(MOBU_SOURCE_DIR) + "/tests/data/text/layout_vectors.txt");
    ASSERT_TRUE(file) << "layout vectors missing";
    std::vector<Case> cases;
    std::string line;
    while (std::getline(file, line)) {
        const auto fields = Fields(line);
        if (fields.empty()) continue;
        if (fields[0] == "case") {
            ASSERT_EQ(fields.size(), 5u) << line;
            Case c;
            c.size = std::stoi(fields[1]);
            c.width = std::stoi(fields[2]);
            c.height = fields[3] == "-" ? -1 : std::stoi(fields[3]);
            c.text = fields[4];
            cases.push_back(c);
        } else {
            ASSERT_FALSE(cases.empty());
            cases.back().expected += line + "\n";
        }
    }
    ASSERT_GE(cases.size(), 300u);
    int mismatches = 0;
    for (const Case& c : cases) {
        const std::string actual = Actual(c);
        if (actual != c.expected && ++mismatches <= 5)
            ADD_FAILURE() << c.text << " size " << c.size << " width " << c.width << " height " << c.height
                          << "\nexpected:\n" << c.expected << "actual:\n" << actual;
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace mobu
