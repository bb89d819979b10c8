// The saved form of boxes: every field after the control form, so the components saved after
// a box are read in step.
#include <gtest/gtest.h>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"

namespace mobu {
namespace {

TEST(BoxSave, EveryFieldComesBackAndTheNextComponentReadsInStep)
{
    TMobuBaseList list;
    list.SetSize(32, 32);
    auto* box = dynamic_cast<TMobuBox*>(list.CreateComponent(LT_BOX));
    ASSERT_NE(box, nullptr);
    box->SetName("frame");
    const struct {
        int id;
        TPropValue value;
    } fields[] = {
        {PR_BORDERWIDTH, TPropValue::Int(3)},      {PR_BORDERCOLOR, TPropValue::Int(0x00FF00)},
        {PR_ALPHA, TPropValue::Int(300)},          {PR_ONIDLE, TPropValue::Text("p.msb:idle")},
        {PR_SOURCE, TPropValue::Text("m\\a.mmt")}, {PR_REPEAT, TPropValue::Flag(true)},
        {PR_AUTOSCRAP, TPropValue::Flag(true)},    {PR_ONPLAYEND, TPropValue::Text("p.msb:end")},
        {PR_PAUSED, TPropValue::Flag(true)},       {PR_ANIPAUSED, TPropValue::Flag(true)},
        {PR_BLURSPAN, TPropValue::Int(40)},        {PR_BLURDELAY, TPropValue::Int(90)},
    };
    for (const auto& f : fields) box->SetProp(f.id, f.value);
    // A child box and a later sibling: both must be read after the box's own fields.
    TMobuControl* child = list.CreateComponent(LT_BOX, box)->AsControl();
    child->SetName("child");
    child->SetProp(PR_BORDERWIDTH, TPropValue::Int(7));
    TMobuControl* next = list.CreateComponent(LT_BOX)->AsControl();
    next->SetName("next");
    next->SetProp(PR_ALPHA, TPropValue::Int(17));

    ByteWriter out;
    list.SaveToStream(out);
    TMobuBaseList loaded;
    loaded.SetSize(32, 32);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    TMobuObject* again = loaded.FindComponent("frame");
    ASSERT_NE(again, nullptr);
    for (const auto& f : fields) EXPECT_EQ(again->GetProp(f.id), f.value.As(PropertyInfo(f.id).type)) << PropertyInfo(f.id).name;
    ASSERT_NE(loaded.FindComponent("child"), nullptr);
    EXPECT_EQ(loaded.FindComponent("child")->GetProp(PR_BORDERWIDTH).AsInt(), 7);
    ASSERT_NE(loaded.FindComponent("next"), nullptr);
    EXPECT_EQ(loaded.FindComponent("next")->GetProp(PR_ALPHA).AsInt(), 17);
}

}  // namespace
}  // namespace mobu
