// The component list's pointer without a player: what the device is told when the cursor
// step chooses, how a display change and the background colour reach the bases.
#include <gtest/gtest.h>

#include <string>

#include "app/pointer_record.h"
#include "archive/vr_file_manager.h"
#include "components/mobu_base_list.h"

using namespace mobu;

namespace {

class PanelPointerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(std::string(MOBU_SOURCE_DIR) + "/tests/data/cursor");
        SetPointerDevice(&record);
    }
    void TearDown() override
    {
        SetPointerDevice(nullptr);
        ResetVrFileManager();
    }
    TPointerRecord record;
};

TEST_F(PanelPointerTest, TheDeviceHearsOnlyOfChanges)
{
    TPanelPointer pointer;
    pointer.Choose("", "");
    EXPECT_EQ(record.changes, 0u);  // the arrow is already shown
    pointer.Choose("frame0.cur", "");
    pointer.Choose("FRAME0.CUR", "");  // the same file: paths compare without case
    pointer.Choose("", "frame0.cur");  // the default names the loaded file
    EXPECT_EQ(record.changes, 1u);
    EXPECT_EQ(record.path, "frame0.cur");
    pointer.Choose("frame1.ico", "frame0.cur");
    EXPECT_EQ(record.path, "frame1.ico");
    EXPECT_EQ(record.hot_x, 3);
    pointer.Choose("", "");
    EXPECT_TRUE(record.arrow);
    EXPECT_EQ(pointer.CursorPath(), "");
    EXPECT_EQ(record.changes, 3u);
    // An unreadable file: the arrow, and it is not read again while it stays chosen.
    pointer.Choose("nothere.cur", "");
    EXPECT_TRUE(record.arrow);
    EXPECT_EQ(pointer.CursorPath(), "nothere.cur");
    size_t told = record.changes;
    pointer.Choose("nothere.cur", "");
    EXPECT_EQ(record.changes, told);
}

TEST_F(PanelPointerTest, AnimationStepsAtTheFileRates)
{
    // anim.ani: frame 2 for 3 jiffies, frame 0 for 1 (rate 0), frame 1 for 6.
    TPanelPointer pointer;
    pointer.Choose("anim.ani", "");
    struct Step {
        int32_t ms;
        size_t frame;
    } steps[] = {{49, 2}, {1, 0}, {16, 0}, {1, 1}, {99, 1}, {1, 2}, {1667, 2}, {0, 2}, {-5, 2}, {167 * 3, 2}};
    for (const Step& s : steps) {
        pointer.Advance(s.ms);
        EXPECT_EQ(pointer.FrameIndex(), s.frame) << "after " << s.ms << " ms";
        EXPECT_EQ(record.frame, s.frame);
    }
    // A still cursor ignores the clock.
    pointer.Choose("frame0.cur", "");
    pointer.Advance(1000);
    EXPECT_EQ(pointer.FrameIndex(), 0u);
}

TEST_F(PanelPointerTest, ListChoosesForTheHoveredControlAndShowsAgainAfterADisplayChange)
{
    TMobuBaseList list;
    list.SetSize(100, 100);
    TMobuObject* made = list.CreateComponent(LT_BOX);
    TMobuControl* box = made->AsControl();
    box->SetBounds(10, 10, 20, 20);
    box->Cursor = "frame0.cur";
    list.MousePosition(15, 15);
    list.ProcessInput(15);
    EXPECT_EQ(record.path, "frame0.cur");
    EXPECT_EQ(list.GetBase(0)->CursorPath, "frame0.cur");
    // The script changes the control's cursor: shown in the same frame's update pass.
    box->Cursor = "frame1.ico";
    list.UpdatePass();
    EXPECT_EQ(record.path, "frame1.ico");
    size_t told = record.changes;
    list.ReleaseSurfaces();
    list.RestoreSurfaces(true);
    EXPECT_EQ(record.changes, told + 1);
    EXPECT_EQ(record.path, "frame1.ico");
    // Both bases take the background colour and are redrawn whole.
    list.ClearDirty();
    list.SetColor(0x123456);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(list.GetBase(i)->Color, 0x123456);
        ASSERT_EQ(list.GetBase(i)->DirtyList.Rects().size(), 1u);
        EXPECT_EQ(list.GetBase(i)->DirtyList.Rects()[0].Right, 100);
    }
}

}  // namespace
