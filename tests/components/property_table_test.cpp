// The property table against the written property definition (tests/data/components/
// property_definition.tsv, made once by gen_property_definition.py beside it and reviewed by
// hand), and every component type reading and writing every property as that definition says.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "components/component_functions.h"
#include "components/mobu_base_list.h"
#include "core/mobu_error.h"
#include "expr/param_values.h"

namespace mobu {

// Failure messages show a property value as its kind and value.
void PrintTo(const TPropValue& value, std::ostream* out)
{
    switch (value.type) {
        case PT_STR: *out << "string \"" << value.text << '"'; break;
        case PT_FLOAT: *out << "real " << static_cast<double>(value.real); break;
        case PT_BOOL: *out << "flag " << (value.integer ? "true" : "false"); break;
        default: *out << "int " << value.integer;
    }
}

namespace {

// A value as the definition writes it: "text", true/false, a real with a point, an integer.
TPropValue Literal(const std::string& written)
{
    if (written.size() >= 2 && written.front() == '"') return TPropValue::Text(written.substr(1, written.size() - 2));
    if (written == "true" || written == "false") return TPropValue::Flag(written == "true");
    if (written.find('.') != std::string::npos) return TPropValue::Float(std::stold(written));
    return TPropValue::Int(std::stoi(written));
}

// One row of the written definition.
struct TDefinedProperty {
    int id = -1;
    std::string name, caption, type, default_value, neutral;
    bool every = false;                                // every object answers it
    std::array<bool, kComponentTypeCount> answered{};  // by type code

    bool Answers(int code) const { return every || answered[code]; }
    // The declared type as the table writes it.
    uint8_t DeclaredType() const
    {
        return type == "int" ? PT_INT : type == "real" ? PT_FLOAT : type == "flag" ? PT_BOOL : PT_STR;
    }
    // The creation default in the declared type ("-": never a creation parameter; a component
    // starts at the type's zero).
    TPropValue Default() const { return (default_value == "-" ? TPropValue::Int(0) : Literal(default_value)).As(DeclaredType()); }
    // Whether a type that does not answer it reads another property of the object instead.
    bool ReadsAnother() const { return neutral.front() == '='; }
    // What a type that does not answer it reads (`object`: the one read, for ReadsAnother).
    TPropValue Neutral(TMobuObject* object) const
    {
        if (ReadsAnother()) return object->GetProp(neutral == "=PR_WIDTH" ? PR_WIDTH : PR_HEIGHT).As(DeclaredType());
        return Literal(neutral).As(DeclaredType());
    }
};

int TypeCodeNamed(const std::string& name)
{
    for (int code = 0; code < kComponentTypeCount; ++code)
        if (name == ComponentTypeInfo(code).name) return code;
    return -1;
}

// Fields of a line of the tab-separated file.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

const std::vector<TDefinedProperty>& Definition()
{
    static const std::vector<TDefinedProperty> rows = [] {
        std::vector<TDefinedProperty> read;
        std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/components/property_definition.tsv");
        for (std::string line; std::getline(in, line);) {
            std::vector<std::string> fields = Fields(line);
            if (fields.size() != 7) ADD_FAILURE() << "bad row: " << line;
            if (fields.size() != 7) continue;
            TDefinedProperty row;
            row.id = std::stoi(fields[0]);
            row.name = fields[1];
            row.caption = fields[2];
            for (size_t at; (at = row.caption.find("\\r\\n")) != std::string::npos;) row.caption.replace(at, 4, "\r\n");
            row.type = fields[3];
            row.default_value = fields[4];
            row.every = fields[5] == "every";
            row.neutral = fields[6];
            if (!row.every && fields[5] != "none") {
                std::stringstream names(fields[5]);
                for (std::string name; names >> name;) {
                    const int code = TypeCodeNamed(name);
                    if (code < 0) ADD_FAILURE() << "unknown type " << name << " in row " << row.id;
                    else row.answered[code] = true;
                }
            }
            read.push_back(row);
        }
        return read;
    }();
    return rows;
}

TEST(PropertyTable, MatchesTheWrittenPropertyDefinition)
{
    const std::vector<TDefinedProperty>& definition = Definition();
    ASSERT_EQ(definition.size(), static_cast<size_t>(kPropertyCount));
    for (const TDefinedProperty& expected : definition) {
        const int id = expected.id;
        const TPropertyInfo& row = PropertyInfo(id);
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(row.id, id);
        EXPECT_STREQ(row.name, expected.name.c_str());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(row.caption_utf8)), expected.caption);
        EXPECT_EQ(row.type, expected.DeclaredType()) << expected.type;
        EXPECT_EQ(row.creation_parameter, expected.default_value != "-");
        EXPECT_EQ(DefaultValue(id).As(row.type), expected.Default()) << expected.default_value;
        if (!expected.ReadsAnother()) {
            EXPECT_EQ(NeutralValue(id), expected.Neutral(nullptr)) << expected.neutral;
        }
        for (int code = 0; code < kComponentTypeCount; ++code)
            EXPECT_EQ(TypeAnswers(code, id), expected.Answers(code)) << ComponentTypeInfo(code).name;
    }
}

