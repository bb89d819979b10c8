#include "components/text_field_model.h"

#include <algorithm>
#include "core/cp932_chars.h"

namespace mobu {
namespace {

// Classes of characters a word is made of.
constexpr int kSpace = 0, kBreak = 1, kWord = 2, kPunct = 3, kHalfKana = 4, kWide = 5;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Whether the text ends in a lead byte with no trail byte after it.
bool EndsInLoneLead(const std::string& text)
{
    if (text.empty() || !IsLeadByte(text.back())) return false;
    size_t i = 0, last = 0;
    while (i < text.size()) {
        last = i;
        i += Cp932CharLength(text, i);
    }
    return last == text.size() - 1;
}

// The first `count` characters of `text` (whole characters only), and how many there were.
std::string FirstChars(const std::string& text, size_t count)
{
    size_t i = 0, n = 0;
    while (i < text.size() && n < count) {
        i += Cp932CharLength(text, i);
        ++n;
    }
    return text.substr(0, i);
}

// What the user brings in: a lone lead byte at the end is no character.
std::string WholeChars(std::string text)
{
    if (EndsInLoneLead(text)) text.pop_back();
    return text;
}

}  // namespace

TTextFieldModel::TTextFieldModel(bool multiline) : multiline_(multiline), limit_(multiline ? kMemoLimit : kEditLimit)
{
}

void TTextFieldModel::SetText(const std::string& text)
{
    text_ = text;
    starts_valid_ = false;
    anchor_ = 0;
    caret_ = text_.size();
    has_undo_ = false;
    undo_text_.clear();
    ++revision_;
}

const std::vector<size_t>& TTextFieldModel::Starts() const
{
    if (!starts_valid_) {
        starts_.clear();
        for (size_t i = 0; i < text_.size(); i += Cp932CharLength(text_, i)) starts_.push_back(i);
        starts_.push_back(text_.size());
        starts_valid_ = true;
    }
    return starts_;
}

size_t TTextFieldModel::CharsBefore(size_t offset) const
{
    const std::vector<size_t>& starts = Starts();
    return static_cast<size_t>(std::lower_bound(starts.begin(), starts.end() - 1, offset) - starts.begin());
}

size_t TTextFieldModel::OffsetOfChar(size_t index) const
{
    const std::vector<size_t>& starts = Starts();
    return index < starts.size() ? starts[index] : text_.size();
}

size_t TTextFieldModel::Boundary(size_t offset) const
{
    if (offset >= text_.size()) return text_.size();
    const std::vector<size_t>& starts = Starts();
    return *(std::upper_bound(starts.begin(), starts.end(), offset) - 1);
}

size_t TTextFieldModel::NextChar(size_t offset) const
{
    offset = Boundary(offset);
    if (offset >= text_.size()) return text_.size();
    if (text_.compare(offset, 2, "\r\n") == 0) return offset + 2;
    return OffsetOfChar(CharsBefore(offset) + 1);
}

size_t TTextFieldModel::PreviousChar(size_t offset) const
{
    offset = Boundary(offset);
    if (offset == 0) return 0;
    if (offset >= 2 && text_.compare(offset - 2, 2, "\r\n") == 0) return offset - 2;
    return OffsetOfChar(CharsBefore(offset) - 1);
}

int TTextFieldModel::CharClass(size_t offset) const
{
    const auto c = static_cast<uint8_t>(text_[offset]);
    if (Cp932CharLength(text_, offset) == 2) {
        // The ideographic space is a space.
        return c == 0x81 && static_cast<uint8_t>(text_[offset + 1]) == 0x40 ? kSpace : kWide;
    }
    if (c == ' ' || c == '\t') return kSpace;
    if (IsBreak(static_cast<char>(c))) return kBreak;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return kWord;
    if (c >= 0xA1 && c <= 0xDF) return kHalfKana;
    return kPunct;
}

size_t TTextFieldModel::NextWord(size_t offset) const
{
    offset = Boundary(offset);
    if (offset >= text_.size()) return text_.size();
    const int kind = CharClass(offset);
    if (kind == kBreak) return NextChar(offset);
    if (kind != kSpace)
        while (offset < text_.size() && CharClass(offset) == kind) offset = NextChar(offset);
    while (offset < text_.size() && CharClass(offset) == kSpace) offset = NextChar(offset);
    return offset;
}

size_t TTextFieldModel::PreviousWord(size_t offset) const
{
    offset = Boundary(offset);
    while (offset > 0 && CharClass(PreviousChar(offset)) == kSpace) offset = PreviousChar(offset);
    if (offset == 0) return 0;
    const int kind = CharClass(PreviousChar(offset));
    if (kind == kBreak) return PreviousChar(offset);
    while (offset > 0 && CharClass(PreviousChar(offset)) == kind) offset = PreviousChar(offset);
    return offset;
}

size_t TTextFieldModel::LineStart(size_t offset) const
{
    offset = Boundary(offset);
    while (offset > 0 && !IsBreak(text_[offset - 1])) --offset;
    return Boundary(offset);
}

size_t TTextFieldModel::LineEnd(size_t offset) const
{
    offset = Boundary(offset);
    // Trail bytes are never CR or LF, so the bytes can be searched directly.
    const size_t end = text_.find_first_of("\r\n", offset);
    return end == std::string::npos ? text_.size() : end;
}

void TTextFieldModel::MoveTo(size_t offset, bool extend)
{
    caret_ = Boundary(offset);
    if (!extend) anchor_ = caret_;
    ++revision_;
}

void TTextFieldModel::Left(bool extend, bool word)
{
    if (HasSelection() && !extend && !word) return MoveTo(SelStart(), false);
    MoveTo(word ? PreviousWord(caret_) : PreviousChar(caret_), extend);
}

void TTextFieldModel::Right(bool extend, bool word)
{
    if (HasSelection() && !extend && !word) return MoveTo(SelEnd(), false);
    MoveTo(word ? NextWord(caret_) : NextChar(caret_), extend);
}

void TTextFieldModel::Home(bool extend) { MoveTo(multiline_ ? LineStart(caret_) : 0, extend); }

void TTextFieldModel::End(bool extend) { MoveTo(multiline_ ? LineEnd(caret_) : text_.size(), extend); }

void TTextFieldModel::SelectAll()
{
    anchor_ = 0;
    caret_ = text_.size();
    ++revision_;
}

void TTextFieldModel::SelectWord(size_t offset)
{
    offset = Boundary(offset);
    if (offset >= text_.size()) {
        MoveTo(text_.size(), false);
        return;
    }
    const int kind = CharClass(offset);
    size_t from = offset, to = NextChar(offset);
    if (kind != kBreak) {
        while (from > 0 && CharClass(PreviousChar(from)) == kind) from = PreviousChar(from);
        while (to < text_.size() && CharClass(to) == kind) to = NextChar(to);
    }
    anchor_ = from;
    caret_ = to;
    ++revision_;
}

void TTextFieldModel::Remember()
{
    undo_text_ = text_;
    undo_caret_ = caret_;
    undo_anchor_ = anchor_;
    has_undo_ = true;
}

void TTextFieldModel::Replace(size_t from, size_t to, const std::string& with)
{
    // A lone lead byte the game left at the end stays the last byte: what is typed after it
    // goes before it, so it never becomes that byte's trail.
    if (from == text_.size() && EndsInLoneLead(text_)) from = to = text_.size() - 1;
    Remember();
    text_.replace(from, to - from, with);
    starts_valid_ = false;
    caret_ = anchor_ = from + with.size();
    ++revision_;
}

bool TTextFieldModel::Insert(const std::string& typed)
{
    if (ReadOnly) return false;
    std::string text = WholeChars(typed);
    if (!multiline_) {
        const size_t line_end = text.find_first_of("\r\n");
        if (line_end != std::string::npos) text.resize(line_end);
    }
    const size_t kept = CharCount() - (SelEndChars() - SelStartChars());
    const size_t room = kept >= limit_ ? 0 : limit_ - kept;
    text = FirstChars(text, room);
    if (text.empty() && !HasSelection()) return false;
    Replace(SelStart(), SelEnd(), text);
    return true;
}

bool TTextFieldModel::Backspace()
{
    if (ReadOnly) return false;
    if (HasSelection()) {
        Replace(SelStart(), SelEnd(), std::string());
        return true;
    }
    if (caret_ == 0) return false;
    Replace(PreviousChar(caret_), caret_, std::string());
    return true;
}

bool TTextFieldModel::Delete()
{
    if (ReadOnly) return false;
    if (HasSelection()) {
        Replace(SelStart(), SelEnd(), std::string());
        return true;
    }
    if (caret_ >= text_.size()) return false;
    Replace(caret_, NextChar(caret_), std::string());
    return true;
}

bool TTextFieldModel::Cut()
{
    if (ReadOnly || !HasSelection()) return false;
    Replace(SelStart(), SelEnd(), std::string());
    return true;
}

bool TTextFieldModel::Undo()
{
    if (ReadOnly || !has_undo_) return false;
    std::swap(text_, undo_text_);
    starts_valid_ = false;
    std::swap(caret_, undo_caret_);
    std::swap(anchor_, undo_anchor_);
    ++revision_;
    return true;
}

void TTextFieldModel::SetComposition(const std::string& text, size_t caret, size_t start, size_t length)
{
    composition_ = FirstChars(WholeChars(text), limit_);
    size_t count = 0;
    for (size_t i = 0; i < composition_.size(); i += Cp932CharLength(composition_, i)) ++count;
    composition_caret_ = std::min(caret, count);
    composition_start_ = std::min(start, count);
    composition_length_ = std::min(length, count - composition_start_);
    ++revision_;
}

}  // namespace mobu
