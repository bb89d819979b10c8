// The text-field model: caret moves against the character boundaries of Python's cp932 codec
// over every row (tests/data/text_field/cp932_rows.tsv, written by
// scripts/make_cp932_vectors.py), typing and deleting, the limits, text set by the game kept
// whole, lines, words, undo, read-only fields and the composition.
#include "components/text_field_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mobu {
namespace {

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct TRow {
    std::string text;
    std::vector<size_t> lengths;
};

std::vector<TRow> Rows()
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/text_field/cp932_rows.tsv");
    std::vector<TRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string hex, lengths;
        std::getline(fields, hex, '\t');
        std::getline(fields, lengths, '\t');
        TRow row{FromHex(hex), {}};
        std::istringstream numbers(lengths);
        for (size_t n = 0; numbers >> n;) row.lengths.push_back(n);
        rows.push_back(row);
    }
    return rows;
}

TEST(TextFieldModel, CaretMovesByTheCharactersOfEveryCp932Row)
{
    const std::vector<TRow> rows = Rows();
    ASSERT_GE(rows.size(), 50u);
    for (const TRow& row : rows) {
        TTextFieldModel field(false);
        field.SetText(row.text);
        EXPECT_EQ(field.CharCount(), row.lengths.size());
        field.MoveTo(0, false);
        size_t offset = 0;
        for (size_t length : row.lengths) {
            field.Right(false, false);
            offset += length;
            ASSERT_EQ(field.Caret(), offset) << row.text.size();
        }
        for (size_t i = row.lengths.size(); i-- > 0;) {
            field.Left(false, false);
            offset -= row.lengths[i];
            ASSERT_EQ(field.Caret(), offset);
        }
        // Backspace at the end removes exactly the last character's bytes.
        field.End(false);
        ASSERT_TRUE(field.Backspace());
        EXPECT_EQ(field.Text(), row.text.substr(0, row.text.size() - row.lengths.back()));
        // A position inside a character is its start.
        EXPECT_EQ(field.Boundary(row.lengths[0] + 1), row.lengths[0] + (row.lengths[1] == 2 ? 0 : 1));
    }
}

TEST(TextFieldModel, TypingReplacesTheSelectionAndDeletingTakesWholeCharacters)
{
    const std::string a = "\x82\xa0", i = "\x82\xa2", u = "\x82\xa4";  // あ い う
    struct TCase {
        std::string text;
        size_t caret, anchor;  // characters
        char op;  // 'i' insert, 'b' backspace, 'd' delete
        std::string typed;
        std::string after;
        size_t caret_after;
    };
    const TCase cases[] = {
        {a + i, 1, 1, 'i', "x", a + "x" + i, 2},
        {a + i, 0, 2, 'i', u, u, 1},
        {a + i, 2, 2, 'b', "", a, 1},
        {a + i, 0, 0, 'd', "", i, 0},
        {a + i, 0, 0, 'b', "", a + i, 0},
        {a + i, 2, 2, 'd', "", a + i, 2},
        {a + "b" + i, 1, 3, 'b', "", a, 1},
        {"ab", 2, 2, 'i', std::string("c\x82"), "abc", 3},  // a lone lead byte typed is dropped
    };
    for (const TCase& c : cases) {
        TTextFieldModel field(false);
        field.SetText(c.text);
        field.MoveTo(field.OffsetOfChar(c.anchor), false);
        field.MoveTo(field.OffsetOfChar(c.caret), true);
        if (c.op == 'i') field.Insert(c.typed);
        else if (c.op == 'b') field.Backspace();
        else field.Delete();
        EXPECT_EQ(field.Text(), c.after) << c.op << " " << c.caret;
        EXPECT_EQ(field.CaretChars(), c.caret_after) << c.op << " " << c.caret;
        EXPECT_FALSE(field.HasSelection());
    }
}

TEST(TextFieldModel, WhatTheUserBringsInIsCutAtTheLimit)
{
    TTextFieldModel edit(false);
    EXPECT_EQ(edit.Limit(), 32767u);
    std::string wide;
    for (int k = 0; k < 40000; ++k) wide += "\x88\x9f";  // 亜
    edit.SetText("");
    EXPECT_TRUE(edit.Insert(wide));
    EXPECT_EQ(edit.CharCount(), 32767u);
    EXPECT_EQ(edit.Text().size(), 2u * 32767);
    EXPECT_FALSE(edit.Insert("x"));  // full
    edit.MoveTo(0, false);
    edit.MoveTo(edit.OffsetOfChar(2), true);
    EXPECT_TRUE(edit.Insert("xyz"));  // two characters selected: two fit
    EXPECT_EQ(edit.Text().substr(0, 3), "xy\x88");
    EXPECT_EQ(edit.CharCount(), 32767u);

    TTextFieldModel memo(true);
    EXPECT_EQ(memo.Limit(), 1024u * 1024u);
    std::string big(1024 * 1024 + 10, 'm');
    EXPECT_TRUE(memo.Insert(big));
    EXPECT_EQ(memo.CharCount(), 1024u * 1024u);
}

