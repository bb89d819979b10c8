// JPEG planes made by cjpeg and checked against djpeg; PNG and bitmap files made by
// ImageMagick; the player's writer read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <zlib.h>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"
#include "tests/support/memory_ceiling.h"
#include "fesk_writer_for_tests.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using namespace testing_fesk;

class FeskFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mobu_fesk_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void Write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    // A PPM of a smooth picture with some edges, w x h.
    void WritePpm(const std::string& path, int w, int h)
    {
        std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ppm += static_cast<char>(x * 255 / w);
                ppm += static_cast<char>(y * 255 / h);
                ppm += static_cast<char>(((x / 4 + y / 4) % 2) ? 200 : 40);
            }
        Write(path, ppm);
    }
    // Pixels of a binary PPM as 0xRRGGBB.
    static std::vector<uint32_t> PpmPixels(const std::string& bytes, int& w, int& h)
    {
        int maxval = 0, consumed = 0;
        std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &consumed);
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + consumed + 1;
        std::vector<uint32_t> out;
        for (int i = 0; i < w * h; ++i) out.push_back(p[3 * i] << 16 | p[3 * i + 1] << 8 | p[3 * i + 2]);
        return out;
    }

    fs::path dir_;
};

TEST_F(FeskFiles, JpegPlaneDecodesAsDjpegDoes)
{
    WritePpm(Path("in.ppm"), 37, 21);
    Run("cjpeg -quality 80 " + Path("in.ppm") + " > " + Path("in.jpg"));
    Run("djpeg " + Path("in.jpg") + " > " + Path("out.ppm"));
    int w = 0, h = 0;
    std::vector<uint32_t> expected = PpmPixels(Read(Path("out.ppm")), w, h);
    ASSERT_EQ(w, 37);

    TRawFile file;
    file.mode = 2;
    TRawFrame frame;
    frame.width = 37;
    frame.height = 21;
    TRawLayer layer;
    layer.colour = Read(Path("in.jpg"));
    layer.alpha = std::string(40 * 21, '\x80');  // rows of 37 bytes padded to 40
    layer.use_alpha = 1;
    frame.layers.push_back(layer);
    file.frames.push_back(frame);
    TFeskFrameList list;
    list.LoadFromStream(WriteRawFesk(file), false, false, false);
    const TDIBSurface& image = list.Frames(0).Image;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(image.GetPixel(x, y), expected[y * w + x]) << x << "," << y;
    EXPECT_EQ(image.AlphaPlane()->GetPixel(36, 20), 0x80u);

    // A JPEG whose size differs from its layer is refused.
    file.frames[0].width = 38;
    file.frames[0].layers[0].alpha = std::string(40 * 21, '\x80');
    EXPECT_THROW(list.LoadFromStream(WriteRawFesk(file), false, false, false), EMobuError);
    // So is a damaged JPEG.
    file.frames[0].width = 37;
    file.frames[0].layers[0].colour.resize(file.frames[0].layers[0].colour.size() / 2);
    EXPECT_THROW(list.LoadFromStream(WriteRawFesk(file), false, false, false), EMobuError);
}

TEST_F(FeskFiles, PngWithAlphaFromImageMagick)
{
    Run("convert -size 6x4 gradient:'#ff0000-#0000ff' -alpha set -channel A -fx 'i/5' +channel png32:" + Path("a.png"));
    Run("convert " + Path("a.png") + " -depth 8 rgba:" + Path("a.rgba"));
    std::string rgba = Read(Path("a.rgba"));
    ASSERT_EQ(rgba.size(), 6u * 4 * 4);
    TFeskFrameList list;
    list.LoadFromFile(Path("a.png"), false, false, false);
    ASSERT_EQ(list.Count(), 1);
    const TDIBSurface& image = list.Frames(0).Image;
    ASSERT_TRUE(image.HasAlphaPlane());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(rgba.data()) + 4 * (y * 6 + x);
            EXPECT_EQ(image.AlphaPlane()->GetPixel(x, y), p[3]);
            if (p[3] != 0) {
                EXPECT_EQ(image.GetPixel(x, y), static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
            }
        }
}

TEST_F(FeskFiles, PalettePngWithATransparentEntry)
{
    Run("convert -size 4x2 xc:'#102030' -fill '#c08040' -draw 'point 1,0' -fill none -draw 'color 3,1 point' "
        "-type PaletteAlpha png8:" + Path("p.png"));
    TFeskFrameList list;
    list.LoadFromFile(Path("p.png"), false, false, false);
    ASSERT_EQ(list.Count(), 1);
    const TFeskFrame& frame = list.Frames(0);
    EXPECT_EQ(frame.Image.BitCount(), 8);
    ASSERT_GE(frame.TransparentValue, 0);
    EXPECT_EQ(frame.Image.GetPixel(3, 1), static_cast<uint32_t>(frame.TransparentValue));
    EXPECT_EQ(frame.Image.PaletteEntry(frame.Image.GetPixel(1, 0)), 0xC08040u);
    EXPECT_EQ(frame.Image.PaletteEntry(frame.Image.GetPixel(0, 0)), 0x102030u);
}

