// Pointer shapes read from cursor, icon and animated cursor files made by icoutils and by
// tests/data/cursor/write_ani.py (RIFF chunks written from the format's public description).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "core/mobu_error.h"
#include "graphics/cursor_shape.h"

using namespace mobu;

namespace {

std::string ReadAll(const std::string& name)
{
    std::ifstream file(std::string(MOBU_SOURCE_DIR) + "/tests/data/cursor/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

TCursorShape Shape(const std::string& name, const std::string& bytes)
{
    return ReadCursorShape(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
TCursorShape Shape(const std::string& name) { return Shape(name, ReadAll(name)); }

// The frame's pixels equal the raw RGBA reference where it is opaque, and are transparent
// where the reference is.
void ExpectFrame(const TCursorFrame& frame, const std::string& rgba_name)
{
    std::string rgba = ReadAll(rgba_name);
    ASSERT_EQ(frame.Width, 6);
    ASSERT_EQ(frame.Height, 4);
    ASSERT_EQ(frame.Pixels.size() * 4, rgba.size());
    for (size_t i = 0; i < frame.Pixels.size(); ++i) {
        auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(rgba[i * 4 + k])); };
        uint32_t alpha = frame.Pixels[i] >> 24;
        EXPECT_EQ(alpha, byte(3)) << rgba_name << " pixel " << i;
        if (byte(3) == 0) continue;
        uint32_t expected = byte(0) << 16 | byte(1) << 8 | byte(2);
        EXPECT_EQ(frame.Pixels[i] & 0xFFFFFF, expected) << rgba_name << " pixel " << i;
    }
}

}  // namespace

TEST(CursorFiles, StillCursorsAndIcons)
{
    struct Case {
        const char* file;
        const char* rgba;
        int hot_x, hot_y;
    } cases[] = {
        {"frame0.cur", "frame0.rgba", 1, 2},   // 8-bit palette image with its AND mask
        {"frame2.cur", "frame2.rgba", 5, 3},   // 32 bits with alpha
        {"frame1.ico", "frame1.rgba", 3, 2},   // an icon: the hot spot at the centre
        {"outside.cur", "frame0.rgba", 5, 3},  // a hot spot beyond the image is clamped into it
        {"FRAME0.CUR", "frame0.rgba", 1, 2},   // the extension compares without case
    };
    for (const Case& c : cases) {
        std::string lower = c.file;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        TCursorShape shape = Shape(c.file, ReadAll(lower));
        ASSERT_EQ(shape.Frames.size(), 1u) << c.file;
        EXPECT_FALSE(shape.Animated()) << c.file;
        ExpectFrame(shape.Frames[0], c.rgba);
        EXPECT_EQ(shape.Frames[0].HotSpotX, c.hot_x) << c.file;
        EXPECT_EQ(shape.Frames[0].HotSpotY, c.hot_y) << c.file;
    }
}

TEST(CursorFiles, AnimatedCursorSteps)
{
    TCursorShape anim = Shape("anim.ani");
    ASSERT_EQ(anim.Frames.size(), 3u);
    ExpectFrame(anim.Frames[0], "frame0.rgba");
    ExpectFrame(anim.Frames[1], "frame1.rgba");
    ExpectFrame(anim.Frames[2], "frame2.rgba");
    EXPECT_EQ(anim.Frames[1].HotSpotX, 2);
    ASSERT_EQ(anim.Steps.size(), 3u);
    // Sequence 2, 0, 1 at 3, 0 and 6 jiffies: a rate of 0 is taken as one jiffy.
    size_t frames[] = {2, 0, 1};
    uint32_t jiffies[] = {3, 1, 6};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(anim.Steps[i].Frame, frames[i]);
        EXPECT_EQ(anim.Steps[i].Jiffies, jiffies[i]);
    }
    // Without tables: the frames in order at the header's rate.
    TCursorShape plain = Shape("plain.ani");
    ASSERT_EQ(plain.Steps.size(), 2u);
    EXPECT_EQ(plain.Steps[1].Frame, 1u);
    EXPECT_EQ(plain.Steps[1].Jiffies, 4u);
    // A step naming a frame that does not exist is skipped.
    TCursorShape badseq = Shape("badseq.ani");
    ASSERT_EQ(badseq.Steps.size(), 2u);
    EXPECT_EQ(badseq.Steps[0].Frame, 1u);
    EXPECT_EQ(badseq.Steps[1].Frame, 0u);
}

TEST(CursorFiles, DamagedFilesAreRefused)
{
    std::string good = ReadAll("anim.ani");
    std::string cut = good.substr(0, good.size() - 40);
    std::string big_riff = good;
    big_riff[4] = static_cast<char>(0xFF);
    big_riff[5] = static_cast<char>(0xFF);
    std::string raw_frames = good;  // flags without "frames are icon files"
    size_t flags_at = good.find("anih") + 8 + 32;
    raw_frames[flags_at] = 2;
    // A cursor declaring 300 × 300 pixels.
    std::string big_cur = ReadAll("frame2.cur");
    size_t info = 22;
    uint16_t side = 300;
    uint32_t doubled = 600;
    std::memcpy(&big_cur[info + 4], &side, 2);
    std::memcpy(&big_cur[info + 8], &doubled, 4);
    struct Case {
        const char* what;
        std::string name, bytes;
    } cases[] = {
        {"frames missing from the list", "x.ani", ReadAll("short_frames.ani")},
        {"steps missing from the tables", "x.ani", ReadAll("short_steps.ani")},
        {"more than 1024 frames", "x.ani", ReadAll("many_frames.ani")},
        {"cut short", "x.ani", cut},
        {"RIFF size beyond the file", "x.ani", big_riff},
        {"raw frames", "x.ani", raw_frames},
        {"not RIFF", "x.ani", ReadAll("frame0.cur")},
        {"empty", "x.ani", ""},
        {"cursor larger than 256", "x.cur", big_cur},
        {"empty cursor", "x.cur", ""},
    };
    for (const Case& c : cases) EXPECT_THROW(Shape(c.name, c.bytes), EMobuError) << c.what;
}
