#include <gtest/gtest.h>

#include "components/component_functions.h"
#include "components/mobu_base_list.h"
#include "core/mobu_error.h"
#include "expr/param_values.h"

namespace mobu {
namespace {

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
            if (id == PR_NAME || id == PR_PARENT) continue;  // names and parents have their own tests
            // Pictures derive these from their frames (tests/images covers them).
            const bool picture = code == LT_IMAGES || code == LT_TILE || code == LT_MAPIMG;
            if (picture && (id == PR_INDEX || id == PR_COUNT || id == PR_ORIGWIDTH || id == PR_ORIGHEIGHT)) continue;
            if (code == LT_MAPIMG && id == PR_REPEAT) continue;  // always loops
            TMobuObject* object = list.CreateComponent(code);
            ASSERT_NE(object, nullptr);
            SCOPED_TRACE(std::string(PropertyInfo(id).name) + " on type " + std::to_string(code));
            uint8_t declared = PropertyInfo(id).type;
            TPropValue before = object->GetProp(id);
            EXPECT_EQ(before.type, declared);
            if (!TypeAnswers(code, id) && !(object->AsControl() && IsControlProperty(id))) {
                if (id == PR_ORIGWIDTH || id == PR_ORIGHEIGHT) EXPECT_EQ(before, object->GetProp(id == PR_ORIGWIDTH ? PR_WIDTH : PR_HEIGHT).As(declared));
                else EXPECT_EQ(before, NeutralValue(id));
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
                    EXPECT_EQ(before, DefaultValue(id).As(declared));
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
