// A message box draws the pictures of its inline image glyphs from the image cache: keyed
// and copied at full opacity, blended by the box's alpha below 255, added above it.
#include "image_fixture.h"

#include "components/mobu_mes.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

class MessageInlineImage : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        // At the folder's root: a backslash in a tag attribute is an escape.
        std::ofstream(folder_ / "icon.fsk", std::ios::binary) << testing_images::Picture(1, 4, 3, 100);
    }
    TMobuMes* Box(const char* text, int32_t alpha)
    {
        auto* box = dynamic_cast<TMobuMes*>(list_.CreateComponent(LT_MES));
        EXPECT_NE(box, nullptr);
        box->SetBounds(2, 3, 12, 12);
        box->SetProp(PR_WIDTH, TPropValue::Int(12));
        box->SetProp(PR_HEIGHT, TPropValue::Int(12));
        box->SetProp(PR_DELAY, TPropValue::Int(0));
        box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
        box->SetProp(PR_ALPHA, TPropValue::Int(alpha));
        box->SetProp(PR_TEXT, TPropValue::Text(text));
        for (int i = 0; i < 3; ++i) Frame();
        return box;
    }
    // The frame 0 picture of the cache (with its mask when it has one), as the box draws it.
    TFeskItemFrame& Picture()
    {
        TFeskItem* item = FeskCollection().Acquire(this, "icon.fsk", false, true);
        held_ = item;
        return item->Frame(0);
    }
    void TearDown() override
    {
        if (held_) FeskCollection().Release(held_, this);
        ImageScene::TearDown();
    }
    TFeskItem* held_ = nullptr;
};

TEST_F(MessageInlineImage, ImageGlyphDrawsItsPictureWithTheBoxOpacityRule)
{
    struct TCase {
        int32_t alpha;
        const char* rule;
    } cases[] = {{255, "copy"}, {128, "blend"}, {300, "add"}};
    for (const TCase& c : cases) {
        TMobuMes* box = Box("<IMG SRC=\"icon.fsk\">", c.alpha);
        ASSERT_EQ(box->GetProp(PR_COUNT).integer, 1) << c.rule;
        // The image sits at the text origin, bottom-aligned in a row of its own height.
        Draw();
        TDIBX expected;
        Background(expected);
        TFeskItemFrame& frame = Picture();
        TDIBX& picture = *frame.Surface;
        const TRect whole = picture.SurfaceRect();
        const int blended = 255 * c.alpha >> 8, added = 255 * (c.alpha - 256) / 256;
        if (frame.Mask) {
            if (c.alpha == 255) expected.DrawMask(2, 3, picture, whole, false, false, *frame.Mask);
            else if (c.alpha < 255) expected.DrawAlphaMask(2, 3, picture, whole, false, false, *frame.Mask, blended);
            else expected.DrawAddMask(2, 3, picture, whole, false, false, *frame.Mask, added);
        } else {
            if (c.alpha == 255) expected.Draw(2, 3, picture, whole, true, false, false);
            else if (c.alpha < 255) expected.DrawAlpha(2, 3, picture, whole, true, false, false, blended);
            else expected.DrawAdd(2, 3, picture, whole, true, false, false, added);
        }
        EXPECT_TRUE(SameAsFrame(expected)) << c.rule;
        list_.Doom(box);
        Frame();
    }
}

TEST_F(MessageInlineImage, MissingPictureIsEmptyAndDrawsNothing)
{
    TMobuMes* box = Box("<IMG SRC=\"none.fsk\">", 255);
    ASSERT_EQ(box->GetProp(PR_COUNT).integer, 1);
    Draw();
    TDIBX expected;
    Background(expected);
    EXPECT_TRUE(SameAsFrame(expected));
}

}  // namespace
}  // namespace mobu
