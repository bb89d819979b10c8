// The picture components on a headless screen: sources and the cache, frame animation and
// the last-frame wait, the alpha convention, zoom and explicit size, rotation, hit tests,
// tiling, and the saved forms. Every drawn scene is compared with the surface operations
// composed by hand for the same inputs.
#include "image_fixture.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/mobu_image.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

class ImageComponents : public ImageScene {
protected:
    TMobuImages* NewImages(const std::string& source)
    {
        auto* image = dynamic_cast<TMobuImages*>(list_.CreateComponent(LT_IMAGES));
        EXPECT_NE(image, nullptr);
        image->SetProp(PR_SOURCE, TPropValue::Text(source));
        return image;
    }
    TMobuTile* NewTile(const std::string& source)
    {
        auto* tile = dynamic_cast<TMobuTile*>(list_.CreateComponent(LT_TILE));
        EXPECT_NE(tile, nullptr);
        tile->SetProp(PR_SOURCE, TPropValue::Text(source));
        return tile;
    }
    // Frame `index` of a cached picture, as the components show it.
    TDIBX& CachedFrame(const std::string& path, int index)
    {
        TFeskItem* item = FeskCollection().Acquire(this, path, false, false);
        held_.push_back(item);
        return *item->Frame(index).Surface;
    }
    void TearDown() override
    {
        for (TFeskItem* item : held_) FeskCollection().Release(item, this);
        ImageScene::TearDown();
    }
    std::vector<TFeskItem*> held_;
};

TEST_F(ImageComponents, FactoryMakesTheImageKinds)
{
    TMobuObject* images = list_.CreateComponent(LT_IMAGES);
    TMobuObject* tile = list_.CreateComponent(LT_TILE);
    EXPECT_NE(dynamic_cast<TMobuImages*>(images), nullptr);
    EXPECT_NE(dynamic_cast<TMobuTile*>(tile), nullptr);
    EXPECT_EQ(images->GetProp(PR_COMPOTYPE).AsInt(), LT_IMAGES);
    EXPECT_EQ(tile->GetProp(PR_COMPOTYPE).AsInt(), LT_TILE);
}

TEST_F(ImageComponents, SourceSetsSizeFramesAndSharesTheCacheItem)
{
    struct TCase {
        const char* source;
        int32_t width, height, count;
    } cases[] = {
        {"pic\\three.fsk", 4, 3, 3},
        {"pic\\THREE.FSK", 4, 3, 3},      // the extension in any case
        {"pic\\missing.fsk", 8, 8, 1},    // the placeholder
        {"pic\\three.bmp", 0, 0, 0},      // not a picture kind
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.source);
        TMobuImages* image = NewImages(c.source);
        EXPECT_EQ(image->Width, c.width);
        EXPECT_EQ(image->Height, c.height);
        EXPECT_EQ(image->GetProp(PR_COUNT).AsInt(), c.count);
        EXPECT_EQ(image->GetProp(PR_INDEX).AsInt(), c.count > 0 ? 0 : -1);
        list_.Destroy(image);
    }
    const int before = FeskCollection().Count();
    TMobuImages* a = NewImages("pic\\three.fsk");
    TMobuImages* b = NewImages("pic\\three.fsk");
    EXPECT_EQ(FeskCollection().Count(), before + 1);
    EXPECT_EQ(a->ImageSurface, b->ImageSurface);
    EXPECT_EQ(a->GetProp(PR_ORIGWIDTH).AsInt(), 4);
    list_.Destroy(a);
    EXPECT_EQ(FeskCollection().Count(), before + 1);
    list_.Destroy(b);
    EXPECT_EQ(FeskCollection().Count(), before);
}

