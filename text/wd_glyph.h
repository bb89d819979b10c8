// The glyphs of a text engine: characters, images, line breaks and control marks, with the
// type codes of the stored glyph list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/rect.h"
#include "text/decorate_list.h"

namespace mobu {

class TKsWord;
class TMobuParser;

enum class TWdKind : uint8_t { Char, VarChar, Space, Img, Return, VarReturn, Align, Indent, Undent, Event, Var, HistChar };

// Type codes of the stored glyph list.
namespace wd_type {
constexpr uint8_t kChar = 1;
constexpr uint8_t kAlign = 2;
constexpr uint8_t kReturn = 3;
constexpr uint8_t kIndent = 4;
constexpr uint8_t kUndent = 5;
constexpr uint8_t kEvent = 6;
constexpr uint8_t kVar = 7;
constexpr uint8_t kImg = 9;
constexpr uint8_t kHistChar = 10;
}  // namespace wd_type

// Horizontal alignment codes.
constexpr uint8_t kAlignLeft = 1;
constexpr uint8_t kAlignRight = 2;
constexpr uint8_t kAlignCenter = 3;
// Image vertical alignment codes.
constexpr uint8_t kImgCenter = 3;
constexpr uint8_t kImgTop = 4;
constexpr uint8_t kImgBottom = 5;

class TWdGlyph {
public:
    explicit TWdGlyph(TWdKind kind) : Kind(kind) {}
    virtual ~TWdGlyph() = default;

    const TWdKind Kind;
    TKsWord* Engine = nullptr;
    int32_t X = 0;  // within its row
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;

    bool IsChar() const { return Kind == TWdKind::Char || Kind == TWdKind::VarChar; }
    bool IsReturn() const { return Kind == TWdKind::Return || Kind == TWdKind::VarReturn; }
    bool IsReal() const { return IsChar() || Kind == TWdKind::Img; }
    bool IsVariable() const { return Kind == TWdKind::Var || Kind == TWdKind::HistChar; }
    bool IsExpansion() const { return Kind == TWdKind::VarChar || Kind == TWdKind::VarReturn; }
};

// A visible glyph: link target, wait and reveal state.
class TWdReal : public TWdGlyph {
public:
    using TWdGlyph::TWdGlyph;
    std::string Link;
    int32_t Wait = 0;
    int32_t Opacity = 255;
    bool Visible = true;
    bool Hover = false;
    TRect DrawnArea{};  // page coordinates of its cell and ink, for painting and erasing
};

class TWdChar : public TWdReal {
public:
    TWdChar() : TWdReal(TWdKind::Char) {}
    uint16_t Code = 0;  // single byte, or lead byte x 256 + trail byte
    TDecorate* Decorate = nullptr;
    bool IsDoubleByte() const { return Code > 0xFF; }

protected:
    explicit TWdChar(TWdKind kind) : TWdReal(kind) {}
};

// A character produced by expanding a variable glyph.
class TWdVarChar : public TWdChar {
public:
    TWdVarChar() : TWdChar(TWdKind::VarChar) {}
};

class TWdSpace : public TWdGlyph {
public:
    TWdSpace() : TWdGlyph(TWdKind::Space) {}
};

class TWdImg : public TWdReal {
public:
    TWdImg() : TWdReal(TWdKind::Img) {}
    std::string Source;
    uint8_t VAlign = kImgBottom;
    bool NoBreak = false;
    std::string Ruby;
};

class TWdOpeReturn : public TWdGlyph {
public:
    TWdOpeReturn() : TWdGlyph(TWdKind::Return) {}
    bool NewPage = false;

protected:
    explicit TWdOpeReturn(TWdKind kind) : TWdGlyph(kind) {}
};

// A line break produced by expanding a variable glyph.
class TWdVarReturn : public TWdOpeReturn {
public:
    TWdVarReturn() : TWdOpeReturn(TWdKind::VarReturn) {}
};

class TWdOpeAlign : public TWdGlyph {
public:
    TWdOpeAlign() : TWdGlyph(TWdKind::Align) {}
    uint8_t Align = kAlignLeft;
};

class TWdOpeIndent : public TWdGlyph {
public:
    TWdOpeIndent() : TWdGlyph(TWdKind::Indent) {}
};

class TWdOpeUndent : public TWdGlyph {
public:
    TWdOpeUndent() : TWdGlyph(TWdKind::Undent) {}
};

class TWdOpeEvent : public TWdGlyph {
public:
    TWdOpeEvent() : TWdGlyph(TWdKind::Event) {}
    std::string Value;
    bool End = false;
    int32_t Wait = 0;  // the wait current when it was converted (not stored)
};

class TWdOpeVar : public TWdGlyph {
public:
    TWdOpeVar() : TWdGlyph(TWdKind::Var) {}
    std::string Name;  // the variable or expression whose value is shown
    TDecorate* Decorate = nullptr;
    int32_t Extra = 0;         // stored from version 101 on, not otherwise used
    std::string ExtraText;     // likewise
    int32_t ExpandedCount = 0; // glyphs inserted after it by the last expansion
    // Old stored lists carry a compiled expression instead of the name.
    std::shared_ptr<TMobuParser> Compiled;

protected:
    explicit TWdOpeVar(TWdKind kind) : TWdGlyph(kind) {}
};

// A variable glyph shown only in the message history.
class TWdOpeHistChar : public TWdOpeVar {
public:
    TWdOpeHistChar() : TWdOpeVar(TWdKind::HistChar) {}
};

// The stored type code of a glyph (0 for glyphs that are never stored).
uint8_t GlyphTypeCode(const TWdGlyph& glyph);

// A copy of a glyph (its formatting record shared, reference added).
std::unique_ptr<TWdGlyph> CloneGlyph(const TWdGlyph& glyph);

}  // namespace mobu
