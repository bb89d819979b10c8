#include <gtest/gtest.h>

#include <functional>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"
#include "tests/support/memory_ceiling.h"
#include "fesk_writer_for_tests.h"

namespace mobu {
namespace {

using namespace testing_fesk;

size_t RowBytes(int width, int bits) { return (static_cast<size_t>(width) * (bits == 15 ? 16 : bits) + 31) / 32 * 4; }

// Rows top first, each padded to 4 bytes, of 24-bit pixels 0xRRGGBB.
std::string Rows24(int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::string out;
    for (int y = 0; y < height; ++y) {
        std::string row(RowBytes(width, 24), '\0');
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixel(x, y);
            row[3 * x] = static_cast<char>(p & 0xFF);
            row[3 * x + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        out += row;
    }
    return out;
}

std::string Rows8(int width, int height, const std::function<uint8_t(int, int)>& value)
{
    std::string out;
    for (int y = 0; y < height; ++y) {
        std::string row(RowBytes(width, 8), '\0');
        for (int x = 0; x < width; ++x) row[x] = static_cast<char>(value(x, y));
        out += row;
    }
    return out;
}

uint32_t Gradient(int x, int y) { return static_cast<uint32_t>(x * 40) << 16 | static_cast<uint32_t>(y * 50) << 8 | 0x33; }

TRawFrame OneLayerFrame(int width, int height, bool with_alpha)
{
    TRawFrame f;
    f.width = width;
    f.height = height;
    TRawLayer l;
    l.colour = Rows24(width, height, Gradient);
    if (with_alpha) {
        l.alpha = Rows8(width, height, [](int x, int y) { return static_cast<uint8_t>(x * 30 + y); });
        l.use_alpha = 1;
    }
    f.layers.push_back(l);
    return f;
}

void ExpectGradient(const TDIBSurface& image)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) ASSERT_EQ(image.GetPixel(x, y), Gradient(x, y)) << x << "," << y;
}

TEST(FeskReader, EveryVersionGateReadsItsFields)
{
    for (int version : {0, 99, 100, 101, 102, 103, 104, 105, 106}) {
        SCOPED_TRACE(version);
        TRawFile file;
        file.version = version;
        file.back_color = 0x00123456;
        file.first_layer_opaque = 1;
        TRawFrame frame = OneLayerFrame(5, 3, version > 99);
        frame.areas1 = {{1, 1, 3, 2}};
        frame.delay = 250;
        frame.name = "frame";
        file.frames.push_back(frame);
        TFeskFrameList list;
        list.LoadFromStream(WriteRawFesk(file), false, true, false);
        EXPECT_EQ(list.Version, version);
        ASSERT_EQ(list.Count(), 1);
        const TFeskFrame& f = list.Frames(0);
        EXPECT_EQ(f.Name, "frame");
        EXPECT_EQ(f.Delay, 250);
        ExpectGradient(f.Image);
        EXPECT_EQ(list.BackColor, version >= 102 ? 0x00123456u : 0u);
        EXPECT_EQ(list.FirstLayerOpaque, version >= 105);
        EXPECT_EQ(f.Areas1.size(), version >= 104 ? 1u : 0u);
        // The alpha plane exists from version 100, the use-alpha flag from 101.
        EXPECT_EQ(f.Layers(0).Image.HasAlphaPlane(), version > 99);
        EXPECT_EQ(f.HasAlpha(), version > 100);
        if (version > 100) {
            EXPECT_EQ(f.Image.AlphaPlane()->GetPixel(2, 1), 61u);
        }
    }
}

TEST(FeskReader, CompressionModesGiveTheSamePixels)
{
    for (int mode : {0, 1}) {
        TRawFile file;
        file.mode = mode;
        file.frames.push_back(OneLayerFrame(7, 4, true));
        TFeskFrameList list;
        list.LoadFromStream(WriteRawFesk(file), false, false, false);
        ExpectGradient(list.Frames(0).Image);
        EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(6, 3), 183u);
        EXPECT_EQ(list.Frames(0).LayerCount(), 0);  // layers freed without KeepLayers
    }
}

