#include "components/components_json.h"

#include <cstdio>

#include "components/mobu_button.h"
#include "components/effects_json.h"
#include "components/mobu_cg_label.h"
#include "components/mobu_gauge.h"
#include "components/mobu_label.h"
#include "components/mobu_menu.h"
#include "components/mobu_mes.h"
#include "components/mobu_prev_menu.h"
#include "components/mobu_read_list.h"
#include "components/mobu_slider.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

void QuotedUtf8(std::ostream& out, const std::string& text)
{
    out << '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out << '\\' << c;
        else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out << escaped;
        } else out << c;
    }
    out << '"';
}

void Quoted(std::ostream& out, const std::string& cp932) { QuotedUtf8(out, Cp932ToUtf8(cp932)); }

void Value(std::ostream& out, const TPropValue& value)
{
    switch (value.type) {
        case PT_STR: Quoted(out, value.text); break;
        case PT_BOOL: out << (value.integer ? "true" : "false"); break;
        case PT_FLOAT: Quoted(out, value.AsText()); break;
        default: out << value.integer; break;
    }
}

// The state of a message box: its page, rows, revealed text and read tracking.
void WriteMessage(std::ostream& out, TMobuMes& box)
{
    const TWdPage* page = box.CurrentPage();
    out << ", \"message\": {\"page\": " << box.PageIndex << ", \"pages\": " << box.Pages.size() << ", \"rows\": [";
    if (page != nullptr)
        for (size_t r = 0; r < page->Rows.size(); ++r) {
            out << (r ? ", " : "");
            // An inline image is U+FFFC; cp932 cannot hold it, so it is written in UTF-8 here.
            std::string row;
            for (const TWdGlyph* glyph : page->Rows[r]->Glyphs) {
                if (glyph->IsChar()) {
                    const uint16_t code = static_cast<const TWdChar*>(glyph)->Code;
                    std::string bytes;
                    if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
                    bytes.push_back(static_cast<char>(code & 0xFF));
                    row += Cp932ToUtf8(bytes);
                } else if (glyph->Kind == TWdKind::Img) {
                    row += "\xEF\xBF\xBC";
                }
            }
            QuotedUtf8(out, row);
        }
    const bool read = box.TrackMode == 1 && page != nullptr &&
                      ReadList().IsRead(box.SourcePage, box.SourceCommand, box.PageIndex);
    out << "], \"text\": ";
    Quoted(out, box.GetProp(PR_TEXT).text);
    out << ", \"displaying\": " << (page != nullptr && box.Engine.IsDisplaying(*page) ? "true" : "false")
        << ", \"finished\": " << (box.Finished() ? "true" : "false")
        << ", \"paused\": " << (box.PausedFlag || box.TextPaused ? "true" : "false")
        << ", \"track\": " << int{box.TrackMode} << ", \"source\": ";
    Quoted(out, box.SourcePage);
    out << ", \"command\": " << box.SourceCommand << ", \"read\": " << (read ? "true" : "false")
        << ", \"held\": " << (box.Held ? "true" : "false") << ", \"caret\": [" << box.Engine.CaretX << ", "
        << box.Engine.CaretY << ", " << box.Engine.CaretHeight << "]}";
}

// The rendered size of a caption and the inked rectangle of each line.
void WriteLabel(std::ostream& out, TMobuLabel& label)
{
    out << ", \"label\": {\"textWidth\": " << label.TextWidth << ", \"textHeight\": " << label.TextHeight
        << ", \"lineRects\": [";
    for (size_t i = 0; i < label.LineRects.size(); ++i) {
        const TRect& r = label.LineRects[i];
        out << (i ? ", " : "") << "[" << r.Left << ", " << r.Top << ", " << r.Width() << ", " << r.Height() << "]";
    }
    out << "]}";
}

// The sheet cell of every character of an image caption, line by line.
void WriteCgLabel(std::ostream& out, TMobuCGLabel& label)
{
    out << ", \"cglabel\": {\"cells\": [";
    for (size_t l = 0; l < label.Cells.size(); ++l) {
        out << (l ? ", " : "") << "[";
        for (size_t i = 0; i < label.Cells[l].size(); ++i) out << (i ? ", " : "") << label.Cells[l][i];
        out << "]";
    }
    out << "]}";
}