TEST_F(ImageComponents, ThreeFramesPlayOnceThenPostPlayEndOrScrapOrRepeat)
{
    // 50 ms a frame, 100 ms a picture frame.
    struct TCase {
        bool repeat, auto_scrap;
        std::vector<int32_t> indexes;  // after each update; -2 = removed
    } cases[] = {
        {false, false, {0, 1, 1, 2, 2, 2, 2}},
        {false, true, {0, 1, 1, 2, 2, -2}},
        {true, false, {0, 1, 1, 2, 2, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.repeat << c.auto_scrap);
        TMobuImages* image = NewImages("pic\\three.fsk");
        image->SetProp(PR_REPEAT, TPropValue::Flag(c.repeat));
        image->SetProp(PR_AUTOSCRAP, TPropValue::Flag(c.auto_scrap));
        image->SetProp(PR_ONPLAYEND, TPropValue::Text("page.msb:end"));
        const std::string name = image->Name();
        int play_ends = 0;
        for (size_t step = 0; step < c.indexes.size(); ++step) {
            Frame();
            TMobuObject* found = list_.FindComponent(name);
            if (c.indexes[step] == -2) {
                EXPECT_EQ(found, nullptr) << step;
                break;
            }
            ASSERT_EQ(found, image);
            EXPECT_EQ(image->GetProp(PR_INDEX).AsInt(), c.indexes[step]) << step;
            if (list_.Events().IsQueued(image, PR_ONPLAYEND)) ++play_ends;
            list_.Events().Clear();  // the interpreter took it
        }
        // Resting on the last frame posts the event at every update after its time.
        EXPECT_EQ(play_ends, !c.repeat && !c.auto_scrap ? 2 : 0);
        if (list_.FindComponent(name)) list_.Destroy(image);
    }
}

TEST_F(ImageComponents, PlayingUntilItRestsOnTheLastFrame)
{
    TMobuImages* image = NewImages("pic\\three.fsk");
    struct TCase {
        bool repeat, paused, ani_paused;
        int32_t index;
        bool playing;
    } cases[] = {
        {false, false, false, 0, true}, {false, false, false, 2, false}, {true, false, false, 2, true},
        {true, true, false, 0, false},  {true, false, true, 0, false},
    };
    for (const TCase& c : cases) {
        image->SetProp(PR_REPEAT, TPropValue::Flag(c.repeat));
        image->SetProp(PR_PAUSED, TPropValue::Flag(c.paused));
        image->SetProp(PR_ANIPAUSED, TPropValue::Flag(c.ani_paused));
        image->SetProp(PR_INDEX, TPropValue::Int(c.index));
        EXPECT_EQ(image->GetProp(PR_PLAYING).AsFlag(), c.playing)
            << c.repeat << c.paused << c.ani_paused << " index " << c.index;
    }
}

TEST_F(ImageComponents, ZoomedChildPlacedByTheZoomTakesItsSizeThroughTheParentsScale)
{
    // The child's picture pixels are the parent's: at the parent's zoom they span what the
    // parent's drawn size gives them, rounded in 16.16 fixed point.
    std::ofstream(folder_ / "pic" / "five.fsk", std::ios::binary) << testing_images::Picture(1, 5, 3, 100);
    struct TCase {
        const char* child;
        int32_t zoom, width;
    } cases[] = {
        {"pic\\one.fsk", 512, 8},
        {"pic\\one.fsk", 100, 1},
        // Parent 4 → 7 wide, so d = 37449 and 5 · 65536 / d = 8.75 → 9 (the plain zoom gives 8).
        {"pic\\five.fsk", 448, 9},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.zoom);
        TMobuImages* parent = NewImages("pic\\one.fsk");
        parent->SetProp(PR_ZOOMX, TPropValue::Int(c.zoom));
        TMobuImages* child = NewImages(c.child);
        child->SetParent(parent);
        child->SetProp(PR_ZOOMX, TPropValue::Int(c.zoom));
        child->SetProp(PR_POSZOOMED, TPropValue::Flag(true));
        Frame();
        EXPECT_EQ(child->Width, c.width);
        EXPECT_EQ(child->Height, 3);
        list_.Destroy(parent);
    }
}

TEST_F(ImageComponents, LastFrameWaitIsEvaluatedEachTimeTheLastFrameIsEntered)
{
    int evaluations = 0;
    TMobuCustomImages::SetDelayEvaluator([&](TMobuParser&) {
        ++evaluations;
        return 100;
    });
    TMobuImages* image = NewImages("pic\\three.fsk");
    image->SetProp(PR_REPEAT, TPropValue::Flag(true));
    // 0: 100 ms, 1: 100 ms, 2: 100 + 100 ms; at 50 ms an update the cycle is 8 updates.
    std::vector<int32_t> seen;
    for (int i = 0; i < 16; ++i) {
        Frame();
        seen.push_back(image->Index());
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 1, 2, 2, 2, 2, 0, 0, 1, 1, 2, 2, 2, 2, 0}));
    EXPECT_EQ(evaluations, 2);
    TMobuCustomImages::SetDelayEvaluator(nullptr);
}