TEST(FeskReader, ScrambledRowsNeedTheSameIdentCode)
{
    const int32_t code = 0x1234567;
    const int width = 4, height = 9;
    std::vector<int> order = PickSequence(code, height);
    std::string rows = Rows24(width, height, Gradient);
    std::string stored;
    for (int i = 0; i < height; ++i) stored += rows.substr(order[i] * RowBytes(width, 24), RowBytes(width, 24));
    for (int mode : {0, 1}) {
        TRawFile file;
        file.mode = mode;
        file.scrambled = 1;
        TRawFrame frame = OneLayerFrame(width, height, false);
        frame.layers[0].colour = stored;
        file.frames.push_back(frame);
        std::string bytes = WriteRawFesk(file);
        TFeskFrameList right(code);
        right.LoadFromStream(bytes, false, false, false);
        ExpectGradient(right.Frames(0).Image);
        TFeskFrameList wrong(code + 1);
        wrong.LoadFromStream(bytes, false, false, false);
        bool differs = false;
        for (int y = 0; y < height; ++y) differs |= wrong.Frames(0).Image.GetPixel(0, y) != Gradient(0, y);
        EXPECT_TRUE(differs);
    }
}

// Tile table entries and tile pixel rows for 24-bit tiles.
struct TTileEntry {
    int32_t source, value;
};
std::string TileBytes(int tile_width, int tile_height, const std::function<uint32_t(int, int)>& pixel, int x0, int y0)
{
    std::string out;
    for (int y = 0; y < tile_height; ++y)
        for (int x = 0; x < tile_width; ++x) {
            uint32_t p = pixel(x0 + x, y0 + y);
            out += static_cast<char>(p & 0xFF);
            out += static_cast<char>((p >> 8) & 0xFF);
            out += static_cast<char>((p >> 16) & 0xFF);
        }
    return out;
}

TEST(FeskReader, TilesRepeatEarlierTilesAndEarlierFrames)
{
    // 5 x 3 image in 2 x 2 tiles: 3 across (the last 1 wide), 2 down (the last 1 high).
    const int32_t code = 77;
    for (bool scrambled : {false, true}) {
        SCOPED_TRACE(scrambled);
        TRawFile file;
        file.tile_width = 2;
        file.tile_height = 2;
        file.scrambled = scrambled;
        auto table = [&](const std::vector<TTileEntry>& entries) {
            TBytes b;
            std::vector<TTileEntry> stored(entries.size());
            std::vector<int> order = scrambled ? PickSequence(code, static_cast<int>(entries.size())) : std::vector<int>();
            for (size_t i = 0; i < entries.size(); ++i) stored[i] = entries[scrambled ? order[i] : i];
            for (const TTileEntry& e : stored) {
                b.I32(e.source);
                b.I32(e.value);
            }
            return b.out;
        };
        // Frame 0: every tile stored except tile 2 of row 0... all stored; tile 4 repeats tile 3.
        auto pattern = [](int x, int y) { return static_cast<uint32_t>((x / 2 + y / 2 * 3) * 0x111111); };
        TRawFrame f0 = OneLayerFrame(5, 3, false);
        std::string plane = table({{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-2, 3}, {-1, 0}});
        plane += TileBytes(2, 2, pattern, 0, 0) + TileBytes(2, 2, pattern, 2, 0) + TileBytes(1, 2, pattern, 4, 0);
        plane += TileBytes(2, 1, pattern, 0, 2) + TileBytes(1, 1, pattern, 4, 2);
        f0.layers[0].colour = plane;
        file.frames.push_back(f0);
        // Frame 1: every tile taken from frame 0, layer 0.
        TRawFrame f1 = OneLayerFrame(5, 3, false);
        f1.layers[0].colour = table({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}});
        file.frames.push_back(f1);

        TFeskFrameList list(scrambled ? code : 0);
        list.LoadFromStream(WriteRawFesk(file), false, true, false);
        ASSERT_EQ(list.Count(), 2);
        for (int f = 0; f < 2; ++f)
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    uint32_t want = (x / 2 == 1 && y == 2) ? pattern(0, 2) : pattern(x, y);
                    ASSERT_EQ(list.Frames(f).Image.GetPixel(x, y), want) << f << ":" << x << "," << y;
                }
    }
}