TEST_F(FeskFiles, BitmapsFromImageMagick)
{
    WritePpm(Path("in.ppm"), 9, 5);
    Run("convert " + Path("in.ppm") + " bmp3:" + Path("b24.bmp"));
    Run("convert " + Path("in.ppm") + " -colors 16 -type Palette bmp3:" + Path("b8.BMP"));
    Run("convert " + Path("b8.BMP") + " -depth 8 rgb:" + Path("b8.rgb"));
    int w, h;
    std::vector<uint32_t> expected = PpmPixels(Read(Path("in.ppm")), w, h);

    TFeskFrameList list;
    list.LoadFromFile(Path("b24.bmp"), false, false, false);
    ASSERT_EQ(list.Count(), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(list.Frames(0).Image.GetPixel(x, y), expected[y * 9 + x]);
    EXPECT_FALSE(list.Frames(0).HasAlpha());

    list.LoadFromFile(Path("b8.BMP"), false, false, false);
    ASSERT_EQ(list.Count(), 1);
    std::string rgb = Read(Path("b8.rgb"));
    const TDIBSurface& image = list.Frames(0).Image;
    EXPECT_LE(image.BitCount(), 8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * 9 + x);
            ASSERT_EQ(image.PaletteEntry(image.GetPixel(x, y)), static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
        }
}

// A 32-bit bitmap written by hand: 2 x 2, bottom-up, fourth bytes as given.
std::string Bitmap32(const uint8_t fourth[4])
{
    TBytes b;
    b.out = "BM";
    b.I32(54 + 16);
    b.I32(0);
    b.I32(54);
    b.I32(40);
    b.I32(2);
    b.I32(2);
    b.U8(1), b.U8(0), b.U8(32), b.U8(0);
    for (int i = 0; i < 6; ++i) b.I32(0);
    for (int i = 0; i < 4; ++i) {
        b.U8(static_cast<uint8_t>(10 * i)), b.U8(20), b.U8(30), b.U8(fourth[i]);
    }
    return b.out;
}

TEST_F(FeskFiles, ThirtyTwoBitBitmapAlpha)
{
    const uint8_t zero[4] = {0, 0, 0, 0};
    Write(Path("zero.bmp"), Bitmap32(zero));
    TFeskFrameList list;
    list.LoadFromFile(Path("zero.bmp"), false, false, false);
    ASSERT_EQ(list.Count(), 1);
    // Fourth bytes all zero: an ordinary opaque bitmap.
    EXPECT_FALSE(list.Frames(0).HasAlpha());
    EXPECT_EQ(list.Frames(0).Image.BitCount(), 24);
    EXPECT_EQ(list.Frames(0).Image.GetPixel(0, 1), 0x1E1400u);  // first stored pixel is bottom-left

    const uint8_t some[4] = {0, 255, 128, 7};
    Write(Path("some.bmp"), Bitmap32(some));
    list.LoadFromFile(Path("some.bmp"), false, false, false);
    ASSERT_TRUE(list.Frames(0).HasAlpha());
    EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(0, 1), 0u);
    EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(1, 1), 255u);
    EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(1, 0), 7u);
}

TEST_F(FeskFiles, BrokenImageFilesAreRefusedCleanly)
{
    Write(Path("bad.png"), "\x89PNG\r\n\x1a\nnonsense");
    Write(Path("bad.bmp"), "BM too short");
    TFeskFrameList list;
    EXPECT_THROW(list.LoadFromFile(Path("bad.png"), false, false, false), EMobuError);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.LoadFromFile(Path("bad.bmp"), false, false, false), EMobuError);
    EXPECT_EQ(list.Count(), 0);
    list.LoadFromFile(Path("other.gif"), false, false, false);  // unknown kinds load nothing
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(FeskFiles, HostileAndOversizedPngAndBitmapFilesCostAFewMegabytes)
{
    const std::string graphics = std::string(MOBU_SOURCE_DIR) + "/tests/data/graphics/";
    auto with_size = [](std::string bytes, size_t width_at, size_t height_at, uint32_t width, uint32_t height, bool big_endian) {
        for (int i = 0; i < 4; ++i) {
            const int shift = big_endian ? 24 - 8 * i : 8 * i;
            bytes[width_at + static_cast<size_t>(i)] = static_cast<char>(width >> shift);
            bytes[height_at + static_cast<size_t>(i)] = static_cast<char>(height >> shift);
        }
        return bytes;
    };
    std::string png = with_size(Read(graphics + "ref.png"), 16, 20, 9000, 9000, true);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i) png[29 + static_cast<size_t>(i)] = static_cast<char>(crc >> (24 - 8 * i));
    struct Case {
        std::string name, kind, bytes;
    } cases[] = {
        // Chunks claiming about 1.8 GB the file does not have.
        {"text chunk", "png", Read(graphics + "huge_text.png")},
        {"colour profile chunk", "png", Read(graphics + "huge_iccp.png")},
        // Within the side limits, beyond the pixel budget.
        {"png 9000x9000", "png", png},
        // Within the budget, but the pixels are not in the file.
        {"bmp 8000x8000", "bmp", with_size(Read(graphics + "ref24.bmp"), 18, 22, 8000, 8000, false)},
    };
    for (const Case& c : cases) {
        ASSERT_GT(c.bytes.size(), 60u) << c.name;
        const auto run = memory_ceiling::RefusalMeasured(
            [&] { TFeskFrameList().LoadFromBytes(c.bytes, c.kind, false, false, false); }, MsgBrokenImage());
        ASSERT_TRUE(run.Finished) << c.name;
        EXPECT_EQ(run.Result, 1) << c.name;
        EXPECT_LT(run.PeakGrowth, uint64_t{64} << 20) << c.name;
    }
}

