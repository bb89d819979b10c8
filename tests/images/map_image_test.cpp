// The selection-map image: hover by mouse and keys with the map-in and map-out events,
// selection and cancelling, closing, drawing the two pictures through the region masks,
// and the saved form.
#include "image_fixture.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/map_file.h"
#include "components/mobu_map_image.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

TMapRegion Box(const char* name, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    TMapRegion region;
    region.Name = name;
    region.Shape = TRegionShape::Rectangle;
    region.Box = TRect{left, top, right, bottom};
    return region;
}

class MapImage : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        // "left" covers columns 0-1, "right" columns 2-3 of the 4 × 3 picture.
        std::ofstream(folder_ / "pic" / "two.map", std::ios::binary)
            << WriteMapFile({Box("left", 0, 0, 2, 3), Box("right", 2, 0, 4, 3)});
        saved_params_ = ParamMan;
        ParamMan = &params_;
        map_ = dynamic_cast<TMobuMapImage*>(list_.CreateComponent(LT_MAPIMG));
        ASSERT_NE(map_, nullptr);
        map_->SetName("map");
        map_->SetProp(PR_SOURCE, TPropValue::Text("pic\\one.fsk"));
        map_->SetProp(PR_HOVERSOURCE, TPropValue::Text("pic\\hover.fsk"));
        map_->SetProp(PR_MAPSOURCE, TPropValue::Text("pic\\two.map"));
        map_->SetLeft(4);
        map_->SetTop(5);
        for (int code : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT}) map_->SetProp(code, TPropValue::Text("p.msb:l"));
    }
    void TearDown() override
    {
        ParamMan = saved_params_;
        ImageScene::TearDown();
    }
    void MouseAt(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.ProcessInput(15);
    }
    // The queued events as "code name index" lines, then the queue is emptied.
    std::vector<std::string> TakeEvents()
    {
        std::vector<std::string> seen;
        for (int32_t i = 0; i < list_.Events().Count(); ++i) {
            const TTimerData& e = list_.Events().At(i);
            std::string line = std::to_string(e.Code);
            for (const std::string& p : e.Params) line += " " + p;
            seen.push_back(line);
        }
        list_.Events().Clear();
        return seen;
    }

    TParamCollection params_;
    TParamCollection* saved_params_ = nullptr;
    TMobuMapImage* map_ = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(MapImage, SizeFollowsThePictureAndAMissingMapHasNoRegions)
{
    EXPECT_EQ(map_->Width, 4);
    EXPECT_EQ(map_->Height, 3);
    EXPECT_EQ(map_->Regions().size(), 2u);
    EXPECT_TRUE(map_->GetProp(PR_REPEAT).AsFlag());
    map_->SetProp(PR_MAPSOURCE, TPropValue::Text("pic\\none.map"));
    EXPECT_TRUE(map_->Regions().empty());
    MouseAt(5, 6);
    EXPECT_EQ(map_->HoverIndex(), -1);
}

TEST_F(MapImage, MouseMovesTheHoverWithMapOutAndMapIn)
{
    MouseAt(4, 5);
    EXPECT_EQ(TakeEvents(), (Lines{"104 left 0"}));
    MouseAt(5, 7);  // still "left"
    EXPECT_EQ(TakeEvents(), Lines{});
    MouseAt(7, 6);
    EXPECT_EQ(TakeEvents(), (Lines{"105 left 0", "104 right 1"}));
    MouseAt(12, 12);  // off the picture
    EXPECT_EQ(TakeEvents(), (Lines{"105 right 1"}));
    EXPECT_EQ(map_->HoverIndex(), -1);
}

TEST_F(MapImage, ClickSelectsTheHoveredRegionAndAutoScrapCloses)
{
    map_->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    MouseAt(6, 6);
    TakeEvents();
    list_.MouseButtonDown(true, false);
    list_.ProcessInput(15);
    EXPECT_EQ(params_.SelStr, "right");
    EXPECT_EQ(params_.SelIndex, 1);
    EXPECT_EQ(TakeEvents(), (Lines{"72 right 1"}));
    EXPECT_EQ(map_->CloseState(), TMobuMapImage::kClosing);
    list_.UpdatePass();
    EXPECT_TRUE(map_->IsSelecting());
    EXPECT_EQ(map_->CloseState(), TMobuMapImage::kClosed);
    list_.UpdatePass();
    EXPECT_EQ(list_.FindComponent("map"), nullptr);
}

