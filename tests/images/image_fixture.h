// A small game folder with layered pictures for the picture component tests, and a 16 × 16
// screen to put components on.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../fesk/fesk_writer_for_tests.h"
#include "core/globals.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "archive/vr_file_manager.h"
#include "components/fesk_collection.h"
#include "components/mobu_base_list.h"

namespace mobu::testing_images {

using namespace testing_fesk;
using Lines = std::vector<std::string>;

// `count` frames of width × height and `delay` ms; frame i is a gradient of hue `hue` + i
// whose column 0 is the transparent value 0.
inline std::string Picture(int count, int width, int height, int delay, int hue = 0)
{
    TRawFile file;
    for (int i = 0; i < count; ++i) {
        TRawFrame frame;
        frame.width = width;
        frame.height = height;
        frame.delay = delay;
        frame.transparent = 0;
        TRawLayer layer;
        layer.colour = Rows24(width, height, [i, hue](int x, int y) {
            return x == 0 ? 0u : static_cast<uint32_t>(0x200000 * (hue + i + 1) + x * 0x1008 + y * 0x11);
        });
        frame.layers.push_back(layer);
        file.frames.push_back(frame);
    }
    return WriteRawFesk(file);
}

constexpr int32_t kBackground = 0x404040;

class ImageScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("mobu_imgcomp_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_ / "pic");
        std::ofstream(folder_ / "pic" / "three.fsk", std::ios::binary) << Picture(3, 4, 3, 100);
        std::ofstream(folder_ / "pic" / "one.fsk", std::ios::binary) << Picture(1, 4, 3, 100);
        std::ofstream(folder_ / "pic" / "hover.fsk", std::ios::binary) << Picture(2, 4, 3, 100, 4);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder_.string());
        list_.SetSize(16, 16);
        list_.GetBase(0)->Color = kBackground;
        FrameDeltaMs = 50;
    }
    void TearDown() override
    {
        list_.Reset();
        ResetVrFileManager();
        std::filesystem::remove_all(folder_);
    }

    // One frame of the list: update and draw.
    void Frame()
    {
        list_.UpdatePass();
        list_.DrawPass();
        list_.ClearDirty();
    }
    void Draw()
    {
        list_.ActiveBase()->InvalidateAll();
        list_.DrawPass();
        list_.ClearDirty();
    }
    // A 16 × 16 surface of the background colour to compose the expected picture on.
    static void Background(TDIBX& surface)
    {
        surface.SetSize(16, 16, 32);
        surface.Clear(static_cast<uint32_t>(surface.ColorToPixel(kBackground)));
    }
    // Whether every pixel of the frame equals the hand-composed one.
    ::testing::AssertionResult SameAsFrame(TDIBX& expected)
    {
        TDIBX& frame = list_.FrameSurface();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (frame.GetPixel(x, y) != expected.GetPixel(x, y))
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex
                                                         << frame.GetPixel(x, y) << " instead of "
                                                         << expected.GetPixel(x, y);
        return ::testing::AssertionSuccess();
    }

    // Input as the player feeds it, a 15 ms pass after each change.
    void Press(int code)
    {
        list_.KeyEvent(code, true);
        list_.KeyClick(code);
        list_.ProcessInput(15);
        list_.KeyEvent(code, false);
        list_.ProcessInput(15);
    }
    void MouseAt(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.ProcessInput(15);
    }
    void Click(int32_t x, int32_t y, bool left = true)
    {
        list_.MousePosition(x, y);
        list_.MouseButtonDown(left, !left);
        list_.ProcessInput(15);
        list_.MouseButtonUp();
        list_.ProcessInput(15);
    }
    // The events queued so far as "code param param...", and the queue emptied.
    Lines TakeEvents()
    {
        Lines seen;
        for (int32_t i = 0; i < list_.Events().Count(); ++i) {
            const TTimerData& e = list_.Events().At(i);
            std::string line = std::to_string(e.Code);
            for (const std::string& p : e.Params) line += " " + p;
            seen.push_back(line);
        }
        list_.Events().Clear();
        return seen;
    }

    // The scene's components written to their saved form and read into a new 16 × 16 list;
    // the whole saved form must be read back.
    std::unique_ptr<TMobuBaseList> Reloaded()
    {
        ByteWriter out;
        list_.SaveToStream(out);
        auto loaded = std::make_unique<TMobuBaseList>();
        loaded->SetSize(16, 16);
        ByteReader in(out.Bytes());
        loaded->LoadFromStream(in, kComponentSaveVersion);
        EXPECT_EQ(in.Remaining(), 0u);
        return loaded;
    }

    std::filesystem::path folder_;
    TMobuBaseList list_;
};

}  // namespace mobu::testing_images
