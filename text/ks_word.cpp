#include "text/ks_word.h"

#include <algorithm>

#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "platform/text_encoding.h"
#include "text/tag_parser.h"
#include "text/tag_tokenizer.h"
#include "text/tag_val_list.h"
#include "text/text_messages.h"

namespace mobu {

uint8_t GlyphTypeCode(const TWdGlyph& glyph)
{
    switch (glyph.Kind) {
    case TWdKind::Char: return wd_type::kChar;
    case TWdKind::Img: return wd_type::kImg;
    case TWdKind::Return: return wd_type::kReturn;
    case TWdKind::Align: return wd_type::kAlign;
    case TWdKind::Indent: return wd_type::kIndent;
    case TWdKind::Undent: return wd_type::kUndent;
    case TWdKind::Event: return wd_type::kEvent;
    case TWdKind::Var: return wd_type::kVar;
    case TWdKind::HistChar: return wd_type::kHistChar;
    default: return 0;
    }
}

std::unique_ptr<TWdGlyph> CloneGlyph(const TWdGlyph& glyph)
{
    std::unique_ptr<TWdGlyph> copy;
    switch (glyph.Kind) {
    case TWdKind::Char: copy = std::make_unique<TWdChar>(static_cast<const TWdChar&>(glyph)); break;
    case TWdKind::VarChar: copy = std::make_unique<TWdVarChar>(static_cast<const TWdVarChar&>(glyph)); break;
    case TWdKind::Space: copy = std::make_unique<TWdSpace>(static_cast<const TWdSpace&>(glyph)); break;
    case TWdKind::Img: copy = std::make_unique<TWdImg>(static_cast<const TWdImg&>(glyph)); break;
    case TWdKind::Return: copy = std::make_unique<TWdOpeReturn>(static_cast<const TWdOpeReturn&>(glyph)); break;
    case TWdKind::VarReturn: copy = std::make_unique<TWdVarReturn>(static_cast<const TWdVarReturn&>(glyph)); break;
    case TWdKind::Align: copy = std::make_unique<TWdOpeAlign>(static_cast<const TWdOpeAlign&>(glyph)); break;
    case TWdKind::Indent: copy = std::make_unique<TWdOpeIndent>(static_cast<const TWdOpeIndent&>(glyph)); break;
    case TWdKind::Undent: copy = std::make_unique<TWdOpeUndent>(static_cast<const TWdOpeUndent&>(glyph)); break;
    case TWdKind::Event: copy = std::make_unique<TWdOpeEvent>(static_cast<const TWdOpeEvent&>(glyph)); break;
    case TWdKind::Var: copy = std::make_unique<TWdOpeVar>(static_cast<const TWdOpeVar&>(glyph)); break;
    case TWdKind::HistChar: copy = std::make_unique<TWdOpeHistChar>(static_cast<const TWdOpeHistChar&>(glyph)); break;
    }
    return copy;
}

namespace {

TDecorate*& DecorateSlot(TWdGlyph& glyph)
{
    static TDecorate* none = nullptr;
    none = nullptr;
    if (glyph.IsChar()) return static_cast<TWdChar&>(glyph).Decorate;
    if (glyph.IsVariable()) return static_cast<TWdOpeVar&>(glyph).Decorate;
    return none;
}

TDecorate CurrentFormat(const TTagValList& state)
{
    TDecorate d;
    d.Color = state.Color.Top();
    d.OutlineColor = state.OutlineColor.Top();
    d.ShadowColor = state.ShadowColor.Top();
    d.FontSize = state.Size.Top();
    d.Style = state.Style;
    d.FontName = state.FontName.Top();
    d.NoBreak = state.NoBreak;
    d.Ruby = state.Ruby;
    d.OutlineWidth = state.OutlineWidth.Top();
    d.ShadowOffset = state.ShadowOffset.Top();
    return d;
}

// BORDER and SHADOW: present -> integer (1 without a valid value), negatives 0; absent -> current.
int32_t EffectAttribute(const TTag& tag, const char* name, int32_t current)
{
    const TTag::Attribute* attribute = tag.Find(name);
    if (attribute == nullptr) return current;
    const auto value = attribute->HasValue ? ParseTagInt(attribute->Value) : std::nullopt;
    return std::max(0, value.value_or(1));
}

uint8_t AlignOf(const std::optional<std::string>& value)
{
    if (value && JSameText(*value, "RIGHT")) return kAlignRight;
    if (value && JSameText(*value, "CENTER")) return kAlignCenter;
    return kAlignLeft;
}

uint8_t ImageAlignOf(const std::optional<std::string>& value)
{
    if (value && JSameText(*value, "CENTER")) return kImgCenter;
    if (value && JSameText(*value, "TOP")) return kImgTop;
    return kImgBottom;
}

}  // namespace

TKsWord::TKsWord() : FontName(SysText(u8"ＭＳ ゴシック")) {}

TKsWord::~TKsWord() = default;

void TKsWord::Clear()
{
    glyphs_.clear();
    decorations_.Clear();
    FixedValueList.clear();
    DecorationOffset = 0;
}

void TKsWord::SetText(const std::vector<std::string>& lines, int32_t wait_base)
{
    glyphs_.clear();
    decorations_.Clear();
    DecorationOffset = 0;
    try {
        ConvertTokens(TokenizeTaggedLines(lines), wait_base);
    } catch (...) {
        glyphs_.clear();
        decorations_.Clear();
        throw;
    }
}

void TKsWord::ConvertTokens(const std::vector<std::string>& tokens, int32_t wait_base)
{
    TTagValList state(wait_base);
    TDecorate* format = nullptr;  // the record of the current formatting, shared by new glyphs
    auto current_format = [&]() -> TDecorate* {
        const TDecorate wanted = CurrentFormat(state);
        if (format == nullptr || !format->SameFormat(wanted)) {
            TDecorate* slot = nullptr;
            decorations_.Assign(slot, wanted);
            // The slot holds one reference that nobody owns: give it to the first glyph.
            format = slot;
            return format;
        }
        ++format->RefCount;
        return format;
    };
    auto add = [&](std::unique_ptr<TWdGlyph> glyph) {
        glyph->Engine = this;
        glyphs_.push_back(std::move(glyph));
    };

    for (const std::string& token : tokens) {
        if (!IsTagToken(token)) {
            if (token.rfind("<!--", 0) == 0 || JSameText(token.substr(0, std::min<size_t>(7, token.size())), "<SCRIPT") ||
                JSameText(token.substr(0, std::min<size_t>(6, token.size())), "<STYLE"))
                continue;  // passive block
            for (size_t i = 0; i < token.size();) {
                const size_t length = Cp932CharLength(token, i);
                auto glyph = std::make_unique<TWdChar>();
                glyph->Code = static_cast<uint8_t>(token[i]);
                if (length == 2) glyph->Code = static_cast<uint16_t>(glyph->Code << 8 | static_cast<uint8_t>(token[i + 1]));
                glyph->Decorate = current_format();
                glyph->Link = state.Link;
                glyph->Wait = state.Wait.Top();
                add(std::move(glyph));
                i += length;
            }
            continue;
        }
        const TTag tag = ParseTag(token);
        const std::string name = Cp932Upper(tag.Name);
        if (name == "A") {
            const auto href = tag.Value("HREF");
            if (!href) throw EMobuError(text_messages::AnchorWithoutHref());
            state.Link = UnescapeTagValue(*href);
        } else if (name == "/A") {
            state.Link.clear();
        } else if (name == "B" || name == "I" || name == "U" || name == "S") {
            state.Style |= name == "B" ? 1 : name == "I" ? 2 : name == "U" ? 4 : 8;
        } else if (name == "/B" || name == "/I" || name == "/U" || name == "/S") {
            state.Style &= static_cast<uint8_t>(~(name == "/B" ? 1 : name == "/I" ? 2 : name == "/U" ? 4 : 8));
        } else if (name == "FONT") {
            const auto size = tag.Value("SIZE");
            const auto parsed_size = size ? ParseTagInt(*size) : std::nullopt;
            state.Size.Push(parsed_size.value_or(state.Size.Top()));
            auto colour = [&](const char* attribute, TIntStack& stack) {
                const auto value = tag.Value(attribute);
                const auto parsed = value ? ParseTagColor(*value) : std::nullopt;
                stack.Push(parsed.value_or(stack.Top()));
            };
            colour("COLOR", state.Color);
            colour("BCOLOR", state.OutlineColor);
            colour("SCOLOR", state.ShadowColor);
            const auto font_name = tag.Value("NAME");
            state.FontName.Push(font_name ? *font_name : state.FontName.Top());
            state.OutlineWidth.Push(EffectAttribute(tag, "BORDER", state.OutlineWidth.Top()));
            state.ShadowOffset.Push(EffectAttribute(tag, "SHADOW", state.ShadowOffset.Top()));
        } else if (name == "/FONT") {
            state.Size.Pop();
            state.Color.Pop();
            state.OutlineColor.Pop();
            state.ShadowColor.Pop();
            state.FontName.Pop();
            state.OutlineWidth.Pop();
            state.ShadowOffset.Pop();
        } else if (name == "NOBR" || name == "/NOBR") {
            state.NoBreak = name == "NOBR";
        } else if (name == "RUBY") {
            state.Ruby = tag.Value("VALUE").value_or("");
        } else if (name == "/RUBY") {
            state.Ruby.clear();
        } else if (name == "DIV" || name == "/DIV") {
            if (name == "DIV") state.Align.Push(AlignOf(tag.Value("ALIGN")));
            else state.Align.Pop();
            auto glyph = std::make_unique<TWdOpeAlign>();
            glyph->Align = state.Align.Top();
            add(std::move(glyph));
        } else if (name == "INDENT") {
            add(std::make_unique<TWdOpeIndent>());
        } else if (name == "UNDENT") {
            add(std::make_unique<TWdOpeUndent>());
        } else if (name == "BR" || name == "CLEAR") {
            auto glyph = std::make_unique<TWdOpeReturn>();
            glyph->NewPage = name == "CLEAR" || tag.HasFlag("CLEAR");
            add(std::move(glyph));
        } else if (name == "EVENT") {
            auto glyph = std::make_unique<TWdOpeEvent>();
            glyph->Value = UnescapeTagValue(tag.Value("VALUE").value_or(""));
            glyph->End = tag.HasFlag("END");
            glyph->Wait = state.Wait.Top();
            add(std::move(glyph));
        } else if (name == "WAIT") {
            const auto value = tag.Value("VALUE");
            const auto parsed = value ? ParseTagInt(*value) : std::nullopt;
            state.Wait.Push(parsed.value_or(state.Wait.Top()));
        } else if (name == "/WAIT") {
            state.Wait.Pop();
        } else if (name == "VAR" || name == "HISTCHAR") {
            std::unique_ptr<TWdOpeVar> glyph;
            if (name == "VAR") glyph = std::make_unique<TWdOpeVar>();
            else glyph = std::make_unique<TWdOpeHistChar>();
            glyph->Name = tag.Value(name == "VAR" ? "NAME" : "VALUE").value_or("");
            glyph->Decorate = current_format();
            add(std::move(glyph));
        } else if (name == "IMG") {
            const auto source = tag.Value("SRC");
            if (!source) continue;
            auto glyph = std::make_unique<TWdImg>();
            glyph->Source = *source;
            glyph->VAlign = ImageAlignOf(tag.Value("ALIGN"));
            glyph->NoBreak = state.NoBreak;
            glyph->Ruby = state.Ruby;
            glyph->Link = state.Link;
            glyph->Wait = state.Wait.Top();
            add(std::move(glyph));
        }
    }
    (void)format;
}

int TKsWord::IndexOf(const TWdGlyph* glyph) const
{
    for (size_t i = 0; i < glyphs_.size(); ++i)
        if (glyphs_[i].get() == glyph) return static_cast<int>(i);
    return -1;
}

void TKsWord::InsertGlyph(int index, std::unique_ptr<TWdGlyph> glyph)
{
    glyph->Engine = this;
    index = std::clamp(index, 0, GlyphCount());
    glyphs_.insert(glyphs_.begin() + index, std::move(glyph));
}

void TKsWord::DeleteGlyph(int index)
{
    if (index < 0 || index >= GlyphCount()) return;
    TDecorate*& slot = DecorateSlot(*glyphs_[static_cast<size_t>(index)]);
    decorations_.Release(slot);
    glyphs_.erase(glyphs_.begin() + index);
}

bool TKsWord::ExpandedValue(const TWdOpeVar& var, std::string& value) const
{
    const std::string prefix = var.Name + "=";
    for (const std::string& line : FixedValueList) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            value = line.substr(prefix.size());
            std::replace(value.begin(), value.end(), '\x01', '\r');
            return true;
        }
    }
    if (Evaluate && !var.Name.empty()) return Evaluate(var.Name, value);
    if (EvaluateCompiled && var.Name.empty() && var.Compiled) return EvaluateCompiled(*var.Compiled, value);
    return false;
}