TEST_F(MapImage, KeysWalkTheRegionsSelectAndCancel)
{
    map_->SetProp(PR_HANDLEKEY, TPropValue::Int(1));
    map_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    list_.SetFocus(map_);
    auto press = [&](int code) {
        list_.KeyEvent(code, true);
        list_.KeyClick(code);
        list_.ProcessInput(15);
        list_.KeyEvent(code, false);
        list_.ProcessInput(15);
    };
    struct TStep {
        int key;
        int hover;
    } steps[] = {{39, 0}, {40, 1}, {39, 0}, {37, 1}, {38, 0}, {38, 1}};
    for (const TStep& s : steps) {
        press(s.key);
        EXPECT_EQ(map_->HoverIndex(), s.hover) << "key " << s.key;
    }
    TakeEvents();
    press(13);
    EXPECT_EQ(params_.SelStr, "right");
    EXPECT_EQ(TakeEvents(), (Lines{"72 right 1"}));
    EXPECT_EQ(map_->CloseState(), 0);  // without AutoScrap it stays open
    press(27);
    EXPECT_EQ(params_.SelStr, "");
    EXPECT_EQ(params_.SelIndex, -1);
    EXPECT_EQ(map_->CloseState(), TMobuMapImage::kClosing);
}

TEST_F(MapImage, RightClickCancelsOnlyWithRClickScrap)
{
    for (bool scrap : {false, true}) {
        SCOPED_TRACE(scrap);
        params_.SelStr = "x";
        map_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(scrap));
        list_.MousePosition(1, 1);
        list_.MouseButtonDown(false, true);
        list_.ProcessInput(15);
        list_.MouseButtonUp();
        EXPECT_EQ(params_.SelStr, scrap ? "" : "x");
        EXPECT_EQ(map_->CloseState(), scrap ? TMobuMapImage::kClosing : 0);
        EXPECT_EQ(list_.ActiveBase()->RClick, !scrap);  // consumed when it closed
    }
}

TEST_F(MapImage, HoveredRegionShowsTheHoverPictureOnly)
{
    MouseAt(4, 5);  // "left"
    Draw();
    // By hand: the masks as loaded, cut to outside / inside columns 0-1.
    TFeskItem* normal = FeskCollection().Acquire(this, "pic\\one.fsk", false, true);
    TFeskItem* hover = FeskCollection().Acquire(this, "pic\\hover.fsk", false, true);
    auto cut = [](TFeskItemFrame& frame, bool inside) {
        auto mask = std::make_unique<TDIBX>();
        mask->SetSize(4, 3, 8);
        mask->Store().Duplicate(frame.Mask->Store());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                if ((x < 2) != inside) mask->Store().ScanLine(y)[x] = 0;
        return mask;
    };
    auto normal_mask = cut(normal->Frame(0), false);
    auto hover_mask = cut(hover->Frame(0), true);
    TDIBX expected;
    Background(expected);
    TDIBX& n = *normal->Frame(0).Surface;
    TDIBX& h = *hover->Frame(0).Surface;
    expected.DrawMask(4, 5, n, n.SurfaceRect(), false, false, *normal_mask);
    expected.DrawMask(4, 5, h, h.SurfaceRect(), false, false, *hover_mask);
    EXPECT_TRUE(SameAsFrame(expected));
    FeskCollection().Release(normal, this);
    FeskCollection().Release(hover, this);
}

TEST_F(MapImage, SavedFormRestoresSourcesRegionsAndState)
{
    map_->SetProp(PR_ALPHA, TPropValue::Int(120));
    map_->SetProp(PR_BRIGHTNESS, TPropValue::Int(-10));
    map_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    map_->SetProp(PR_ONIDLE, TPropValue::Text("p.msb:idle"));
    map_->Cancel();
    std::unique_ptr<TMobuBaseList> reloaded = Reloaded();
    TMobuBaseList& loaded = *reloaded;
    auto* again = dynamic_cast<TMobuMapImage*>(loaded.FindComponent("map"));
    ASSERT_NE(again, nullptr);
    for (int id : {PR_SOURCE, PR_HOVERSOURCE, PR_MAPSOURCE, PR_ALPHA, PR_BRIGHTNESS, PR_RCLICKSCRAP, PR_ONIDLE,
                   PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_WIDTH, PR_LEFT})
        EXPECT_EQ(again->GetProp(id), map_->GetProp(id)) << PropertyInfo(id).name;
    EXPECT_EQ(again->Regions().size(), 2u);
    EXPECT_EQ(again->CloseState(), TMobuMapImage::kClosing);
}

}  // namespace
}  // namespace mobu
