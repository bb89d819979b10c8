// Afterimages of boxes, images and tiles: when they appear, what they copy, how they fade
// and go, and how a saved one comes back.
#include "image_fixture.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/mobu_blur.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

class Afterimages : public ImageScene {
protected:
    // The afterimages of `owner` now in the list (their names start with the owner's).
    std::vector<TMobuControl*> CopiesOf(const std::string& owner)
    {
        std::vector<TMobuControl*> copies;
        for (int32_t i = 0; i < list_.GetCount(); ++i) {
            TMobuObject* o = list_.GetItem(i);
            if (o->Name().size() > owner.size() && o->Name().compare(0, owner.size(), owner) == 0 && o->AsControl())
                copies.push_back(o->AsControl());
        }
        return copies;
    }
};

TEST(AfterimageAlpha, HalfTheOwnersWithinItsModeThenLinearFade)
{
    struct TCase {
        int32_t owner, start, elapsed, delay, alpha;
    } cases[] = {
        {255, 127, 0, 100, 127}, {255, 127, 50, 100, 127 - 64}, {200, 100, 25, 100, 75},
        {300, 278, 50, 100, 267}, {511, 383, 100, 100, 256}, {1, 0, 10, 100, 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AfterimageStartAlpha(c.owner), c.start) << c.owner;
        EXPECT_EQ(AfterimageAlpha(c.start, c.elapsed, c.delay), c.alpha) << c.owner << " at " << c.elapsed;
    }
}

TEST_F(Afterimages, MovingBoxLeavesFadingCopiesOnlyWhenItChanged)
{
    FrameDeltaMs = 15;
    auto* box = dynamic_cast<TMobuBox*>(list_.CreateComponent(LT_BOX));
    box->SetName("box");
    box->SetBounds(2, 3, 4, 5);
    box->SetColor(0x0000FF);
    box->SetProp(PR_PRIORITY, TPropValue::Int(4));
    box->SetProp(PR_ALPHA, TPropValue::Int(200));
    box->SetProp(PR_BORDERWIDTH, TPropValue::Int(1));
    box->SetProp(PR_BLURSPAN, TPropValue::Int(30));
    box->SetProp(PR_BLURDELAY, TPropValue::Int(60));
    Frame();
    Frame();  // a span passed, nothing changed
    EXPECT_TRUE(CopiesOf("box").empty());
    box->SetLeft(6);
    Frame();
    Frame();
    std::vector<TMobuControl*> copies = CopiesOf("box");
    ASSERT_EQ(copies.size(), 1u);
    auto* copy = dynamic_cast<TMobuBlurBox*>(copies[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), "box0");
    EXPECT_EQ(copy->GetCompoType(), LT_BOX);
    EXPECT_EQ(copy->Parent(), box->Parent());
    EXPECT_EQ(copy->Priority(), 3);
    EXPECT_EQ(copy->Left, 6);
    EXPECT_EQ(copy->Width, 4);
    EXPECT_EQ(copy->Color, 0x0000FF);
    EXPECT_EQ(copy->BorderWidth, 1);
    // Updated once in the pass that made it: 15 ms of 60 into the fade from 100.
    EXPECT_EQ(copy->Alpha, AfterimageAlpha(100, 15, 60));
    Frame();
    EXPECT_EQ(copy->Alpha, AfterimageAlpha(100, 30, 60));
    Frame();
    Frame();  // 60 ms: gone
    EXPECT_TRUE(CopiesOf("box").empty());
}

TEST_F(Afterimages, CopiesDrawImmediatelyBehindTheirOwnerFaintestFirst)
{
    FrameDeltaMs = 20;
    auto named_box = [&](const char* name, int32_t priority) {
        auto* box = dynamic_cast<TMobuBox*>(list_.CreateComponent(LT_BOX));
        box->SetName(name);
        box->SetProp(PR_PRIORITY, TPropValue::Int(priority));
        return box;
    };
    named_box("a", 4);
    named_box("c", 4);  // by priority and name it would sort after the first copy
    TMobuBox* owner = named_box("box", 5);
    owner->SetProp(PR_BLURSPAN, TPropValue::Int(20));
    owner->SetProp(PR_BLURDELAY, TPropValue::Int(200));
    for (int step = 0; step < 3; ++step) {
        owner->SetLeft(owner->Left + 1);
        Frame();
    }
    std::vector<std::string> order;
    for (TMobuControl* child : list_.ActiveBase()->Children()) order.push_back(child->Name());
    // box0 is the oldest and so the faintest.
    EXPECT_EQ(order, (std::vector<std::string>{"a", "c", "box0", "box1", "box2", "box"}));
}