TEST(FeskReader, RefusesBadTileReferences)
{
    const std::vector<std::vector<TTileEntry>> bad = {
        {{-2, 0}, {-1, 0}},  // repeats a tile not decoded yet (itself)
        {{-1, 0}, {-2, 5}},  // repeats a tile that does not exist
        {{-1, 0}, {1, 0}},   // takes from a later frame
        {{-1, 0}, {0, 1}},   // takes from a layer that is not earlier
        {{-1, 0}, {-3, 0}},  // unknown source
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        TRawFile file;
        file.tile_width = 2;
        file.tile_height = 2;
        TRawFrame f = OneLayerFrame(4, 2, false);
        TBytes b;
        for (const TTileEntry& e : bad[i]) {
            b.I32(e.source);
            b.I32(e.value);
        }
        b.out += TileBytes(2, 2, Gradient, 0, 0);
        if (bad[i][1].source == -1) b.out += TileBytes(2, 2, Gradient, 2, 0);
        f.layers[0].colour = b.out;
        file.frames.push_back(f);
        TFeskFrameList list;
        EXPECT_THROW(list.LoadFromStream(WriteRawFesk(file), false, false, false), EMobuError);
    }
    // A repeated tile of another size (the cut last column) is refused as well.
    TRawFile file;
    file.tile_width = 2;
    file.tile_height = 2;
    TRawFrame f = OneLayerFrame(3, 2, false);
    TBytes b;
    b.I32(-1);
    b.I32(0);
    b.I32(-2);
    b.I32(0);
    b.out += TileBytes(2, 2, Gradient, 0, 0);
    f.layers[0].colour = b.out;
    file.frames.push_back(f);
    TFeskFrameList list;
    EXPECT_THROW(list.LoadFromStream(WriteRawFesk(file), false, false, false), EMobuError);
}

TEST(FeskReader, RefusesDamagedHeadersAndPlanes)
{
    auto with = [](const std::function<void(TRawFile&)>& change) {
        TRawFile file;
        file.frames.push_back(OneLayerFrame(4, 4, true));
        change(file);
        return WriteRawFesk(file);
    };
    const std::vector<std::string> cases = {
        with([](TRawFile& f) { f.header_size = 39; }),
        // A header size larger than the file.
        with([](TRawFile&) {}).replace(7, 4, std::string("\xA0\x86\x01\x00", 4)),
        with([](TRawFile& f) { f.frames[0].bits = 7; }),
        with([](TRawFile& f) { f.frames[0].width = -1; }),
        with([](TRawFile& f) { f.frames[0].height = 70000; }),
        with([](TRawFile& f) { f.mode = 3; }),
        // A plane that inflates to more than its rows.
        with([](TRawFile& f) { f.frames[0].layers[0].colour += std::string(5000, 'x'); }),
        // A plane shorter than its rows.
        with([](TRawFile& f) { f.frames[0].layers[0].colour.resize(10); }),
        with([](TRawFile& f) { f.frames[0].layers[0].alpha.resize(3); }),
        std::string("Fesk1x6"),
        std::string("Fesk107") + std::string(60, '\0'),
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        TFeskFrameList list;
        EXPECT_THROW(list.LoadFromStream(cases[i], false, false, false), EMobuError) << i;
    }
    // A header larger than 40 bytes is fine: the rest is skipped.
    TFeskFrameList list;
    list.LoadFromStream(with([](TRawFile& f) { f.header_size = 48; }), false, false, false);
    ExpectGradient(list.Frames(0).Image);
}

TEST(FeskReader, LargeFramesWithTinyPlanesAreRefusedBeforeTheirPixels)
{
    auto frame = [](int32_t width, int32_t height, int32_t bits) {
        TRawFile file;
        TRawFrame f;
        f.width = width;
        f.height = height;
        f.bits = bits;
        if (bits <= 8) f.palette.assign(size_t{1} << bits, 0);
        f.layers.resize(2);  // planes of a few deflated bytes
        file.frames.push_back(f);
        return WriteRawFesk(file);
    };
    struct Case {
        std::string name, bytes;
    } cases[] = {
        {"8000x8000 within the budget, planes far too short", frame(8000, 8000, 24)},
        {"9000x9000 beyond the pixel budget", frame(9000, 9000, 1)},
    };
    for (const Case& c : cases) {
        const auto run = memory_ceiling::RefusalMeasured(
            [&] { TFeskFrameList().LoadFromStream(c.bytes, false, false, false); }, MsgBrokenImage());
        ASSERT_TRUE(run.Finished) << c.name;
        EXPECT_EQ(run.Result, 1) << c.name;
        EXPECT_LT(run.PeakGrowth, uint64_t{64} << 20) << c.name;
    }
}

TEST(FeskReader, KeepsTheFramesReadBeforeADamagedOne)
{
    TRawFile file;
    file.frames.push_back(OneLayerFrame(3, 3, false));
    file.frames.push_back(OneLayerFrame(3, 3, false));
    std::string bytes = WriteRawFesk(file);
    bytes.resize(bytes.size() - 20);
    TFeskFrameList list;
    EXPECT_THROW(list.LoadFromStream(bytes, false, false, false), EMobuError);
    ASSERT_EQ(list.Count(), 1);
    ExpectGradient(list.Frames(0).Image);
}