void TKsWord::ExpandVars(int first, int last, bool history)
{
    if (last < 0 || last >= GlyphCount()) last = GlyphCount() - 1;
    first = std::max(0, first);
    for (int i = first; i <= last && i < GlyphCount(); ++i) {
        TWdGlyph* glyph = Glyph(i);
        if (!glyph->IsVariable() || (glyph->Kind == TWdKind::HistChar && !history)) continue;
        auto& var = static_cast<TWdOpeVar&>(*glyph);
        if (var.ExpandedCount > 0) continue;
        std::string value;
        if (!ExpandedValue(var, value)) continue;
        std::vector<std::unique_ptr<TWdGlyph>> expansion;
        size_t chars = 0;
        for (size_t k = 0; k < value.size() && chars < kMaxVarChars;) {
            const size_t length = Cp932CharLength(value, k);
            const uint8_t lead = static_cast<uint8_t>(value[k]);
            if (lead == '\r') {
                expansion.push_back(std::make_unique<TWdVarReturn>());
                ++chars;
            } else if (lead >= ' ' || length == 2) {
                auto c = std::make_unique<TWdVarChar>();
                c->Code = lead;
                if (length == 2) c->Code = static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(value[k + 1]));
                c->Decorate = var.Decorate;
                TDecorateList::AddRef(c->Decorate);
                expansion.push_back(std::move(c));
                ++chars;
            }
            k += length;
        }
        var.ExpandedCount = static_cast<int32_t>(expansion.size());
        int at = i + 1;
        for (auto& e : expansion) {
            e->Engine = this;
            glyphs_.insert(glyphs_.begin() + at++, std::move(e));
        }
        last += var.ExpandedCount;
        i += var.ExpandedCount;
    }
}

