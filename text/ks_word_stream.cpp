// The stored glyph list "KsWord", the engine's settings record and the page state.
#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/mobu_parser.h"
#include "text/ks_word.h"

namespace mobu {

namespace {

// "KsWord" and three digits; -1 when the bytes are not such a header.
int HeaderVersion(ByteReader& in)
{
    if (in.Remaining() < 9) return -1;
    const uint8_t* p = in.Data() + in.Position();
    if (std::string_view(reinterpret_cast<const char*>(p), 6) != "KsWord") return -1;
    int version = 0;
    for (int i = 6; i < 9; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        version = version * 10 + (p[i] - '0');
    }
    return version;
}

TDecorate ReadDecorate(ByteReader& in, int version)
{
    TDecorate d;
    d.RefCount = in.I32();
    d.Color = in.I32();
    d.OutlineColor = in.I32();
    d.FontSize = in.I32();
    d.Style = in.U8();
    d.NoBreak = in.Flag();
    if (version < 100) d.OutlineWidth = in.U8() != 0 ? 1 : 0;
    else d.OutlineWidth = in.I32();
    d.FontName = in.String();
    d.Ruby = in.String();
    if (version >= 100) {
        d.ShadowOffset = in.I32();
        d.ShadowColor = in.I32();
    }
    return d;
}

}  // namespace

void TKsWord::LoadGlyphs(ByteReader& in)
{
    int version = HeaderVersion(in);
    if (version < 0) version = 0;
    else in.Skip(9);

    // Everything is read into local lists first: a list that cannot be read changes nothing.
    const size_t record_count = in.Count(4 * 4 + 2 + 1 + 8);
    std::vector<TDecorate> records;
    records.reserve(record_count);
    for (size_t i = 0; i < record_count; ++i) records.push_back(ReadDecorate(in, version));

    const size_t glyph_count = in.Count(1);
    std::vector<std::unique_ptr<TWdGlyph>> read;
    std::vector<int32_t> record_of;  // per glyph: its record index, -1 none / default
    read.reserve(glyph_count);
    auto record_index = [&](int32_t index) {
        return index >= 0 && static_cast<size_t>(index) < records.size() ? index : -2;  // -2: default format
    };
    for (size_t g = 0; g < glyph_count; ++g) {
        const uint8_t type = in.U8();
        std::unique_ptr<TWdGlyph> glyph;
        int32_t record = -1;
        switch (type) {
        case wd_type::kChar: {
            auto c = std::make_unique<TWdChar>();
            c->Link = in.String();
            c->Wait = in.I32();
            c->Code = in.U16();
            record = record_index(in.I32());
            glyph = std::move(c);
            break;
        }
        case wd_type::kImg: {
            auto image = std::make_unique<TWdImg>();
            image->Link = in.String();
            image->Wait = in.I32();
            image->Source = in.String();
            image->VAlign = in.U8();
            glyph = std::move(image);
            break;
        }
        case wd_type::kReturn: {
            auto r = std::make_unique<TWdOpeReturn>();
            r->NewPage = in.Flag();
            glyph = std::move(r);
            break;
        }
        case wd_type::kAlign: {
            auto a = std::make_unique<TWdOpeAlign>();
            a->Align = in.U8();
            glyph = std::move(a);
            break;
        }
        case wd_type::kIndent: glyph = std::make_unique<TWdOpeIndent>(); break;
        case wd_type::kUndent: glyph = std::make_unique<TWdOpeUndent>(); break;
        case wd_type::kEvent: {
            auto e = std::make_unique<TWdOpeEvent>();
            e->Value = in.String();
            if (!e->Value.empty() && e->Value[0] == '\x01') {
                e->Value.erase(0, 1);
                e->End = true;
            }
            glyph = std::move(e);
            break;
        }
        case wd_type::kVar:
        case wd_type::kHistChar: {
            std::unique_ptr<TWdOpeVar> v;
            if (type == wd_type::kVar) v = std::make_unique<TWdOpeVar>();
            else v = std::make_unique<TWdOpeHistChar>();
            record = record_index(in.I32());
            if (version > 100) {
                v->Extra = in.I32();
                v->ExtraText = in.String();
            }
            if (version < 102) {
                // A compiled expression: kept to be run when the glyph is expanded.
                auto parser = std::make_shared<TMobuParser>();
                parser->LoadFromStream(in);
                v->Compiled = std::move(parser);
            } else {
                v->Name = in.String();
            }
            glyph = std::move(v);
            break;
        }
        default:
            break;  // an unknown type code ends the list
        }
        if (!glyph) break;
        read.push_back(std::move(glyph));
        record_of.push_back(record);
    }

    // Commit: the records the glyphs use are shared through the engine's list.
    std::vector<TDecorate*> shared(records.size(), nullptr);
    TDecorate default_format;
    for (size_t g = 0; g < read.size(); ++g) {
        TWdGlyph& glyph = *read[g];
        glyph.Engine = this;
        TDecorate** slot = nullptr;
        if (glyph.IsChar()) slot = &static_cast<TWdChar&>(glyph).Decorate;
        else if (glyph.IsVariable()) slot = &static_cast<TWdOpeVar&>(glyph).Decorate;
        if (slot == nullptr) continue;
        const int32_t r = record_of[g];
        const TDecorate& wanted = r >= 0 ? records[static_cast<size_t>(r)] : default_format;
        *slot = nullptr;
        decorations_.Assign(*slot, wanted);
    }
    for (auto& glyph : read) glyphs_.push_back(std::move(glyph));
}

void TKsWord::SaveGlyphs(ByteWriter& out) const
{
    // Variable glyphs read from an old list carry a compiled expression and no name. Such a
    // list is written in the old form (version 101, compiled expressions), so the expression
    // survives; other lists are written at the current version, with names.
    bool compiled_form = false;
    for (const auto& glyph : glyphs_) {
        if (!glyph->IsVariable()) continue;
        const auto& v = static_cast<const TWdOpeVar&>(*glyph);
        if (v.Name.empty() && v.Compiled) compiled_form = true;
    }
    char header[16];
    std::snprintf(header, sizeof header, "KsWord%03d", compiled_form ? kCompiledVariableVersion : kGlyphListVersion);
    out.Raw(header, 9);
    std::unordered_map<const TDecorate*, int32_t> index;
    out.I32(decorations_.Count());
    for (int i = 0; i < decorations_.Count(); ++i) {
        const TDecorate& d = *decorations_.At(i);
        index[&d] = i;
        out.I32(d.RefCount);
        out.I32(d.Color);
        out.I32(d.OutlineColor);
        out.I32(d.FontSize);
        out.U8(d.Style);
        out.Flag(d.NoBreak);
        out.I32(d.OutlineWidth);
        out.String(d.FontName);
        out.String(d.Ruby);
        out.I32(d.ShadowOffset);
        out.I32(d.ShadowColor);
    }
    int32_t stored = 0;
    for (const auto& glyph : glyphs_)
        if (GlyphTypeCode(*glyph) != 0) ++stored;
    out.I32(stored);
    auto index_of = [&](const TDecorate* d) {
        auto it = index.find(d);
        return it == index.end() ? -1 : it->second;
    };
    for (const auto& glyph : glyphs_) {
        const uint8_t type = GlyphTypeCode(*glyph);
        if (type == 0) continue;
        out.U8(type);
        switch (glyph->Kind) {
        case TWdKind::Char: {
            const auto& c = static_cast<const TWdChar&>(*glyph);
            out.String(c.Link);
            out.I32(c.Wait);
            out.U16(c.Code);
            out.I32(index_of(c.Decorate));
            break;
        }
        case TWdKind::Img: {
            const auto& image = static_cast<const TWdImg&>(*glyph);
            out.String(image.Link);
            out.I32(image.Wait);
            out.String(image.Source);
            out.U8(image.VAlign);
            break;
        }
        case TWdKind::Return: out.Flag(static_cast<const TWdOpeReturn&>(*glyph).NewPage); break;
        case TWdKind::Align: out.U8(static_cast<const TWdOpeAlign&>(*glyph).Align); break;
        case TWdKind::Event: {
            const auto& e = static_cast<const TWdOpeEvent&>(*glyph);
            out.String(e.End ? "\x01" + e.Value : e.Value);
            break;
        }
        case TWdKind::Var:
        case TWdKind::HistChar: {
            const auto& v = static_cast<const TWdOpeVar&>(*glyph);
            out.I32(index_of(v.Decorate));
            out.I32(v.Extra);
            out.String(v.ExtraText);
            if (!compiled_form) {
                out.String(v.Name);
            } else if (v.Compiled) {
                v.Compiled->SaveToStream(out);
            } else {
                // A named glyph copied in beside old ones: its name compiled, as it is run.
                TMobuParser parser;
                try {
                    TBuildMobuParser compiler;
                    compiler.Compile(v.Name);
                    parser.LoadFromBytes(compiler.ToStream());
                } catch (const EMobuError&) {
                }
                parser.SaveToStream(out);
            }
            break;
        }
        default: break;
        }
    }
}

void TKsWord::SaveSettings(ByteWriter& out) const
{
    out.I32(OriginX);
    out.I32(OriginY);
    out.I32(FontSize);
    out.String(FontName);
    out.I32(FontColor);
    out.I32(Height);
    out.I32(Width);
    out.I32(Antialias);
    out.I32(LineSpace);
    out.U8(Paging);
    out.I32(LinkColor);
    out.I32(HoverColor);
    out.I32(FadeTime);
    out.I32(OutlineColor);
    out.I32(Opacity);
    out.U8(Paused);
    out.I32(CaretX);
    out.I32(CaretY);
    out.I32(TextDelayRate);
    out.U8(NotifyEnabled);
    out.I32(ShadowColor);
    out.I32(OutlineWidth);
    out.I32(ShadowOffset);
}

void TKsWord::LoadSettings(ByteReader& in, int version)
{
    OriginX = in.I32();
    OriginY = in.I32();
    FontSize = in.I32();
    FontName = in.String();
    FontColor = in.I32();
    Height = in.I32();
    Width = in.I32();
    Antialias = in.I32();
    LineSpace = in.I32();
    Paging = in.U8();
    LinkColor = in.I32();
    HoverColor = in.I32();
    FadeTime = std::max(0, in.I32());  // a negative fade time fades at once
    OutlineColor = in.I32();
    Opacity = in.I32();
    Paused = in.U8();
    CaretX = in.I32();
    CaretY = in.I32();
    TextDelayRate = in.I32();
    NotifyEnabled = in.U8();
    if (version >= 110) ShadowColor = in.I32();
    if (version >= 111) {
        OutlineWidth = in.I32();
        ShadowOffset = in.I32();
    }
}

}  // namespace mobu