// A menu's items with their check marks, the hovered item, the play mode and the animation
// state.
void WriteMenu(std::ostream& out, TMobuMenu& menu)
{
    out << ", \"state\": {\"items\": [";
    for (int32_t i = 0; i < menu.Count(); ++i) {
        out << (i ? ", " : "") << "{\"text\": ";
        Quoted(out, menu.ItemText(i));
        out << ", \"checked\": " << (menu.ItemChecked(i) ? "true" : "false") << "}";
    }
    out << "], \"hover\": " << menu.HoverIndex << ", \"play_mode\": " << int{menu.PlayMode}
        << ", \"anim_state\": " << menu.State << "}";
}

// A preview menu's buttons (the picture each shows now), the hovered one and the click
// films still playing.
void WritePrevMenu(std::ostream& out, TMobuPrevMenu& menu)
{
    out << ", \"state\": {\"items\": [";
    for (int32_t i = 0; i < menu.ButtonCount(); ++i) {
        out << (i ? ", " : "") << "{\"name\": ";
        Quoted(out, menu.ItemText(i));
        out << ", \"index\": " << i << ", \"group\": " << menu.ItemGroupIndex(i)
            << ", \"enabled\": " << (menu.ItemEnabled(i) ? "true" : "false")
            << ", \"visible\": " << (menu.ItemVisible(i) ? "true" : "false")
            << ", \"selected\": " << (menu.ItemSelected(i) ? "true" : "false") << ", \"picture\": ";
        Quoted(out, menu.PictureOf(i));
        out << "}";
    }
    out << "], \"hover\": " << menu.HoverIndex << ", \"pending_films\": " << menu.PendingFilms << "}";
}

// A button's state (0 normal, 1 hover, 2 pressed, 3 clicked, -1 none).
void WriteButton(std::ostream& out, TMobuButton& button)
{
    out << ", \"state\": {\"button_state\": " << button.ButtonState << "}";
}

// A slider's or scroll bar's thumb position in pixels and what the mouse holds.
void WriteSlider(std::ostream& out, TMobuSlider& slider)
{
    out << ", \"state\": {\"thumb_pos\": " << slider.ThumbPos << ", \"press_mode\": " << slider.PressMode << "}";
}

// A gauge's shown value, its lag and its animation mode.
void WriteGauge(std::ostream& out, TMobuGauge& gauge)
{
    out << ", \"state\": {\"shown\": " << gauge.Shown << ", \"lag\": " << gauge.Lag
        << ", \"anim_mode\": " << gauge.AnimMode << "}";
}

}  // namespace

void WriteComponentsJson(TMobuBaseList& list, std::ostream& out)
{
    out << "[\n";
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        TMobuObject* object = list.GetItem(i);
        out << (i ? ",\n" : "") << "  {\"type\": \"" << ComponentTypeInfo(object->GetCompoType()).name << "\", \"name\": ";
        Quoted(out, object->Name());
        out << ", \"priority\": " << object->Priority();
        if (TMobuControl* c = object->AsControl()) {
            out << ", \"parent\": ";
            Quoted(out, c->Parent() ? c->Parent()->Name() : std::string());
            out << ", \"left\": " << c->Left << ", \"top\": " << c->Top << ", \"width\": " << c->Width
                << ", \"height\": " << c->Height << ", \"visible\": " << (c->GetVisible() ? "true" : "false");
        }
        out << ", \"props\": {";
        bool first = true;
        for (int id = 0; id < kPropertyCount; ++id) {
            if (!object->Answers(id) || id == PR_COMPOTYPE || id == PR_NAME || id == PR_PARENT) continue;
            TPropValue value = object->GetProp(id);
            if (value == DefaultValue(id).As(PropertyInfo(id).type)) continue;
            out << (first ? "" : ", ") << '"' << PropertyInfo(id).name << "\": ";
            Value(out, value);
            first = false;
        }
        out << "}";
        if (object->GetCompoType() == LT_MES) WriteMessage(out, static_cast<TMobuMes&>(*object));
        if (auto* label = dynamic_cast<TMobuLabel*>(object)) WriteLabel(out, *label);
        if (auto* cg = dynamic_cast<TMobuCGLabel*>(object)) WriteCgLabel(out, *cg);
        if (auto* menu = dynamic_cast<TMobuMenu*>(object)) WriteMenu(out, *menu);
        if (auto* prev = dynamic_cast<TMobuPrevMenu*>(object)) WritePrevMenu(out, *prev);
        if (auto* button = dynamic_cast<TMobuButton*>(object)) WriteButton(out, *button);
        if (auto* slider = dynamic_cast<TMobuSlider*>(object)) WriteSlider(out, *slider);
        if (auto* gauge = dynamic_cast<TMobuGauge*>(object)) WriteGauge(out, *gauge);
        WriteEffectJson(out, *object);
        out << "}";
    }
    out << "\n]\n";
}

}  // namespace mobu