TEST_F(Afterimages, ImageCopyKeepsItsOwnPictureAfterTheOwnerGoes)
{
    FrameDeltaMs = 20;
    auto* image = dynamic_cast<TMobuImages*>(list_.CreateComponent(LT_IMAGES));
    image->SetName("img");
    image->SetProp(PR_SOURCE, TPropValue::Text("pic\\one.fsk"));
    image->SetProp(PR_BLURSPAN, TPropValue::Int(20));
    image->SetProp(PR_BLURDELAY, TPropValue::Int(200));
    image->SetLeft(3);
    image->SetTop(4);
    Frame();
    std::vector<TMobuControl*> copies = CopiesOf("img");
    ASSERT_EQ(copies.size(), 1u);
    auto* copy = dynamic_cast<TMobuBlurImage*>(copies[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->PictureSurface(), image->PictureSurface());
    // The cached picture, held here so the owner's source change does not free it.
    TFeskItem* item = FeskCollection().Acquire(this, "pic\\one.fsk", false, false);
    image->SetProp(PR_SOURCE, TPropValue::Text("pic\\three.fsk"));
    list_.Destroy(image);
    Draw();
    TDIBX& picture = *item->Frame(0).Surface;
    TDIBX expected;
    Background(expected);
    expected.DrawAlpha(3, 4, picture, picture.SurfaceRect(), true, false, false, copy->Alpha);
    EXPECT_TRUE(SameAsFrame(expected));
    FeskCollection().Release(item, this);
}

TEST_F(Afterimages, TileCopyIsATileWithTheOwnersScroll)
{
    FrameDeltaMs = 20;
    auto* tile = dynamic_cast<TMobuTile*>(list_.CreateComponent(LT_TILE));
    tile->SetName("t");
    tile->SetProp(PR_SOURCE, TPropValue::Text("pic\\one.fsk"));
    tile->SetBounds(0, 0, 12, 12);
    tile->SetProp(PR_ALPHA, TPropValue::Int(300));
    tile->SetProp(PR_BLURSPAN, TPropValue::Int(20));
    tile->SetProp(PR_BLURDELAY, TPropValue::Int(100));
    tile->SetProp(PR_SCROLLX, TPropValue::Int(3));
    Frame();
    std::vector<TMobuControl*> copies = CopiesOf("t");
    ASSERT_EQ(copies.size(), 1u);
    auto* copy = dynamic_cast<TMobuBlurTile*>(copies[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetCompoType(), LT_TILE);
    EXPECT_EQ(copy->ScrollX, 3);
    EXPECT_EQ(copy->Width, 12);
    EXPECT_EQ(copy->Fade.Start, 256 + 22);
}

TEST_F(Afterimages, SavedBoxAfterimageComesBackAsAnOrdinaryBox)
{
    FrameDeltaMs = 20;
    auto* box = dynamic_cast<TMobuBox*>(list_.CreateComponent(LT_BOX));
    box->SetName("box");
    box->SetProp(PR_BLURSPAN, TPropValue::Int(20));
    box->SetProp(PR_BLURDELAY, TPropValue::Int(100));
    box->SetLeft(5);
    Frame();
    ASSERT_EQ(CopiesOf("box").size(), 1u);
    std::unique_ptr<TMobuBaseList> reloaded = Reloaded();
    TMobuBaseList& loaded = *reloaded;
    TMobuObject* restored = loaded.FindComponent("box0");
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->GetCompoType(), LT_BOX);
    EXPECT_EQ(dynamic_cast<TMobuBlurBox*>(restored), nullptr);
    EXPECT_NE(dynamic_cast<TMobuBox*>(restored), nullptr);
}

}  // namespace
}  // namespace mobu