TEST_F(FeskFiles, WriterRoundTripsEveryMode)
{
    TFeskFrameList source;
    source.BackColor = 0x00405060;
    for (int f = 0; f < 2; ++f) {
        TFeskFrame& frame = source.Add();
        frame.Name = "f" + std::to_string(f);
        frame.Delay = 40 + f;
        frame.Image.SetSize(33, 17, 24);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 33; ++x) frame.Image.SetPixel(x, y, static_cast<uint32_t>(x * 7 << 16 | y * 15 << 8 | f * 99));
        frame.Image.MakeAlphaPlane();
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 33; ++x) frame.Image.AlphaPlane()->SetPixel(x, y, static_cast<uint32_t>(x + y * 3));
        frame.Areas1 = {TRect{1, 2, 3, 4}};
    }
    for (int32_t code : {0, 991}) {
        for (int mode : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "code " << code << " mode " << mode);
            TFeskFrameList writer(code);
            writer.BackColor = source.BackColor;
            for (int f = 0; f < 2; ++f) {
                TFeskFrame& frame = writer.Add();
                frame.Name = source.Frames(f).Name;
                frame.Delay = source.Frames(f).Delay;
                frame.Image = source.Frames(f).Image;
                frame.Areas1 = source.Frames(f).Areas1;
            }
            std::string bytes = writer.SaveToStream(mode, 90);
            ASSERT_EQ(bytes.substr(0, 7), "Fesk106");
            EXPECT_EQ(static_cast<uint8_t>(bytes[11 + 22]), code != 0 ? 1 : mode);  // header mode byte
            TFeskFrameList reader(code);
            reader.LoadFromStream(bytes, false, false, false);
            ASSERT_EQ(reader.Count(), 2);
            for (int f = 0; f < 2; ++f) {
                const TFeskFrame& got = reader.Frames(f);
                EXPECT_EQ(got.Name, source.Frames(f).Name);
                EXPECT_EQ(got.Delay, source.Frames(f).Delay);
                ASSERT_EQ(got.Areas1.size(), 1u);
                ASSERT_TRUE(got.HasAlpha());
                for (int y = 0; y < 17; ++y)
                    for (int x = 0; x < 33; ++x) {
                        ASSERT_EQ(got.Image.AlphaPlane()->GetPixel(x, y), static_cast<uint32_t>(x + y * 3));
                        uint32_t want = source.Frames(f).Image.GetPixel(x, y), have = got.Image.GetPixel(x, y);
                        if (mode == 2 && code == 0) {
                            for (int shift : {0, 8, 16})
                                ASSERT_NEAR(static_cast<int>((want >> shift) & 0xFF), static_cast<int>((have >> shift) & 0xFF), 12);
                        } else {
                            ASSERT_EQ(have, want);
                        }
                    }
            }
        }
    }
}

TEST_F(FeskFiles, SaveToFileAndConvertPaletteFrames)
{
    TFeskFrameList list;
    TFeskFrame& frame = list.Add();
    frame.Image.SetSize(3, 1, 8);
    frame.Image.SetPaletteEntry(0, 0x000000);
    frame.Image.SetPaletteEntry(5, 0xFF00FF);
    frame.Image.SetPaletteEntry(6, 0x00FF00);
    frame.Image.SetPixel(0, 0, 6);
    frame.Image.SetPixel(1, 0, 5);
    frame.Image.SetPixel(2, 0, 6);
    frame.TransparentValue = 5;
    list.SaveToFile(Path("cap.FSK"));  // the kind is found without letter case
    TFeskFrameList back;
    back.LoadFromFile(Path("cap.FSK"), false, false, true);
    ASSERT_EQ(back.Count(), 1);
    const TFeskFrame& got = back.Frames(0);
    // Converted to 24 bits with an alpha plane from the transparent index.
    EXPECT_EQ(got.Image.BitCount(), 24);
    EXPECT_EQ(got.Image.GetPixel(0, 0), 0x00FF00u);
    EXPECT_EQ(got.TransparentValue, 0xFF00FF);
    ASSERT_TRUE(got.HasAlpha());
    EXPECT_EQ(got.Image.AlphaPlane()->GetPixel(1, 0), 0u);
    EXPECT_EQ(got.Image.AlphaPlane()->GetPixel(2, 0), 255u);
}

}  // namespace
}  // namespace mobu