TEST(FeskReader, FirstFrameOnlyReadsOneFrame)
{
    TRawFile file;
    for (int i = 0; i < 3; ++i) file.frames.push_back(OneLayerFrame(2, 2, false));
    TFeskFrameList list;
    list.LoadFromStream(WriteRawFesk(file), true, false, false);
    EXPECT_EQ(list.Count(), 1);
    list.LoadFromStream(WriteRawFesk(file), false, false, false);
    EXPECT_EQ(list.Count(), 3);
}

TEST(FeskReader, ComposesLayersInOrder)
{
    TRawFile file;
    file.back_color = 0x000000FF;  // red as 0x00BBGGRR
    TRawFrame f;
    f.width = 4;
    f.height = 1;
    TRawLayer base;  // transparent where blue 0x0000FF: the background shows
    base.colour = Rows24(4, 1, [](int x, int) { return x == 0 ? 0x0000FFu : 0x00FF00u; });
    base.transparent = 0x0000FF;
    base.opacity = 255;
    TRawLayer hidden;
    hidden.visible = 0;
    hidden.colour = Rows24(4, 1, [](int, int) { return 0xFFFFFFu; });
    TRawLayer half;  // opacity 128 over x >= 2, transparent elsewhere
    half.colour = Rows24(4, 1, [](int x, int) { return x >= 2 ? 0xFFFFFFu : 0x010101u; });
    half.transparent = 0x010101;
    half.opacity = 128;
    f.layers = {base, hidden, half};
    file.frames.push_back(f);
    TFeskFrameList list;
    list.LoadFromStream(WriteRawFesk(file), false, true, false);
    const TDIBSurface& image = list.Frames(0).Image;
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF0000u);  // background red
    EXPECT_EQ(image.GetPixel(1, 0), 0x00FF00u);
    // (127 * d + 128 * 255) div 255 per byte over green 0x00FF00.
    const uint32_t mixed = 128u << 16 | 255u << 8 | 128u;
    EXPECT_EQ(image.GetPixel(2, 0), mixed);
    EXPECT_EQ(list.Frames(0).LayerCount(), 3);
    EXPECT_EQ(list.Frames(0).Layers(1).Image.GetPixel(0, 0), 0xFFFFFFu);  // kept, not drawn
}

TEST(FeskReader, PaletteFramesAndTransparentColour)
{
    TRawFile file;
    TRawFrame f;
    f.width = 3;
    f.height = 2;
    f.bits = 8;
    f.palette = {0x000000, 0xFF8040, 0x102030};
    f.transparent = 2;
    TRawLayer l;
    l.colour = Rows8(3, 2, [](int x, int) { return static_cast<uint8_t>(x); });
    f.layers.push_back(l);
    file.frames.push_back(f);
    TFeskFrameList list;
    list.LoadFromStream(WriteRawFesk(file), false, false, false);
    EXPECT_EQ(list.Frames(0).Image.BitCount(), 8);
    EXPECT_EQ(list.Frames(0).Image.GetPixel(1, 1), 1u);
    EXPECT_EQ(list.Frames(0).TransparentColor, 0x302010);  // 0x00BBGGRR of entry 2
}

TEST(FeskReader, TrimCropsToTheVisiblePartAndItsAreas)
{
    TRawFile file;
    TRawFrame f = OneLayerFrame(6, 5, true);
    f.layers[0].alpha = Rows8(6, 5, [](int x, int y) { return static_cast<uint8_t>(x >= 1 && x < 4 && y >= 2 ? 200 : 0); });
    f.areas1 = {{0, 0, 2, 3}, {5, 0, 6, 1}};
    file.frames.push_back(f);
    TFeskFrameList list;
    list.LoadFromStream(WriteRawFesk(file), false, false, false);
    TRect bounds;
    ASSERT_TRUE(list.Frames(0).Trim(bounds));
    EXPECT_EQ(bounds, (TRect{1, 2, 4, 5}));
    EXPECT_EQ(list.Frames(0).Image.Width(), 3);
    EXPECT_EQ(list.Frames(0).Image.GetPixel(0, 0), Gradient(1, 2));
    ASSERT_EQ(list.Frames(0).Areas1.size(), 1u);
    EXPECT_EQ(list.Frames(0).Areas1[0], (TRect{1, 2, 2, 3}));
    // Fully opaque: unchanged.
    TFeskFrameList opaque;
    file.frames[0].layers[0].alpha = Rows8(6, 5, [](int, int) { return uint8_t{255}; });
    opaque.LoadFromStream(WriteRawFesk(file), false, false, false);
    EXPECT_FALSE(opaque.Frames(0).Trim(bounds));
    EXPECT_EQ(opaque.Frames(0).Image.Width(), 6);
}

}  // namespace
}  // namespace mobu