TEST_F(ImageComponents, AlphaBlendsCopiesAddsOrHides)
{
    struct TCase {
        int32_t alpha;
        std::function<void(TDIBX&, TDIBX&)> draw;
    } cases[] = {
        {-3, [](TDIBX&, TDIBX&) {}},
        {0, [](TDIBX&, TDIBX&) {}},
        {100, [](TDIBX& to, TDIBX& p) { to.DrawAlpha(5, 6, p, p.SurfaceRect(), true, false, false, 100); }},
        {255, [](TDIBX& to, TDIBX& p) { to.Draw(5, 6, p, p.SurfaceRect(), true, false, false); }},
        {300, [](TDIBX& to, TDIBX& p) { to.DrawAdd(5, 6, p, p.SurfaceRect(), true, false, false, 44); }},
    };
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.alpha);
        TMobuImages* image = NewImages("pic\\one.fsk");
        image->SetLeft(5);
        image->SetTop(6);
        image->SetProp(PR_ALPHA, TPropValue::Int(c.alpha));
        Draw();
        TDIBX expected;
        Background(expected);
        c.draw(expected, picture);
        EXPECT_TRUE(SameAsFrame(expected));
        // Hidden by its alpha, it still takes the mouse.
        EXPECT_EQ(list_.ActiveBase()->HitTest(6, 7, kMaskMove), image);
        list_.Destroy(image);
    }
}

TEST_F(ImageComponents, ExplicitWidthStretchesUntilAZoomIsAssigned)
{
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    TMobuImages* image = NewImages("pic\\one.fsk");
    image->SetLeft(2);
    image->SetTop(3);
    image->SetProp(PR_WIDTH, TPropValue::Int(8));
    Frame();
    EXPECT_EQ(image->Width, 8);
    Draw();
    TDIBX expected;
    Background(expected);
    expected.StretchDrawAlpha(TRect{2, 3, 10, 6}, picture, picture.SurfaceRect(), true, false, false, 255);
    EXPECT_TRUE(SameAsFrame(expected));

    image->SetProp(PR_ZOOMX, TPropValue::Int(256));
    Frame();
    EXPECT_EQ(image->Width, 4);
    // A zoom scales the natural size; values of 0 and below become 1.
    image->SetProp(PR_ZOOMY, TPropValue::Int(512));
    Frame();
    EXPECT_EQ(image->Height, 6);
    image->SetProp(PR_ZOOMX, TPropValue::Int(-4));
    EXPECT_EQ(image->GetProp(PR_ZOOMX).AsInt(), 1);
}

