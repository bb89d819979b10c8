// The text of an edit or memo field as the player keeps it: cp932 bytes exactly as the game
// reads and writes them, a caret and a selection that move by whole cp932 characters, the
// input method's composition shown beside the text until it is committed, one level of
// undo, and a limit on what the user types or pastes. Positions are byte offsets that
// always lie on character boundaries; the *Chars accessors count characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

class TTextFieldModel {
public:
    // Characters the user may bring into an edit and a memo.
    static constexpr size_t kEditLimit = 32767;
    static constexpr size_t kMemoLimit = 1024 * 1024;

    explicit TTextFieldModel(bool multiline);

    bool Multiline() const { return multiline_; }
    size_t Limit() const { return limit_; }
    bool ReadOnly = false;

    // ---- the text ----
    const std::string& Text() const { return text_; }
    // Text set by the game: kept whole (beyond the limit too, with a lone lead byte at its
    // end), everything selected, the undo step dropped.
    void SetText(const std::string& text);
    size_t CharCount() const { return Starts().size() - 1; }

    // ---- caret and selection (byte offsets on character boundaries) ----
    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }
    size_t SelStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t SelEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::string SelectedText() const { return text_.substr(SelStart(), SelEnd() - SelStart()); }
    size_t CaretChars() const { return CharsBefore(caret_); }
    size_t SelStartChars() const { return CharsBefore(SelStart()); }
    size_t SelEndChars() const { return CharsBefore(SelEnd()); }
    // The characters before byte `offset` (which lies on a boundary).
    size_t CharsBefore(size_t offset) const;
    // The byte offset of character `index` (the end for an index past it).
    size_t OffsetOfChar(size_t index) const;
    // The boundary at or before `offset`: a position inside a character moves to its start.
    size_t Boundary(size_t offset) const;
    size_t NextChar(size_t offset) const;
    size_t PreviousChar(size_t offset) const;
    size_t NextWord(size_t offset) const;
    size_t PreviousWord(size_t offset) const;
    // Start and end of the line holding `offset` (lines end at CR LF, CR or LF).
    size_t LineStart(size_t offset) const;
    size_t LineEnd(size_t offset) const;

    // Moves the caret to `offset` (made a boundary); without `extend` the selection goes.
    void MoveTo(size_t offset, bool extend);
    void Left(bool extend, bool word);
    void Right(bool extend, bool word);
    void Home(bool extend);
    void End(bool extend);
    void SelectAll();
    // The word (or run of spaces) around `offset`, selected.
    void SelectWord(size_t offset);

    // ---- editing (refused when read-only) ----
    // Replaces the selection with typed or pasted cp932 text: cut at the limit on a
    // character boundary; an edit keeps only the first line. True when the text changed.
    bool Insert(const std::string& text);
    bool Backspace();
    bool Delete();
    // The selection removed (its text returned by SelectedText before).
    bool Cut();
    // Swaps the text with the one before the last edit (a second undo redoes).
    bool Undo();
    bool CanUndo() const { return has_undo_; }

    // ---- the input method's composition (not part of the text) ----
    // The composition now shown at the caret: cp932 text, its caret and the converted part
    // in characters of the composition (clamped into it). Empty text ends it.
    void SetComposition(const std::string& text, size_t caret, size_t start, size_t length);
    void EndComposition() { SetComposition(std::string(), 0, 0, 0); }
    const std::string& Composition() const { return composition_; }
    size_t CompositionCaret() const { return composition_caret_; }
    size_t CompositionStart() const { return composition_start_; }
    size_t CompositionLength() const { return composition_length_; }
    bool Composing() const { return !composition_.empty(); }

    // Counts a change (typing, deleting, setting the text, moving the caret): the field uses it
    // to show the caret steadily after a change.
    uint64_t Revision() const { return revision_; }

private:
    // The start of every character and, last, the text's size; built again after a change,
    // so that boundaries are found by a binary search however long a run of lead-range
    // bytes the text holds.
    const std::vector<size_t>& Starts() const;
    void Remember();
    void Replace(size_t from, size_t to, const std::string& with);
    int CharClass(size_t offset) const;

    bool multiline_;
    size_t limit_;
    std::string text_;
    size_t caret_ = 0, anchor_ = 0;
    std::string undo_text_;
    size_t undo_caret_ = 0, undo_anchor_ = 0;
    bool has_undo_ = false;
    std::string composition_;
    size_t composition_caret_ = 0, composition_start_ = 0, composition_length_ = 0;
    uint64_t revision_ = 0;
    mutable std::vector<size_t> starts_;
    mutable bool starts_valid_ = false;
};

}  // namespace mobu
