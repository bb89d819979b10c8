// Surface image files and palettes: bitmaps written byte by byte here, read into surfaces of
// other bit counts, and the 24-bit files the surface writes checked byte by byte.
#include "graphics/dibx.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/image_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace mobu {
namespace {

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
void PutU16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v));
    out.push_back(static_cast<char>(v >> 8));
}

// A 24-bit bottom-up bitmap of 2 × 2: top row red, green; bottom row blue, white.
std::string TwoByTwoBitmap()
{
    std::string rows;
    auto pixel = [&](int r, int g, int b) {
        rows.push_back(static_cast<char>(b));
        rows.push_back(static_cast<char>(g));
        rows.push_back(static_cast<char>(r));
    };
    pixel(0, 0, 255), pixel(255, 255, 255), rows.append(2, '\0');  // bottom row first
    pixel(255, 0, 0), pixel(0, 255, 0), rows.append(2, '\0');
    std::string file = "BM";
    PutU32(file, 54 + static_cast<uint32_t>(rows.size()));
    PutU32(file, 0);
    PutU32(file, 54);
    PutU32(file, 40);
    PutU32(file, 2);
    PutU32(file, 2);
    PutU16(file, 1);
    PutU16(file, 24);
    PutU32(file, 0);
    PutU32(file, static_cast<uint32_t>(rows.size()));
    PutU32(file, 2835), PutU32(file, 2835), PutU32(file, 0), PutU32(file, 0);
    return file + rows;
}

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("mobu_surface_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(SurfaceFiles, LoadFromStreamKeepsTheSurfaceBitCount)
{
    struct TCase {
        int bits;
        uint32_t red, green, blue, white;
    };
    for (const TCase& c : {TCase{32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, TCase{16, 0xF800, 0x07E0, 0x001F, 0xFFFF},
                           TCase{15, 0x7C00, 0x03E0, 0x001F, 0x7FFF}}) {
        SCOPED_TRACE(c.bits);
        TDIBX surface;
        surface.SetSize(5, 7, c.bits);
        surface.LoadFromStream(TwoByTwoBitmap(), 0);
        ASSERT_EQ(surface.Width(), 2);
        ASSERT_EQ(surface.Height(), 2);
        EXPECT_EQ(surface.BitCount(), c.bits);
        EXPECT_EQ(surface.GetPixel(0, 0), c.red);
        EXPECT_EQ(surface.GetPixel(1, 0), c.green);
        EXPECT_EQ(surface.GetPixel(0, 1), c.blue);
        EXPECT_EQ(surface.GetPixel(1, 1), c.white);
    }
}

TEST(SurfaceFiles, LoadFromStreamRecognisesPngAndLayeredImages)
{
    TDIBSurface image(3, 1, 24);
    image.SetPixel(0, 0, 0x123456);
    image.SetPixel(2, 0, 0xABCDEF);
    TDIBX from_png;
    from_png.SetSize(1, 1, 32);
    from_png.LoadFromStream(WritePngFile(image), 0);
    ASSERT_EQ(from_png.Width(), 3);
    EXPECT_EQ(from_png.GetPixel(0, 0), 0x123456u);
    EXPECT_EQ(from_png.GetPixel(2, 0), 0xABCDEFu);

    TFeskFrameList frames;
    frames.Add().Image = image;
    TDIBX from_fesk;
    from_fesk.SetSize(1, 1, 32);
    from_fesk.LoadFromStream(frames.SaveToStream(0, 90), 0);
    ASSERT_EQ(from_fesk.Width(), 3);
    EXPECT_EQ(from_fesk.GetPixel(2, 0), 0xABCDEFu);
}

TEST(SurfaceFiles, UnknownContentNamesAndMissingFilesLeaveTheSurface)
{
    TDIBX surface;
    surface.SetSize(3, 2, 32);
    surface.Clear(0x777777);
    surface.LoadFromStream("GIF89a....", 0);
    surface.LoadFromStream("", 0);
    std::string png_named = TempPath("image.png");
    WriteFile(png_named, TwoByTwoBitmap());
    surface.LoadFromFile(png_named);
    surface.LoadFromFile(TempPath("missing.bmp"));
    EXPECT_EQ(surface.Width(), 3);
    EXPECT_EQ(surface.Height(), 2);
    EXPECT_EQ(surface.GetPixel(2, 1), 0x777777u);
    surface.SaveToFile(TempPath("out.png"));
    EXPECT_FALSE(std::filesystem::exists(TempPath("out.png")));
}

TEST(SurfaceFiles, LoadFromFileTakesBmpInAnyCase)
{
    std::string path = TempPath("IMAGE.BMP");
    WriteFile(path, TwoByTwoBitmap());
    TDIBX surface;
    surface.SetSize(1, 1, 16);
    surface.LoadFromFile(path);
    ASSERT_EQ(surface.Width(), 2);
    EXPECT_EQ(surface.BitCount(), 16);
    EXPECT_EQ(surface.GetPixel(1, 0), 0x07E0u);
}

TEST(SurfaceFiles, SaveToFileWritesA24BitBitmap)
{
    TDIBX surface;
    surface.SetSize(2, 2, 32);
    surface.SetPixel(0, 0, 0xFF0000);  // red
    surface.SetPixel(1, 0, 0x00FF00);  // green
    surface.SetPixel(0, 1, 0x0000FF);  // blue
    surface.SetPixel(1, 1, 0x000000);
    std::string path = TempPath("saved.bmp");
    surface.SaveToFile(path);
    std::string bytes = ReadFile(path);
    ASSERT_GE(bytes.size(), 54u + 16u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<uint8_t>(bytes[18]), 2);  // width
    EXPECT_EQ(static_cast<uint8_t>(bytes[22]), 2);  // height (bottom-up)
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24);
    uint32_t offset = static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8;
    // Bottom row first: blue, black; then red, green; rows padded to 8 bytes.
    std::string expected("\xFF\x00\x00\x00\x00\x00\x00\x00"
                         "\x00\x00\xFF\x00\xFF\x00\x00\x00",
                         16);
    EXPECT_EQ(bytes.substr(offset, 16), expected);

    // A 16-bit surface saved and read back keeps its values.
    TDIBX narrow, back;
    narrow.SetSize(2, 1, 16);
    narrow.SetPixel(0, 0, 0xF81F);
    narrow.SetPixel(1, 0, 0x07E0);
    narrow.SaveToFile(path);
    back.SetSize(1, 1, 16);
    back.LoadFromFile(path);
    ASSERT_EQ(back.Width(), 2);
    EXPECT_EQ(back.GetPixel(0, 0), 0xF81Fu);
    EXPECT_EQ(back.GetPixel(1, 0), 0x07E0u);
}

TEST(SurfacePalette, EntriesMoveByBitCountAndStayInRange)
{
    TDIBX surface;
    surface.SetSize(2, 2, 8);
    uint32_t entries[256];
    for (uint32_t i = 0; i < 256; ++i) entries[i] = 0xFF000000 | i << 16 | (255 - i) << 8 | (i ^ 0x55);
    surface.SetPalette(entries);
    uint32_t read[256] = {};
    surface.GetPalette(read);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(read[i], entries[i] & 0xFFFFFF) << i;  // reserved byte 0

    const uint32_t four[4] = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
    surface.SetPaletteEntries(four, 254, 4);  // only 254 and 255 exist
    uint32_t got[4] = {1, 1, 1, 1};
    surface.GetPaletteEntries(got, 254, 4);
    EXPECT_EQ(got[0], 0x010203u);
    EXPECT_EQ(got[1], 0x040506u);
    EXPECT_EQ(got[2], 1u);
    EXPECT_EQ(got[3], 1u);
    surface.GetPaletteEntries(got, -2, 3);  // only entry 0
    EXPECT_EQ(got[2], read[0]);

    TDIBX nibbles;
    nibbles.SetSize(2, 2, 4);
    EXPECT_EQ(nibbles.PaletteCount(), 16);
    nibbles.SetPalette(entries);
    uint32_t sixteen[256] = {};
    nibbles.GetPalette(sixteen);
    EXPECT_EQ(sixteen[15], entries[15] & 0xFFFFFF);
    EXPECT_EQ(sixteen[16], 0u);

    TDIBX direct;
    direct.SetSize(2, 2, 32);
    uint32_t untouched[2] = {7, 7};
    direct.GetPalette(untouched);
    EXPECT_EQ(untouched[0], 7u);
}

TEST(SurfacePalette, EightBitSurfaceSavesThroughItsPalette)
{
    TDIBX surface;
    surface.SetSize(1, 1, 8);
    const uint32_t entry = 0x00336699;  // B 0x99, G 0x66, R 0x33
    surface.SetPaletteEntries(&entry, 5, 1);
    surface.SetPixel(0, 0, 5);
    std::string path = TempPath("indexed.bmp");
    surface.SaveToFile(path);
    std::string bytes = ReadFile(path);
    uint32_t offset = static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8;
    ASSERT_GE(bytes.size(), offset + 3u);
    EXPECT_EQ(bytes.substr(offset, 3), std::string("\x99\x66\x33", 3));
}

}  // namespace
}  // namespace mobu