TEST_F(ImageComponents, FlipsAndRotationDrawThroughTheSurfaceOperations)
{
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    struct TCase {
        int32_t angle;
        bool flip_h;
        std::function<void(TDIBX&)> draw;
    } cases[] = {
        {0, true, [&](TDIBX& to) { to.Draw(5, 6, picture, picture.SurfaceRect(), true, true, false); }},
        {64, false,
         [&](TDIBX& to) {
             to.DrawRotate(7, 7, 256, 256, picture, picture.SurfaceRect(), 1, 1, 64, true, false, false, 255);
         }},
        {32, true,
         [&](TDIBX& to) {
             to.DrawRotate(7, 7, 256, 256, picture, picture.SurfaceRect(), 2, 1, 32, true, true, false, 255);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.angle);
        TMobuImages* image = NewImages("pic\\one.fsk");
        image->SetProp(PR_OFFSETX, TPropValue::Int(1));
        image->SetProp(PR_OFFSETY, TPropValue::Int(1));
        image->SetLeft(7);
        image->SetTop(7);
        image->SetProp(PR_ANGLE, TPropValue::Int(c.angle));
        image->SetProp(PR_FLIPH, TPropValue::Flag(c.flip_h));
        Frame();
        Draw();
        TDIBX expected;
        Background(expected);
        c.draw(expected);
        EXPECT_TRUE(SameAsFrame(expected));
        list_.Destroy(image);
    }
}

TEST_F(ImageComponents, RotatedPictureIsHitWhereItIsDrawn)
{
    // 4 × 3 picture turned a quarter around its top left corner at (8, 8): it covers
    // x 6..8, y 8..11.
    TMobuImages* image = NewImages("pic\\one.fsk");
    image->SetLeft(8);
    image->SetTop(8);
    image->SetProp(PR_ANGLE, TPropValue::Int(64));
    const TRect bounds = image->GetBoundsRect();
    EXPECT_EQ(bounds.Left, 5);
    EXPECT_EQ(bounds.Top, 8);
    EXPECT_EQ(bounds.Right, 8);
    EXPECT_EQ(bounds.Bottom, 12);
    struct TCase {
        int32_t x, y;
        bool hit;
    } cases[] = {{6, 8, true}, {7, 11, true}, {9, 8, false}, {10, 9, false}, {6, 12, false}};
    for (const TCase& c : cases)
        EXPECT_EQ(list_.ActiveBase()->HitTest(c.x, c.y, kMaskMove) == image, c.hit) << c.x << "," << c.y;
}

TEST_F(ImageComponents, CaptureMaskLimitsTheHitToOpaquePixels)
{
    TMobuImages* image = NewImages("pic\\one.fsk");
    image->SetLeft(4);
    image->SetTop(4);
    // Mask: only the right half (columns 2, 3) is opaque.
    image->OwnMask = std::make_unique<TDIBX>();
    image->OwnMask->SetSize(4, 3, 8);
    image->OwnMask->Store().FillValue(TRect{0, 0, 4, 3}, 0);
    image->OwnMask->Store().FillValue(TRect{2, 0, 4, 3}, 255);
    struct TCase {
        bool capture, flip;
        int32_t zoom;
        int32_t x;
        bool hit;
    } cases[] = {
        {false, false, 256, 4, true}, {true, false, 256, 4, false}, {true, false, 256, 6, true},
        // Flipped, the anchor moves the picture to x 1..4 and the mask is mirrored.
        {true, true, 256, 1, true},   {true, true, 256, 4, false},  {true, false, 512, 9, true},
        {true, false, 512, 7, false},
    };
    for (const TCase& c : cases) {
        image->SetProp(PR_CAPTUREMASK, TPropValue::Flag(c.capture));
        image->SetProp(PR_FLIPH, TPropValue::Flag(c.flip));
        image->SetProp(PR_ZOOMX, TPropValue::Int(c.zoom));
        Frame();
        EXPECT_EQ(list_.ActiveBase()->HitTest(c.x, 5, kMaskMove) == image, c.hit)
            << c.capture << c.flip << c.zoom << " x " << c.x;
    }
}

TEST_F(ImageComponents, BrightnessShowsAnAdjustedCopyWithItsKey)
{
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    for (int32_t brightness : {40, -40}) {
        SCOPED_TRACE(brightness);
        TMobuImages* image = NewImages("pic\\one.fsk");
        image->SetProp(PR_BRIGHTNESS, TPropValue::Int(brightness));
        Draw();
        TDIBX copy;
        copy.SetSize(picture.Width(), picture.Height(), 32);
        copy.Assign(picture);
        copy.TransparentColor = picture.TransparentColor;
        ApplyBrightness(copy, brightness);
        EXPECT_NE(image->ImageSurface, &picture);
        TDIBX expected;
        Background(expected);
        expected.Draw(0, 0, copy, copy.SurfaceRect(), true, false, false);
        EXPECT_TRUE(SameAsFrame(expected));
        list_.Destroy(image);
    }
}

TEST_F(ImageComponents, TileRepeatsThePictureShiftedByTheScroll)
{
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    struct TCase {
        int32_t scroll_x, scroll_y, distance_x, alpha;
        std::function<void(TDIBX&, const TRect&)> draw;
    } cases[] = {
        {1, -1, 0, 255,
         [&](TDIBX& to, const TRect& r) { to.TileDraw(r, 0, 0, picture, picture.SurfaceRect(), true, 1, 2); }},
        {6, 0, 0, 100,
         [&](TDIBX& to, const TRect& r) {
             to.TileDrawAlpha(r, 0, 0, picture, picture.SurfaceRect(), true, 2, 0, 100);
         }},
        // A distance of at least half the picture width is the horizontal step.
        {0, 0, 6, 255,
         [&](TDIBX& to, const TRect& r) {
             to.TileStretchDraw(r, 2, 0, picture, picture.SurfaceRect(), true, 0, 0, 256, false, 255);
         }},
        // A shorter one does not count.
        {0, 0, 1, 255,
         [&](TDIBX& to, const TRect& r) { to.TileDraw(r, 0, 0, picture, picture.SurfaceRect(), true, 0, 0); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scroll_x << " " << c.distance_x);
        TMobuTile* tile = NewTile("pic\\one.fsk");
        // The anchor is ignored by tiles.
        tile->SetProp(PR_OFFSETX, TPropValue::Int(3));
        tile->SetBounds(1, 2, 13, 9);
        tile->SetProp(PR_SCROLLX, TPropValue::Int(c.scroll_x));
        tile->SetProp(PR_SCROLLY, TPropValue::Int(c.scroll_y));
        tile->SetProp(PR_DISTANCEX, TPropValue::Int(c.distance_x));
        tile->SetProp(PR_ALPHA, TPropValue::Int(c.alpha));
        tile->SetProp(PR_ANGLE, TPropValue::Int(64));  // tiles are never turned
        Draw();
        TDIBX expected;
        Background(expected);
        c.draw(expected, TRect{1, 2, 14, 11});
        EXPECT_TRUE(SameAsFrame(expected));
        EXPECT_EQ(list_.ActiveBase()->HitTest(13, 10, kMaskMove), tile);
        EXPECT_EQ(list_.ActiveBase()->HitTest(0, 10, kMaskMove), list_.ActiveBase());
        list_.Destroy(tile);
    }
}

// A tile given its area by PR_WIDTH/PR_HEIGHT keeps its zoom and repeats the picture over
// the whole area, also after the size is derived again (a zoom change, a frame change) and
// after a save; other pictures drop their zoom and stretch instead.
TEST_F(ImageComponents, TileSizedByItsPropertiesKeepsItsZoomAndArea)
{
    TDIBX& picture = CachedFrame("pic\\one.fsk", 0);
    TMobuTile* tile = NewTile("pic\\one.fsk");
    tile->SetName("band");
    tile->SetProp(PR_WIDTH, TPropValue::Int(16));
    tile->SetProp(PR_HEIGHT, TPropValue::Int(7));
    tile->SetProp(PR_ZOOMY, TPropValue::Int(256));  // derives the size again
    Frame();
    EXPECT_EQ(tile->GetProp(PR_ZOOMX).AsInt(), 256);
    EXPECT_EQ((std::vector<int32_t>{tile->Width, tile->Height}), (std::vector<int32_t>{16, 7}));
    Draw();
    TDIBX expected;
    Background(expected);
    expected.TileDraw(TRect{0, 0, 16, 7}, 0, 0, picture, picture.SurfaceRect(), true, 0, 0);
    EXPECT_TRUE(SameAsFrame(expected));

    std::unique_ptr<TMobuBaseList> reloaded = Reloaded();
    TMobuBaseList& loaded = *reloaded;
    auto* again = dynamic_cast<TMobuTile*>(loaded.FindComponent("band"));
    ASSERT_NE(again, nullptr);
    again->SetProp(PR_ZOOMX, TPropValue::Int(256));
    loaded.UpdatePass();
    EXPECT_EQ((std::vector<int32_t>{again->Width, again->Height}), (std::vector<int32_t>{16, 7}));

    TMobuImages* image = NewImages("pic\\one.fsk");
    image->SetProp(PR_WIDTH, TPropValue::Int(16));
    EXPECT_EQ(image->GetProp(PR_ZOOMX).AsInt(), 0);
}

TEST_F(ImageComponents, SavedImagesAndTilesComeBackWithTheirState)
{
    TMobuImages* image = NewImages("pic\\three.fsk");
    image->SetName("pic");
    image->SetProp(PR_REPEAT, TPropValue::Flag(true));
    image->SetProp(PR_ALPHA, TPropValue::Int(300));
    image->SetProp(PR_ZOOMX, TPropValue::Int(512));
    image->SetProp(PR_ANGLE, TPropValue::Int(12));
    image->SetProp(PR_FLIPV, TPropValue::Flag(true));
    image->SetProp(PR_BRIGHTNESS, TPropValue::Int(-20));
    image->SetProp(PR_BLURSPAN, TPropValue::Int(30));
    image->SetProp(PR_ONPLAYEND, TPropValue::Text("a.msb:b"));
    image->SetProp(PR_INDEX, TPropValue::Int(2));
    Frame();
    TMobuTile* tile = NewTile("pic\\one.fsk");
    tile->SetName("tile");
    tile->SetBounds(0, 0, 10, 10);
    tile->SetProp(PR_SCROLLX, TPropValue::Int(-3));
    tile->SetProp(PR_DISTANCEY, TPropValue::Int(7));
    tile->SetProp(PR_ONIDLE, TPropValue::Text("a.msb:idle"));

    std::unique_ptr<TMobuBaseList> reloaded = Reloaded();
    TMobuBaseList& loaded = *reloaded;

    auto* image2 = dynamic_cast<TMobuImages*>(loaded.FindComponent("pic"));
    ASSERT_NE(image2, nullptr);
    for (int id : {PR_REPEAT, PR_ALPHA, PR_ZOOMX, PR_ANGLE, PR_FLIPV, PR_BRIGHTNESS, PR_BLURSPAN, PR_ONPLAYEND,
                   PR_INDEX, PR_SOURCE, PR_WIDTH, PR_HEIGHT, PR_COUNT})
        EXPECT_EQ(image2->GetProp(id), image->GetProp(id)) << PropertyInfo(id).name;
    EXPECT_EQ(image2->FrameLeft(), image->FrameLeft());
    EXPECT_NE(image2->ImageSurface, nullptr);
    auto* tile2 = dynamic_cast<TMobuTile*>(loaded.FindComponent("tile"));
    ASSERT_NE(tile2, nullptr);
    for (int id : {PR_SCROLLX, PR_DISTANCEY, PR_ONIDLE, PR_SOURCE, PR_WIDTH})
        EXPECT_EQ(tile2->GetProp(id), tile->GetProp(id)) << PropertyInfo(id).name;
}

TEST_F(ImageComponents, FilmPictureCopiesFrameZeroAndDarkensItsCopy)
{
    TDIBX& picture = CachedFrame("pic\\three.fsk", 0);
    const int before = FeskCollection().Count();
    auto* film = new TMobuImage(&list_);  // the list owns it
    TMobuImage& image = *film;
    image.SetSource("pic\\three.fsk");
    EXPECT_EQ(FeskCollection().Count(), before);  // the item was let go again
    EXPECT_EQ(image.Width, 4);
    EXPECT_EQ(image.OwnSurface.GetPixel(2, 1), picture.GetPixel(2, 1));
    image.SetBrightness(300);
    EXPECT_EQ(image.Brightness(), 255);
    image.SetBrightness(200);
    TDIBX copy;
    copy.SetSize(4, 3, 32);
    copy.Assign(picture);
    copy.FillRectSub(copy.SurfaceRect(), static_cast<uint32_t>(copy.ColorToPixel(0x373737)));
    EXPECT_EQ(image.OwnSurface.GetPixel(2, 1), copy.GetPixel(2, 1));
    EXPECT_EQ(image.GetCompoType(), LT_NONE);
}

TEST_F(ImageComponents, SurfacesComeBackAfterADisplayChangeOrADitherSwitch)
{
    TMobuImages* image = NewImages("pic\\three.fsk");
    image->SetProp(PR_BRIGHTNESS, TPropValue::Int(30));
    image->SetProp(PR_INDEX, TPropValue::Int(1));
    struct TCase {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"recreated", [&] { list_.ReleaseSurfaces(); list_.RestoreSurfaces(true); }},
        {"in place", [&] { list_.ReleaseSurfaces(); list_.RestoreSurfaces(false); }},
        {"dither", [&] { list_.SetImageDither(!FeskCollection().Dither()); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        TFeskItem* item = image->Lists[0]->Item();
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(image->ImageSurface, &image->Lists[0]->Surface(1, 30));
        TDIBX copy;
        copy.SetSize(4, 3, 32);
        copy.Assign(*item->Frame(1).Surface);
        copy.TransparentColor = item->Frame(1).Surface->TransparentColor;
        ApplyBrightness(copy, 30);
        Draw();
        TDIBX expected;
        Background(expected);
        expected.Draw(0, 0, copy, copy.SurfaceRect(), true, false, false);
        EXPECT_TRUE(SameAsFrame(expected));
    }
    list_.SetImageDither(false);
}

}  // namespace
}  // namespace mobu