TPropValue SampleValue(int id)
{
    switch (StoredType(id)) {
        case PT_STR: return TPropValue::Text("s" + std::to_string(id));
        case PT_FLOAT: return TPropValue::Float(id + 0.5L);
        case PT_BOOL: return TPropValue::Flag(!DefaultValue(id).integer);
        default: return TPropValue::Int(id + 1000);
    }
}

TEST(PropertyTable, RowsAreNumberedAndTyped)
{
    for (int id = 0; id < kPropertyCount; ++id) {
        EXPECT_EQ(PropertyInfo(id).id, id);
        EXPECT_GE(PropertyInfo(id).type, PT_INT);
        EXPECT_LE(PropertyInfo(id).type, PT_STR);
    }
    EXPECT_STREQ(PropertyInfo(PR_LEFT).name, "PR_LEFT");
    EXPECT_STREQ(PropertyInfo(164).name, "PR_BLURDELAY");
    EXPECT_EQ(PropertyInfo(PR_ZOOMX).default_integer, 256);
    EXPECT_EQ(PropertyInfo(PR_TEXTDELAY).neutral_integer, 256);
    EXPECT_FALSE(PropertyInfo(PR_CARETX).creation_parameter);
    EXPECT_TRUE(TypeAnswers(LT_MES, PR_TEXT));
    EXPECT_FALSE(TypeAnswers(LT_BOX, PR_TEXT));
    for (int code = 0; code < kComponentTypeCount; ++code) EXPECT_FALSE(TypeAnswers(code, PR_COLCOUNT));
}

