// The type parts of boxes, images, tiles and map images as older saves wrote them: each
// version reads exactly the fields it has and leaves the rest at their defaults.
#include "image_fixture.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/mobu_box.h"
#include "components/mobu_image.h"
#include "components/mobu_map_image.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

struct TOpenBox : TMobuBox {
    using TMobuBox::LoadTypePart;
    using TMobuBox::TMobuBox;
};
struct TOpenImages : TMobuImages {
    using TMobuImages::LoadTypePart;
    using TMobuImages::TMobuImages;
};
struct TOpenTile : TMobuTile {
    using TMobuTile::LoadTypePart;
    using TMobuTile::TMobuTile;
};
struct TOpenMap : TMobuMapImage {
    using TMobuMapImage::LoadTypePart;
    using TMobuMapImage::TMobuMapImage;
};

constexpr int32_t kSentinel = 0x5A5A5A5A;
const int kVersions[] = {102, 103, 104, 114, 115, 139, 140};

// The picture part: alpha 77, zoom X 512, angle 5, flips and capture mask, then the frames.
void WriteCustomImages(ByteWriter& out, int version)
{
    out.I32(77);
    out.I32(512);
    out.I32(5);
    out.Flag(true);
    out.Flag(false);
    out.Flag(true);
    if (version > 103) out.I32(384);
    if (version >= 140) {
        out.I32(30);
        out.I32(60);
    }
    out.I32(40);  // frame left
    out.I32(0);   // index
    out.I32(-9);  // brightness
    out.Flag(false);
    TMobuParser().SaveToStream(out);
}

class SavedVersions : public ImageScene {
protected:
    // Reads `bytes` through `load` and checks that the sentinel follows.
    template <typename TLoad>
    void ReadsInStep(const ByteWriter& out, int version, TLoad load)
    {
        ByteReader in(out.Bytes());
        load(in);
        ASSERT_EQ(in.Remaining(), 4u) << "version " << version;
        EXPECT_EQ(in.I32(), kSentinel);
    }
};

TEST_F(SavedVersions, BoxReadsTheFieldsOfItsVersion)
{
    for (int version : kVersions) {
        SCOPED_TRACE(version);
        ByteWriter out;
        out.I32(2);
        out.I32(0x123456);
        out.I32(99);
        if (version > 103) {
            out.String("p.msb:idle");
            out.String("");
            out.Flag(true);
            out.Flag(false);
            out.String("p.msb:end");
            out.Flag(false);
            out.Flag(true);
        }
        if (version > 139) {
            out.I32(25);
            out.I32(50);
        }
        out.I32(kSentinel);
        auto* box = new TOpenBox(&list_);
        ReadsInStep(out, version, [&](ByteReader& in) { box->LoadTypePart(in, version); });
        EXPECT_EQ(box->BorderColor, 0x123456);
        EXPECT_EQ(box->Alpha, 99);
        EXPECT_EQ(box->Repeat, version > 103);
        EXPECT_EQ(box->AniPaused, version > 103);
        EXPECT_EQ(box->BlurDelay, version > 139 ? 50 : 0);
        list_.Destroy(box);
    }
}

TEST_F(SavedVersions, ImagesAndTilesReadTheFieldsOfTheirVersion)
{
    for (int version : kVersions) {
        SCOPED_TRACE(version);
        ByteWriter images;
        WriteCustomImages(images, version);
        images.Flag(true);
        images.Flag(false);
        images.String("pic\\three.fsk");
        images.String("p.msb:end");
        if (version > 103) images.String("p.msb:idle");
        images.I32(kSentinel);
        auto* image = new TOpenImages(&list_);
        ReadsInStep(images, version, [&](ByteReader& in) { image->LoadTypePart(in, version); });
        EXPECT_EQ(image->Alpha, 77);
        EXPECT_EQ(image->ZoomYValue, version > 103 ? 384 : 512);
        EXPECT_EQ(image->BlurSpan, version >= 140 ? 30 : 0);
        EXPECT_EQ(image->Brightness, -9);
        EXPECT_EQ(image->FrameLeft(), 40);
        EXPECT_EQ(image->GetProp(PR_COUNT).AsInt(), 3);
        EXPECT_EQ(image->EventString(PR_ONIDLE), version > 103 ? "p.msb:idle" : "");
        list_.Destroy(image);

        ByteWriter tiles;
        WriteCustomImages(tiles, version);
        tiles.I32(-4);
        tiles.I32(6);
        tiles.String("pic\\one.fsk");
        tiles.String("p.msb:idle");
        tiles.I32(3);
        tiles.I32(8);
        tiles.I32(kSentinel);
        auto* tile = new TOpenTile(&list_);
        ReadsInStep(tiles, version, [&](ByteReader& in) { tile->LoadTypePart(in, version); });
        EXPECT_EQ(tile->ScrollX, -4);
        EXPECT_EQ(tile->DistanceY, 8);
        EXPECT_EQ(tile->Source(), "pic\\one.fsk");
        list_.Destroy(tile);
    }
}

TEST_F(SavedVersions, MapImageReadsTheFieldsOfItsVersion)
{
    for (int version : kVersions) {
        SCOPED_TRACE(version);
        ByteWriter out;
        out.String("pic\\one.fsk");
        out.String("pic\\hover.fsk");
        out.String("pic\\none.map");
        out.I32(200);
        out.I32(12);
        out.String("p.msb:in");
        out.String("p.msb:out");
        out.Flag(true);
        out.Flag(true);
        if (version > 103) {
            out.String("p.msb:idle");
            out.Flag(true);
            out.String("p.msb:select");
        }
        if (version > 114) out.I32(TMobuMapImage::kClosing);
        out.I32(kSentinel);
        auto* map = new TOpenMap(&list_);
        ReadsInStep(out, version, [&](ByteReader& in) { map->LoadTypePart(in, version); });
        EXPECT_EQ(map->GetProp(PR_ALPHA).AsInt(), 200);
        EXPECT_EQ(map->GetProp(PR_HOVERSOURCE).AsText(), "pic\\hover.fsk");
        EXPECT_EQ(map->GetProp(PR_PAUSED).AsFlag(), version > 103);
        EXPECT_EQ(map->CloseState(), version > 114 ? TMobuMapImage::kClosing : 0);
        list_.Destroy(map);
    }
}

}  // namespace
}  // namespace mobu