TEST(TextFieldModel, TextTheGameSetsIsKeptWholeAndSelected)
{
    TTextFieldModel edit(false);
    const std::string long_text(40000, 'q');
    edit.SetText(long_text);
    EXPECT_EQ(edit.Text(), long_text);
    EXPECT_EQ(edit.SelStart(), 0u);
    EXPECT_EQ(edit.SelEnd(), long_text.size());
    // A lone lead byte at the end stays the last byte; typing goes before it.
    edit.SetText("ab\x82");
    EXPECT_EQ(edit.CharCount(), 3u);
    edit.End(false);
    EXPECT_EQ(edit.Caret(), 3u);
    EXPECT_TRUE(edit.Insert("c"));
    EXPECT_EQ(edit.Text(), "abc\x82");
    EXPECT_EQ(edit.Caret(), 3u);  // before the lone lead byte, never inside a character
    edit.Right(false, false);
    EXPECT_EQ(edit.Caret(), 4u);
    edit.Left(false, false);
    EXPECT_EQ(edit.Caret(), 3u);
}

TEST(TextFieldModel, LinesWordsAndTheSingleLineEdit)
{
    TTextFieldModel edit(false);
    edit.Insert("one\r\ntwo");
    EXPECT_EQ(edit.Text(), "one");  // an edit keeps the first line of a paste
    TTextFieldModel memo(true);
    memo.Insert("one\r\ntwo");
    EXPECT_EQ(memo.Text(), "one\r\ntwo");
    memo.MoveTo(5, false);
    memo.Home(false);
    EXPECT_EQ(memo.Caret(), 5u);
    memo.Backspace();  // CR LF goes as one
    EXPECT_EQ(memo.Text(), "onetwo");
    memo.End(true);
    EXPECT_EQ(memo.SelectedText(), "two");

    const std::string kanji = "\x93\xfa\x96\x7b";  // 日本 (the trail 0x7B is no ASCII punctuation)
    TTextFieldModel words(false);
    words.SetText("abc  " + kanji + "def, x");
    words.MoveTo(0, false);
    const size_t stops[] = {5, 9, 12, 14, 15};
    for (size_t stop : stops) {
        words.Right(false, true);
        EXPECT_EQ(words.Caret(), stop);
    }
    const size_t back[] = {14, 12, 9, 5, 0};
    for (size_t stop : back) {
        words.Left(false, true);
        EXPECT_EQ(words.Caret(), stop);
    }
    words.SelectWord(6);
    EXPECT_EQ(words.SelectedText(), kanji);
}

TEST(TextFieldModel, OneLevelOfUndoAndReadOnlyFields)
{
    TTextFieldModel field(false);
    field.SetText("abc");
    EXPECT_FALSE(field.Undo());  // the game's text is no step to undo
    field.End(false);
    field.Insert("d");
    EXPECT_TRUE(field.Undo());
    EXPECT_EQ(field.Text(), "abc");
    EXPECT_TRUE(field.Undo());  // a second undo redoes
    EXPECT_EQ(field.Text(), "abcd");

    field.ReadOnly = true;
    EXPECT_FALSE(field.Insert("x"));
    EXPECT_FALSE(field.Backspace());
    EXPECT_FALSE(field.Delete());
    EXPECT_FALSE(field.Cut());
    EXPECT_FALSE(field.Undo());
    field.SelectAll();  // caret and selection still move
    EXPECT_EQ(field.SelectedText(), "abcd");
    field.Left(true, false);
    EXPECT_EQ(field.SelectedText(), "abc");
}

TEST(TextFieldModel, TheCompositionIsShownButNotPartOfTheText)
{
    TTextFieldModel field(false);
    field.SetText("ab");
    field.End(false);
    const std::string nihon = "\x82\xc9\x82\xd9\x82\xf1";  // にほん
    field.SetComposition(nihon, 3, 1, 9);
    EXPECT_TRUE(field.Composing());
    EXPECT_EQ(field.Text(), "ab");
    EXPECT_EQ(field.CompositionCaret(), 3u);
    EXPECT_EQ(field.CompositionStart(), 1u);
    EXPECT_EQ(field.CompositionLength(), 2u);  // clamped into the composition
    field.SetComposition(nihon + "\x82", 99, 99, 1);  // a lone lead byte is no character
    EXPECT_EQ(field.Composition(), nihon);
    EXPECT_EQ(field.CompositionCaret(), 3u);
    EXPECT_EQ(field.CompositionLength(), 0u);
    field.EndComposition();
    EXPECT_FALSE(field.Composing());
    field.Insert("\x93\xfa\x96\x7b");  // committed
    EXPECT_EQ(field.Text(), "ab\x93\xfa\x96\x7b");
}

}  // namespace
}  // namespace mobu