void TKsWord::CollapseVars(int first, int last)
{
    if (last < 0 || last >= GlyphCount()) last = GlyphCount() - 1;
    first = std::max(0, first);
    for (int i = first; i <= last && i < GlyphCount(); ++i) {
        TWdGlyph* glyph = Glyph(i);
        if (!glyph->IsVariable()) continue;
        auto& var = static_cast<TWdOpeVar&>(*glyph);
        int removed = 0;
        while (i + 1 < GlyphCount() && Glyph(i + 1)->IsExpansion()) {
            DeleteGlyph(i + 1);
            ++removed;
        }
        var.ExpandedCount = 0;
        last -= removed;
    }
}

void TKsWord::ShowAll()
{
    for (auto& glyph : glyphs_)
        if (glyph->IsReal()) {
            auto& real = static_cast<TWdReal&>(*glyph);
            real.Visible = true;
            real.Opacity = 255;
        }
}

void TKsWord::HideAll()
{
    for (auto& glyph : glyphs_)
        if (glyph->IsReal()) {
            auto& real = static_cast<TWdReal&>(*glyph);
            real.Visible = false;
            real.Opacity = 0;
        }
}

void TKsWord::CopyGlyphs(const TKsWord& other, int first, int last)
{
    if (last < 0 || last >= other.GlyphCount()) last = other.GlyphCount() - 1;
    first = std::max(0, first);
    for (int i = first; i <= last; ++i) {
        const TWdGlyph& source = *other.Glyph(i);
        if (source.IsExpansion()) continue;
        std::unique_ptr<TWdGlyph> copy = CloneGlyph(source);
        TDecorate*& slot = DecorateSlot(*copy);
        if (slot != nullptr) {
            const TDecorate wanted = *slot;
            slot = nullptr;
            decorations_.Assign(slot, wanted);
        }
        if (copy->IsVariable()) static_cast<TWdOpeVar&>(*copy).ExpandedCount = 0;
        copy->Engine = this;
        glyphs_.push_back(std::move(copy));
    }
}

int TKsWord::CharIndex(int n) const
{
    int units = 0;
    for (int i = 0; i < GlyphCount(); ++i) {
        if (Glyph(i)->IsExpansion()) continue;
        if (units == n) return i;
        ++units;
    }
    return GlyphCount();
}

int TKsWord::CharCount(int glyph_index) const
{
    int units = 0;
    for (int i = 0; i < glyph_index && i < GlyphCount(); ++i)
        if (!Glyph(i)->IsExpansion()) ++units;
    return units;
}

std::string TKsWord::RowText(const TWdRow& row, const std::string& image_mark)
{
    std::string text;
    for (const TWdGlyph* glyph : row.Glyphs) {
        if (glyph->IsChar()) {
            const uint16_t code = static_cast<const TWdChar*>(glyph)->Code;
            if (code > 0xFF) text.push_back(static_cast<char>(code >> 8));
            text.push_back(static_cast<char>(code & 0xFF));
        } else if (glyph->Kind == TWdKind::Img) {
            text += image_mark;
        }
    }
    return text;
}

}  // namespace mobu
