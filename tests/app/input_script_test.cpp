#include "app/input_script.h"

#include <gtest/gtest.h>

#include "core/mobu_error.h"

namespace mobu {
namespace {

TEST(InputScript, ParsesEveryKindOfEventInFrameOrder)
{
    auto events = ParseInputScript(
        "# a comment line\n"
        "20 mouse move 320 240\n"
        "10 key down Return   # trailing comment\n"
        "\n"
        "10 key up return\n"
        "21 mouse down 5 -3 right\n"
        "22 mouse up 5 6 middle\n"
        "30 wheel up\n"
        "31 wheel down\r\n");
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].frame, 10);
    EXPECT_EQ(events[0].kind, TInputKind::KeyDown);
    EXPECT_EQ(events[0].key, 0x0D);
    EXPECT_EQ(events[1].kind, TInputKind::KeyUp);  // same frame: file order kept
    EXPECT_EQ(events[2].kind, TInputKind::MouseMove);
    EXPECT_EQ(events[2].x, 320);
    EXPECT_EQ(events[2].y, 240);
    EXPECT_EQ(events[3].kind, TInputKind::MouseDown);
    EXPECT_EQ(events[3].button, TMouseButton::Right);
    EXPECT_EQ(events[3].y, -3);
    EXPECT_EQ(events[4].kind, TInputKind::MouseUp);
    EXPECT_EQ(events[4].button, TMouseButton::Middle);
    EXPECT_EQ(events[5].kind, TInputKind::WheelUp);
    EXPECT_EQ(events[6].kind, TInputKind::WheelDown);
}

TEST(InputScript, MalformedLinesAreRefusedWithTheirLineNumber)
{
    const char* bad[] = {"0 key down A", "x key down A", "5 key press A", "5 key down NoSuchKey", "5 key down",
                         "5 mouse move 1", "5 mouse down 1 2", "5 mouse down 1 2 side", "5 mouse move a b",
                         "5 wheel sideways", "5 jump", "5", "99999999999999999999 wheel up"};
    for (const char* line : bad) {
        try {
            ParseInputScript(std::string("# first\n") + line + "\n");
            ADD_FAILURE() << "accepted: " << line;
        } catch (const EMobuError& error) {
            EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos) << line;
        }
    }
}

}  // namespace
}  // namespace mobu