// Every id on every creatable type: default read, set, read back; neutral on the others.
TEST(PropertyTable, EveryIdOnEveryType)
{
    TMobuBaseList list;
    list.SetSize(64, 64);
    for (int code = 0; code < kComponentTypeCount; ++code) {
        if (!IsCreatableType(code)) continue;
        for (int id = 0; id < kPropertyCount; ++id) {
            const TDefinedProperty& expected = Definition().at(id);
            if (id == PR_NAME || id == PR_PARENT) continue;  // names and parents have their own tests
            // Pictures derive these from their frames (tests/images covers them).
            const bool picture = code == LT_IMAGES || code == LT_TILE || code == LT_MAPIMG || code == LT_BUTTON;
            if (picture && (id == PR_INDEX || id == PR_COUNT || id == PR_ORIGWIDTH || id == PR_ORIGHEIGHT)) continue;
            if (code == LT_MAPIMG && id == PR_REPEAT) continue;  // always loops
            // An image caption's sizes are its glyph sheet's (tests/images/cg_label_test).
            if (code == LT_CGLABEL && (id == PR_ORIGWIDTH || id == PR_ORIGHEIGHT)) continue;
            // A message box derives these from its pages (tests/components/message_box_test).
            if (code == LT_MES && (id == PR_INDEX || id == PR_COUNT || id == PR_TEXT)) continue;
            // A menu derives its selection, count, top row and open height from its items, and
            // keeps its alignments and font styles in bytes (tests/images/menu_test); a preview
            // menu's text is its button names (tests/images/prev_menu_test).
            if (code == LT_MENU &&
                (id == PR_INDEX || id == PR_COUNT || id == PR_ORIGHEIGHT || id == PR_TOPINDEX || id == PR_HALIGN ||
                 id == PR_FONTSTYLE || id == PR_FONTHOVERSTYLE || (id >= PR_BORDERHALIGNT && id <= PR_BORDERVALIGNR)))
                continue;
            if (code == LT_PREVMENU && id == PR_TEXT) continue;
            // Media components read position and length from what they play, a video its sizes
            // from its movie (tests/components/sound_test, video_test, cinema_test); an HTTP
            // component's text is its response (tests/components/http_test).
            if ((code == LT_SOUND || code == LT_VIDEO || code == LT_CINEMA) && id == PR_COUNT) continue;
            if (code == LT_CINEMA && id == PR_INDEX) continue;
            if (code == LT_VIDEO && (id == PR_ORIGWIDTH || id == PR_ORIGHEIGHT)) continue;
            if (code == LT_HTTP && id == PR_TEXT) continue;
            // A button repeats unless clicked, is selected only in a group, caps its caption's
            // font height and keeps the style in a byte (tests/images/button_test).
            if (code == LT_BUTTON &&
                (id == PR_REPEAT || id == PR_SELECTED || id == PR_FONTHEIGHT || id == PR_FONTSTYLE))
                continue;
            // Sliders, scroll bars and gauges read their value clamped into the range and keep the
            // orientation in a byte (tests/images/slider_test, gauge_test).
            if ((code == LT_SLIDER || code == LT_SCROLLBAR || code == LT_GAUGE) &&
                (id == PR_VALUE || id == PR_ORIENTATION))
                continue;
            // Effects clamp or narrow these and start a wave at its own amplitude, length and
            // delay (tests/components/fire_test, particle_test, wave_test).
            if ((code == LT_FIRE && id == PR_POWER) || (code == LT_PARTICLE && id == PR_PARTMOTION) ||
                (code == LT_WAVE && (id == PR_AMP || id == PR_WAVELEN || id == PR_DELAY)))
                continue;
            TMobuObject* object = list.CreateComponent(code);
            ASSERT_NE(object, nullptr);
            SCOPED_TRACE(std::string(PropertyInfo(id).name) + " on type " + std::to_string(code));
            uint8_t declared = expected.DeclaredType();
            TPropValue before = object->GetProp(id);
            EXPECT_EQ(before.type, declared);
            if (!expected.Answers(code) && !(object->AsControl() && expected.Answers(LT_CABINET))) {
                EXPECT_EQ(before, expected.Neutral(object));
                object->SetProp(id, SampleValue(id));
                EXPECT_EQ(object->GetProp(id), before) << "a write to a property the type lacks changed it";
            } else if (id == PR_COMPOTYPE) {
                EXPECT_EQ(before.integer, code);
                object->SetProp(id, TPropValue::Int(99));
                EXPECT_EQ(object->GetProp(id).integer, code);
            } else if (IsReadOnlyProperty(id)) {
                object->SetProp(id, SampleValue(id));
                EXPECT_EQ(object->GetProp(id), before);
            } else {
                if (id == PR_VISIBLE && code == LT_CABINET) {
                    EXPECT_FALSE(before.integer);  // a cabinet never shows
                } else if (id != PR_PRIORITY) {
                    EXPECT_EQ(before, expected.Default());
                }
                object->SetProp(id, SampleValue(id));
                TPropValue expected = SampleValue(id).As(declared);
                if (id == PR_VISIBLE && code == LT_CABINET) expected = TPropValue::Flag(false);
                if (id == PR_IGNOREMOUSE) expected = TPropValue::Int((id + 1000) & 0xFF);
                EXPECT_EQ(object->GetProp(id), expected);
            }
            list.Destroy(object);
        }
    }
}

TEST(PropertyTable, GetPropAndSetPropByName)
{
    TMobuBaseList list;
    list.SetSize(64, 64);
    TMobuObject* box = list.CreateComponent(LT_BOX);
    TParamInt result;
    GetPropInto(list, box->Name(), PR_LEFT, result);
    EXPECT_EQ(result.GetInteger(), 0);
    TParamInt value;
    value.SetInteger(17);
    SetPropFrom(list, box->Name(), PR_LEFT, value);
    GetPropInto(list, box->Name(), PR_LEFT, result);
    EXPECT_EQ(result.GetInteger(), 17);
    TParamStr text;
    GetPropInto(list, box->Name(), PR_TEXT, text);
    EXPECT_EQ(text.GetString(), "");
    EXPECT_THROW(GetPropInto(list, box->Name(), 165, result), EMobuError);
    EXPECT_THROW(SetPropFrom(list, box->Name(), PR_APPEARX, value), EMobuError);
    // No such object: the result is left as it was.
    result.SetInteger(5);
    GetPropInto(list, "nobody", PR_LEFT, result);
    EXPECT_EQ(result.GetInteger(), 5);
    // PR_PARENT of a control on the active base reads "", after the swap "\x01".
    TParamStr parent;
    GetPropInto(list, box->Name(), PR_PARENT, parent);
    EXPECT_EQ(parent.GetString(), "");
    list.SwitchBase(1, 0, false, true, 0, 0);
    GetPropInto(list, box->Name(), PR_PARENT, parent);
    EXPECT_EQ(parent.GetString(), "\x01");
}

}  // namespace
}  // namespace mobu
