// Image files of the pixel store against files written by ImageMagick and icoutils, and our
// own files read back by ImageMagick.
#include <gtest/gtest.h>

#include "core/byte_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <zlib.h>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "graphics/image_files.h"
#include "tests/support/memory_ceiling.h"

using namespace mobu;

namespace {

const int kWidth = 7, kHeight = 5;

std::string Fixture(const std::string& name)
{
    return std::string(MOBU_SOURCE_DIR) + "/tests/data/graphics/" + name;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TDIBSurface Load(const std::string& name, TSaveOption& option)
{
    std::string bytes = ReadAll(Fixture(name));
    EXPECT_FALSE(bytes.empty()) << name;
    TDIBSurface s;
    LoadImageBytes(s, name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
    return s;
}

TDIBSurface Load(const std::string& name)
{
    TSaveOption option;
    return Load(name, option);
}

uint32_t Rgb(const std::string& raw, int x, int y, int channels = 3)
{
    const auto* p = reinterpret_cast<const uint8_t*>(raw.data()) + (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * static_cast<size_t>(channels);
    return static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
}

uint32_t ColourAt(const TDIBSurface& s, int x, int y)
{
    int r, g, b;
    s.RGBOfValue(s.GetPixel(x, y), false, r, g, b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

// Every pixel's colour equals the raw reference (RGB, or RGBA where alpha > 0 counts).
void ExpectPixels(const TDIBSurface& s, const std::string& reference, int channels = 3)
{
    std::string raw = ReadAll(Fixture(reference));
    ASSERT_EQ(raw.size(), static_cast<size_t>(kWidth * kHeight * channels));
    ASSERT_EQ(s.Width(), kWidth);
    ASSERT_EQ(s.Height(), kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (channels == 4 && raw[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4 + 3] == 0) continue;
            EXPECT_EQ(ColourAt(s, x, y), Rgb(raw, x, y, channels)) << reference << " at " << x << "," << y;
        }
}

void ExpectAlpha(const TDIBSurface& s)
{
    std::string raw = ReadAll(Fixture("ref.rgba"));
    ASSERT_TRUE(s.HasAlphaPlane());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(s.AlphaPlane()->GetPixel(x, y), static_cast<uint8_t>(raw[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4 + 3]))
                << x << "," << y;
}

bool HaveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

std::string RunOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string TempPath(const std::string& name)
{
    std::filesystem::path dir = std::filesystem::path(MOBU_BINARY_DIR) / "tmp_image_files";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

TDIBSurface Reference()
{
    TDIBSurface s = Load("ref.png");
    EXPECT_EQ(s.BitCount(), 24);
    return s;
}

}  // namespace

TEST(ImageFiles, PngWithAlpha)
{
    TDIBSurface s = Reference();
    ExpectPixels(s, "ref.rgba", 4);
    ExpectAlpha(s);
}

// Interlaced pictures arrive in seven passes; rows of any other picture go straight into the
// store. Both must give the same pixels.
TEST(ImageFiles, InterlacedPngMatchesTheReference)
{
    TDIBSurface rgba = Load("ref_adam7.png");
    ExpectPixels(rgba, "ref.rgba", 4);
    ExpectAlpha(rgba);
    TDIBSurface rgb = Load("ref_adam7_rgb.png");
    EXPECT_FALSE(rgb.HasAlphaPlane());
    ExpectPixels(rgb, "ref.rgb");
}

TEST(ImageFiles, TgaFromImageMagick)
{
    TSaveOption take;
    take.TakeAlpha = true;
    TDIBSurface rle = Load("ref_rle32.tga", take);
    EXPECT_EQ(rle.BitCount(), 24);
    EXPECT_TRUE(take.MadeAlpha);
    ExpectPixels(rle, "ref.rgba", 4);
    ExpectAlpha(rle);
    TDIBSurface raw = Load("ref_raw24.tga");
    ExpectPixels(raw, "ref.rgb");
    ExpectPixels(Load("ref_top24.tga"), "ref.rgb");
    TDIBSurface pal = Load("ref_pal8.tga");
    EXPECT_EQ(pal.BitCount(), 8);
    ExpectPixels(pal, "pal.rgb");
    // One colour: the runs cross the row ends.
    TDIBSurface solid = Load("solid_rle.tga");
    ASSERT_EQ(solid.Width(), 7);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(ColourAt(solid, x, y), 0x123456u);
}

TEST(ImageFiles, BmpFromImageMagick)
{
    ExpectPixels(Load("ref24.bmp"), "ref.rgb");
    ExpectPixels(Load("ref8.bmp"), "pal.rgb");
    ExpectPixels(Load("ref4.bmp"), "pal16.rgb");
    TDIBSurface mono = Load("ref1.bmp");
    EXPECT_EQ(mono.BitCount(), 1);
    ExpectPixels(mono, "mono.rgb");
    TSaveOption take;
    take.TakeAlpha = true;
    TDIBSurface alpha = Load("ref32.bmp", take);
    EXPECT_EQ(alpha.BitCount(), 24);
    ExpectPixels(alpha, "ref.rgba", 4);
    ExpectAlpha(alpha);
    // 5-6-5: each channel is ImageMagick's own 8-bit reading scaled back to 5 or 6 bits.
    TDIBSurface s565 = Load("ref565.bmp");
    ASSERT_EQ(s565.BitCount(), 16);
    if (!HaveConvert()) GTEST_SKIP();
    std::string im = RunOutput("convert '" + Fixture("ref565.bmp") + "' -depth 8 rgb:-");
    ASSERT_EQ(im.size(), 105u);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t c = Rgb(im, x, y), v = s565.GetPixel(x, y);
            auto scaled = [](uint32_t v8, uint32_t top) { return (v8 * top + 127) / 255; };
            EXPECT_EQ(v >> 11, scaled(c >> 16, 31));
            EXPECT_EQ((v >> 5) & 63, scaled((c >> 8) & 255, 63));
            EXPECT_EQ(v & 31, scaled(c & 255, 31));
        }
}

TEST(ImageFiles, IconsAndCursorsFromIcotool)
{
    TSaveOption option;
    TDIBSurface ico = Load("ref.ico", option);
    EXPECT_EQ(ico.BitCount(), 24);
    EXPECT_EQ(option.TransparentValue, -1);
    ExpectPixels(ico, "ref.rgba", 4);
    ExpectAlpha(ico);
    TDIBSurface png = Load("ref_png.ico");
    ExpectPixels(png, "ref.rgba", 4);
    ExpectAlpha(png);
    TSaveOption cursor;
    TDIBSurface cur = Load("ref.cur", cursor);
    EXPECT_EQ(cursor.HotSpotX, 3);
    EXPECT_EQ(cursor.HotSpotY, 2);
    ExpectPixels(cur, "ref.rgba", 4);
    TSaveOption keep;
    TDIBSurface pal = Load("pal8.ico", keep);
    EXPECT_EQ(pal.BitCount(), 8);
    ExpectPixels(pal, "pal.rgb");
    ASSERT_TRUE(pal.HasAlphaPlane());
    EXPECT_EQ(pal.AlphaPlane()->GetPixel(3, 3), 255u);
    // With a transparent colour the masked pixels take it; nothing is masked here, so the
    // colour only takes over a free palette index.
    TSaveOption colour;
    colour.TransparentColor = 0xFF00FF;
    TDIBSurface keyed = Load("pal8.ico", colour);
    EXPECT_FALSE(keyed.HasAlphaPlane());
    ASSERT_GE(colour.TransparentValue, 0);
    EXPECT_EQ(keyed.PaletteEntry(colour.TransparentValue), 0xFF00FFu);
}

TEST(ImageFiles, IcoThatIsABitmapLoadsAsOne)
{
    std::string bytes = ReadAll(Fixture("ref24.bmp"));
    TDIBSurface s;
    TSaveOption option;
    LoadImageBytes(s, ".ico", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
    ExpectPixels(s, "ref.rgb");
}

// A 24-bit icon image may carry a colour table when its used-colour count says so; the AND
// mask lies after that table, not where a table-less image would have it.
TEST(ImageFiles, IconAndMaskAfterTheColourTableOfATrueColourImage)
{
    ByteWriter image;
    image.U32(40);
    image.I32(2);
    image.I32(2);  // twice the height: colour rows, then the mask
    image.U16(1);
    image.U16(24);
    image.U32(0);
    image.U32(0);
    image.I32(0);
    image.I32(0);
    image.U32(2);  // colours used: a table of two entries follows the header
    image.U32(0);
    image.U32(0x00FFFFFF);
    image.U32(0x00000000);
    for (uint8_t byte : {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x00, 0x00}) image.U8(byte);  // one row, padded
    for (uint8_t byte : {0x80, 0x00, 0x00, 0x00}) image.U8(byte);  // the AND mask: pixel 0 clear
    ByteWriter file;
    file.U16(0);
    file.U16(1);
    file.U16(1);
    file.U8(2);
    file.U8(1);
    file.U8(0);
    file.U8(0);
    file.U16(1);
    file.U16(24);
    file.U32(static_cast<uint32_t>(image.Bytes().size()));
    file.U32(22);
    std::string bytes = file.Take() + image.Bytes();
    TDIBSurface s;
    TSaveOption option;
    option.TakeAlpha = true;
    LoadImageBytes(s, ".ico", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
    ASSERT_EQ(s.Width(), 2);
    ASSERT_EQ(s.Height(), 1);
    ASSERT_TRUE(s.HasAlphaPlane());
    EXPECT_EQ(s.AlphaPlane()->GetPixel(0, 0), 0u);
    EXPECT_EQ(s.AlphaPlane()->GetPixel(1, 0), 255u);
    EXPECT_EQ(s.GetPixel(1, 0) & 0xFFFFFF, 0x605040u);
}

TEST(ImageFiles, TgaWithoutFooterAndWithBadFooterOffsets)
{
    std::string bytes = ReadAll(Fixture("ref_raw24.tga"));
    // Cut off whatever follows the pixels: the header alone suffices.
    std::string bare = bytes.substr(0, 18 + static_cast<size_t>(bytes[0]) + 105);
    TDIBSurface s;
    TSaveOption option;
    LoadImageBytes(s, ".tga", reinterpret_cast<const uint8_t*>(bare.data()), bare.size(), option);
    ExpectPixels(s, "ref.rgb");
    // A footer whose offsets point past the file is ignored.
    std::string footer = bare;
    footer += std::string("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8) + "TRUEVISION-XFILE." + std::string(1, '\0');
    LoadImageBytes(s, ".tga", reinterpret_cast<const uint8_t*>(footer.data()), footer.size(), option);
    ExpectPixels(s, "ref.rgb");
    EXPECT_EQ(option.TransparentValue, -1);
}

TEST(ImageFiles, DamagedFilesAreRefused)
{
    const std::string names[] = {"ref24.bmp", "ref_rle32.tga", "ref_raw24.tga", "ref.ico", "pal8.ico", "ref.png"};
    for (const std::string& name : names) {
        std::string bytes = ReadAll(Fixture(name));
        for (size_t cut : {size_t{3}, size_t{20}, bytes.size() / 2}) {
            std::string part = bytes.substr(0, cut);
            TDIBSurface s;
            TSaveOption option;
            EXPECT_THROW(LoadImageBytes(s, name, reinterpret_cast<const uint8_t*>(part.data()), part.size(), option), EMobuError)
                << name << " cut at " << cut;
        }
    }
    // A TGA image type other than 1–3 and 9–11 leaves the store empty.
    std::string tga = ReadAll(Fixture("ref_raw24.tga"));
    tga[2] = 4;
    TDIBSurface s(2, 2, 24);
    TSaveOption option;
    LoadImageBytes(s, ".tga", reinterpret_cast<const uint8_t*>(tga.data()), tga.size(), option);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(ImageFiles, AllZeroFourthBytesAreOpaque)
{
    TDIBSurface s(3, 2, 32);
    s.FillValue(s.Bounds(), 0x00112233);
    std::string bmp = WriteBitmapFile(s);
    TDIBSurface back;
    TSaveOption take;
    take.TakeAlpha = true;
    LoadImageBytes(back, ".bmp", reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), take);
    ASSERT_TRUE(back.HasAlphaPlane());
    EXPECT_EQ(back.AlphaPlane()->GetPixel(2, 1), 255u);
    EXPECT_EQ(back.GetPixel(2, 1), 0x112233u);
}

// ---- our files read back by ImageMagick ----

namespace {

// The colour ImageMagick gives a pixel: 5- and 6-bit channels widened by repeating their top
// bits into the low bits (its bitmap reader) or scaled by 255 / 31 and truncated (its TGA
// reader).
uint32_t ScaledColourAt(const TDIBSurface& s, int x, int y, bool truncate)
{
    if (s.BitCount() != 15 && s.BitCount() != 16) return ColourAt(s, x, y);
    uint32_t v = s.GetPixel(x, y);
    bool is565 = s.BitCount() == 16;
    uint32_t r = is565 ? v >> 11 : (v >> 10) & 31, g = is565 ? (v >> 5) & 63 : (v >> 5) & 31, b = v & 31;
    uint32_t gtop = is565 ? 63 : 31;
    auto scale = [&](uint32_t c, uint32_t top) {
        if (truncate) return c * 255 / top;
        return top == 63 ? c * 4 + c / 16 : c * 8 + c / 4;
    };
    return scale(r, 31) << 16 | scale(g, gtop) << 8 | scale(b, 31);
}

// The reference converted to `bits`, written with `extension`, and the RGBA bytes
// ImageMagick reads from that file.
std::string WrittenAndReadBack(const TDIBSurface& s, const std::string& name, const TImageSaveParams& params)
{
    std::string path = TempPath(name);
    SaveImageFile(s, path, params);
    return RunOutput("convert '" + path + "' -depth 8 rgba:-");
}

}  // namespace

TEST(ImageFiles, OurFilesReadByImageMagick)
{
    if (!HaveConvert()) GTEST_SKIP();
    TDIBSurface ref = Reference();
    std::string rgba = ReadAll(Fixture("ref.rgba"));
    struct Case { std::string name; int bits; bool alpha; bool run_length; };
    const Case cases[] = {
        {"w24.tga", 24, false, true},  {"w24raw.tga", 24, false, false}, {"w32a.tga", 24, true, true},
        {"w16.tga", 15, false, true},  {"w8.tga", 8, false, true},       {"w24.bmp", 24, false, false},
        {"w15.bmp", 15, false, false}, {"w16.bmp", 16, false, false},    {"w32a.bmp", 24, true, false},
        {"w8.bmp", 8, false, false},   {"w4.bmp", 4, false, false},      {"w24.png", 24, false, false},
        {"w32a.png", 24, true, false}, {"w24.ico", 24, false, false},    {"w32a.ico", 24, true, false},
        {"w4.tga", 4, false, true},
    };
    for (const Case& c : cases) {
        TDIBSurface s = ref;
        s.DropAlphaPlane();
        if (c.bits != 24) s.ChangeBitCount(c.bits, 256, false);
        TImageSaveParams params;
        params.Alpha = c.alpha ? ref.AlphaPlane() : nullptr;
        params.RunLength = c.run_length;
        std::string back = WrittenAndReadBack(s, c.name, params);
        ASSERT_EQ(back.size(), rgba.size()) << c.name;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                size_t i = (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4;
                uint32_t got = static_cast<uint32_t>(static_cast<uint8_t>(back[i]) << 16 | static_cast<uint8_t>(back[i + 1]) << 8 |
                                                     static_cast<uint8_t>(back[i + 2]));
                uint8_t alpha = static_cast<uint8_t>(back[i + 3]);
                if (c.alpha) {
                    uint8_t want = static_cast<uint8_t>(rgba[i + 3]);
                    if (c.name.ends_with(".ico")) want = want < 128 ? 0 : want;
                    EXPECT_EQ(alpha, want) << c.name << " at " << x << "," << y;
                    if (want == 0) continue;
                } else {
                    EXPECT_EQ(alpha, 255) << c.name;
                }
                EXPECT_EQ(got, ScaledColourAt(s, x, y, c.name.ends_with(".tga"))) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(ImageFiles, OurTgaKeyColourAndCursorHotSpot)
{
    TDIBSurface s = Reference();
    s.DropAlphaPlane();
    TImageSaveParams params;
    params.TransparentValue = static_cast<int32_t>(s.GetPixel(1, 1));
    std::string tga = WriteTgaFile(s, params);
    TDIBSurface back;
    TSaveOption option;
    LoadImageBytes(back, ".tga", reinterpret_cast<const uint8_t*>(tga.data()), tga.size(), option);
    EXPECT_EQ(option.TransparentValue, params.TransparentValue);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(back.GetPixel(x, y), s.GetPixel(x, y));
    TImageSaveParams cursor;
    cursor.HotSpotX = 4;
    cursor.HotSpotY = 1;
    std::string path = TempPath("hot.cur");
    SaveImageFile(s, path, cursor);
    if (std::system("icotool --version >/dev/null 2>&1") != 0) GTEST_SKIP();
    std::string listing = RunOutput("icotool -l '" + path + "'");
    EXPECT_NE(listing.find("--hotspot-x=4"), std::string::npos) << listing;
    EXPECT_NE(listing.find("--hotspot-y=1"), std::string::npos) << listing;
    if (!HaveConvert()) return;
    EXPECT_NE(RunOutput("identify -format '%m %w %h' '" + path + "'").find("CUR 7 5"), std::string::npos);
}

TEST(ImageFiles, ClaimedSizesAndOffsetsAreCheckedAgainstTheFile)
{
    auto refused = [](const std::string& extension, const std::string& bytes) {
        TDIBSurface s;
        TSaveOption option;
        try {
            LoadImageBytes(s, extension, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
        } catch (const EMobuError&) {
            return true;
        }
        return false;
    };
    // TGA headers claiming 65535 × 65535 pixels over a few bytes, raw and run-length.
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = tga[13] = tga[14] = tga[15] = '\xff';
    tga[16] = 32;
    EXPECT_TRUE(refused(".tga", tga + std::string(64, '\x01')));
    tga[2] = 10;
    EXPECT_TRUE(refused(".tga", tga + std::string(64, '\x01')));
    // A run-length packet cut off in its pixel.
    std::string rle = ReadAll(Fixture("solid_rle.tga"));
    EXPECT_TRUE(refused(".tga", rle.substr(0, 20)));
    // An icon entry whose image lies past the end of the file.
    std::string ico = ReadAll(Fixture("ref.ico"));
    std::string far = ico;
    far[18] = '\x00', far[19] = '\x10';  // offset 0x1000
    EXPECT_TRUE(refused(".ico", far));
    std::string many = ico;
    many[4] = '\xff';  // 255 entries in a file with room for one
    EXPECT_TRUE(refused(".ico", many));
    // A bitmap whose pixel offset points past the end.
    std::string bmp = ReadAll(Fixture("ref24.bmp"));
    bmp[10] = '\xff', bmp[11] = '\xff';
    EXPECT_TRUE(refused(".bmp", bmp));
    // A PNG header claiming far more pixels than its data could hold.
    std::string png = ReadAll(Fixture("ref.png"));
    EXPECT_FALSE(refused(".png", png));
    png[18] = png[22] = '\x10';  // IHDR width and height about 4100: 67 MB of pixels
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    EXPECT_TRUE(refused(".png", png));
}

namespace {

constexpr uint64_t kMemoryCeiling = uint64_t{64} << 20;

// What reading one file in a child process cost: Result 1 when refused with the image
// reader's message.
memory_ceiling::TMeasuredRun ReadMeasured(const std::string& extension, const std::string& bytes)
{
    return memory_ceiling::RefusalMeasured(
        [&] {
            TDIBSurface s;
            TSaveOption option;
            LoadImageBytes(s, extension, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
        },
        ByteReader::DefaultFailureMessage());
}

void PutBigEndian32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

// ref.png with its header claiming width × height (the chunk's check value made anew).
std::string PngClaiming(uint32_t width, uint32_t height)
{
    std::string png = ReadAll(Fixture("ref.png"));
    PutBigEndian32(png, 16, width);
    PutBigEndian32(png, 20, height);
    PutBigEndian32(png, 29, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17)));
    return png;
}

}  // namespace

TEST(ImageFiles, HostilePngChunksAreRefusedWithinAFewMegabytes)
{
    // An icon found by fuzzing whose PNG image carries a text chunk claiming about 1.8 GB,
    // and PNG files whose text or colour profile chunk claims as much.
    for (const std::string name : {"png-chunk-1-7GB.ico", "huge_text.png", "huge_iccp.png"}) {
        const std::string bytes = ReadAll(Fixture(name));
        ASSERT_FALSE(bytes.empty()) << name;
        const auto run = ReadMeasured(name, bytes);
        ASSERT_TRUE(run.Finished) << name;
        EXPECT_EQ(run.Result, 1) << name;
        EXPECT_LT(run.PeakGrowth, kMemoryCeiling) << name;
    }
    // The chunks the reader does not use are skipped, not refused: a complete file with a
    // long text, a time and an unknown chunk reads as without them.
    std::string png = ReadAll(Fixture("ref.png"));
    auto chunk = [](const std::string& kind, const std::string& data) {
        std::string out(4, '\0');
        PutBigEndian32(out, 0, static_cast<uint32_t>(data.size()));
        out += kind + data + std::string(4, '\0');
        const std::string checked = kind + data;
        PutBigEndian32(out, out.size() - 4, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(checked.data()), static_cast<uInt>(checked.size()))));
        return out;
    };
    png.insert(33, chunk("tEXt", "Comment" + std::string(1, '\0') + std::string(100000, 'x')) +
                       chunk("tIME", std::string("\x07\xea\x0c\x0a\x04\x21\x16", 7)) + chunk("zzZz", "unknown"));
    TDIBSurface s;
    TSaveOption option;
    LoadImageBytes(s, ".png", reinterpret_cast<const uint8_t*>(png.data()), png.size(), option);
    ExpectPixels(s, "ref.rgb");
    ExpectAlpha(s);
}

TEST(ImageFiles, PicturesBeyondThePixelBudgetAreRefusedBeforeTheyAreAllocated)
{
    struct Case {
        std::string name, extension, bytes;
    };
    std::vector<Case> cases;
    // A JPEG header claiming 60000 × 60000, the file long enough that the ratio of pixels to
    // bytes alone would let it through.
    {
        TDIBSurface small(8, 8, 24);
        std::string jpeg = WriteJpegFile(small);
        size_t sof = jpeg.find("\xff\xc0");
        ASSERT_NE(sof, std::string::npos);
        jpeg[sof + 5] = jpeg[sof + 7] = static_cast<char>(60000 >> 8);
        jpeg[sof + 6] = jpeg[sof + 8] = static_cast<char>(60000 & 0xFF);
        cases.push_back({"jpeg 60000x60000", ".jpg", jpeg + std::string(900000, '\0')});
    }
    cases.push_back({"png 60000x60000", ".png", PngClaiming(60000, 60000)});
    // 9000 × 9000 is within every side limit and the file is long enough for its ratio.
    cases.push_back({"png 9000x9000", ".png", PngClaiming(9000, 9000) + std::string(300000, '\0')});
    {
        std::string tga(18, '\0');
        tga[2] = 11;  // run-length grey
        tga[12] = tga[14] = static_cast<char>(60000 & 0xFF);
        tga[13] = tga[15] = static_cast<char>(60000 >> 8);
        tga[16] = 8;
        // Enough packets of 128 pixels for the whole claim.
        cases.push_back({"tga 60000x60000", ".tga", tga + std::string(28200000, '\xff')});
    }
    {
        std::string bmp = ReadAll(Fixture("ref24.bmp"));
        for (size_t at : {size_t{18}, size_t{22}}) {
            bmp[at] = static_cast<char>(60000 & 0xFF);
            bmp[at + 1] = static_cast<char>(60000 >> 8);
        }
        cases.push_back({"bmp 60000x60000", ".bmp", bmp});
        // An icon bitmap: its header's height counts the colour and the mask rows.
        std::string ico = ReadAll(Fixture("ref.ico"));
        for (auto [at, value] : {std::pair<size_t, uint32_t>{22 + 4, 60000}, {22 + 8, 120000}})
            for (int i = 0; i < 4; ++i) ico[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
        cases.push_back({"icon bitmap 60000x60000", ".ico", ico});
    }
    {
        // An icon whose image is the 60000 × 60000 PNG.
        std::string png = PngClaiming(60000, 60000);
        std::string ico = ReadAll(Fixture("ref_png.ico"));
        ico = ico.substr(0, 22) + png;
        for (int i = 0; i < 4; ++i) ico[14 + static_cast<size_t>(i)] = static_cast<char>(png.size() >> (8 * i));
        cases.push_back({"icon png 60000x60000", ".ico", ico});
    }
    for (const Case& c : cases) {
        const auto run = ReadMeasured(c.extension, c.bytes);
        ASSERT_TRUE(run.Finished) << c.name;
        EXPECT_EQ(run.Result, 1) << c.name;
        EXPECT_LT(run.PeakGrowth, kMemoryCeiling) << c.name;
    }
}

TEST(ImageFiles, ProgressiveJpegScansAreCapped)
{
    // A progressive JPEG made from our own 8 × 8 baseline file: its tables, the frame header
    // marked progressive, then `scans` scans of the DC coefficients (a repeated first scan
    // is a warning to libjpeg, not an error, so a file can repeat it without end).
    TDIBSurface small(8, 8, 24);
    const std::string baseline = WriteJpegFile(small);
    const size_t sos = baseline.find("\xff\xda");
    ASSERT_NE(sos, std::string::npos);
    std::string head = baseline.substr(0, sos);
    const size_t sof = head.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    head[sof + 1] = '\xc2';
    const std::string dc_scan("\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x00\x00\x00\x00", 16);
    auto progressive = [&](int scans) {
        std::string jpeg = head;
        for (int i = 0; i < scans; ++i) jpeg += dc_scan;
        return jpeg + "\xff\xd9";
    };
    auto read = [](const std::string& jpeg) {
        TDIBSurface s;
        TSaveOption option;
        LoadImageBytes(s, ".jpg", reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), option);
        return s;
    };
    EXPECT_EQ(read(progressive(1)).Width(), 8);
    EXPECT_EQ(read(progressive(400)).Width(), 8);
    EXPECT_THROW(read(progressive(600)), EMobuError);
}

TEST(ImageFiles, FifteenBitTgaRowsTakeTwoBytesAPixel)
{
    // A raw 15-bit image 10 pixels wide: 20 bytes a row (not 19), every pixel read as the
    // same value in a 1 × 1 file reads.
    auto tga = [](int width, int height, const std::vector<uint16_t>& values) {
        std::string bytes(18, '\0');
        bytes[2] = 2;
        bytes[12] = static_cast<char>(width);
        bytes[14] = static_cast<char>(height);
        bytes[16] = 15;
        bytes[17] = 0x20;  // rows from the top
        for (uint16_t v : values) bytes += std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        return bytes;
    };
    auto read = [](const std::string& bytes) {
        TDIBSurface s;
        TSaveOption option;
        LoadImageBytes(s, ".tga", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
        return s;
    };
    std::vector<uint16_t> values;
    for (int i = 0; i < 20; ++i) values.push_back(static_cast<uint16_t>(0x0421 * (i % 31) + i));
    const TDIBSurface s = read(tga(10, 2, values));
    ASSERT_EQ(s.Width(), 10);
    ASSERT_EQ(s.Height(), 2);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(s.GetPixel(i % 10, i / 10), read(tga(1, 1, {values[static_cast<size_t>(i)]})).GetPixel(0, 0)) << i;
    // One byte short of the last pixel: refused, not read past the end.
    std::string cut = tga(10, 2, values);
    cut.pop_back();
    EXPECT_THROW(read(cut), EMobuError);
}
