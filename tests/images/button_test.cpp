// The picture button: states under the mouse, clicks and their notification, the clicked
// pictures played once, keys, radio groups with and without all-up, the caption and its
// pressed offset, the font-height limits and the saved form.
#include "image_fixture.h"

#include <sstream>

#include "components/components_json.h"
#include "components/mobu_button.h"

namespace mobu {
namespace {

using testing_images::ImageScene;
using testing_images::Lines;
using testing_images::Picture;

constexpr int kReturn = 13, kSpace = 32;
const std::string kHandler = "p.msb:l";

class Button : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        // Normal 1 frame, pressed 1 frame and clicked 2 frames of 100 ms, all 4 × 3.
        std::ofstream(folder_ / "pic" / "pressed.fsk", std::ios::binary) << Picture(1, 4, 3, 100, 8);
        std::ofstream(folder_ / "pic" / "clicked.fsk", std::ios::binary) << Picture(2, 4, 3, 100, 12);
        button_ = Make("b", 4, 4);
    }
    // A button at (left, top) with every picture and the notification and play-end handlers.
    TMobuButton* Make(const std::string& name, int32_t left, int32_t top, bool with_clicked = true)
    {
        auto* button = dynamic_cast<TMobuButton*>(list_.CreateComponent(LT_BUTTON));
        EXPECT_NE(button, nullptr);
        button->SetName(name);
        button->SetLeft(left);
        button->SetTop(top);
        button->SetProp(PR_SOURCE, TPropValue::Text("pic\\one.fsk"));
        button->SetProp(PR_HOVERSOURCE, TPropValue::Text("pic\\hover.fsk"));
        button->SetProp(PR_PRESSEDSOURCE, TPropValue::Text("pic\\pressed.fsk"));
        if (with_clicked) button->SetProp(PR_CLICKEDSOURCE, TPropValue::Text("pic\\clicked.fsk"));
        button->SetProp(PR_ONNOTIFY, TPropValue::Text(kHandler));
        button->SetProp(PR_ONPLAYEND, TPropValue::Text(kHandler));
        return button;
    }
    void Down(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.MouseButtonDown(true, false);
        list_.ProcessInput(15);
    }
    void Up(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.MouseButtonUp();
        list_.ProcessInput(15);
    }
    // Plays a mouse script: "m x y" moves, "d x y" presses, "u x y" releases.
    void Script(const Lines& steps)
    {
        for (const std::string& step : steps) {
            int32_t x = 0, y = 0;
            std::sscanf(step.c_str() + 2, "%d %d", &x, &y);
            if (step[0] == 'm') MouseAt(x, y);
            else if (step[0] == 'd') Down(x, y);
            else Up(x, y);
        }
    }
    // The notifications among the events taken.
    static int Notifications(const Lines& events)
    {
        return static_cast<int>(std::count(events.begin(), events.end(), std::to_string(PR_ONNOTIFY)));
    }

    TMobuButton* button_ = nullptr;
};

TEST_F(Button, StatesUnderTheMouse)
{
    struct TCase {
        const char* what;
        Lines steps;
        bool paused, clicked_picture;
        int32_t state, notifications;
    };
    const TCase cases[] = {
        {"hover", {"m 5 5"}, false, true, kButtonHover, 0},
        {"pressed", {"m 5 5", "d 5 5"}, false, true, kButtonPressed, 0},
        {"click", {"m 5 5", "d 5 5", "u 5 5"}, false, true, kButtonClicked, 1},
        {"dragged off", {"d 5 5", "m 12 12"}, false, true, kButtonNormal, 0},
        {"dragged back", {"d 5 5", "m 12 12", "m 6 5"}, false, true, kButtonPressed, 0},
        {"released off", {"d 5 5", "m 12 12", "u 12 12"}, false, true, kButtonNormal, 0},
        {"left", {"m 5 5", "m 12 12"}, false, true, kButtonNormal, 0},
        {"paused hover", {"m 5 5"}, true, true, kButtonNormal, 0},
        {"paused press", {"m 5 5", "d 5 5", "u 5 5"}, true, true, kButtonNormal, 0},
        // Without a clicked picture the state is never entered; the click still notifies.
        {"no clicked picture", {"m 5 5", "d 5 5", "u 5 5"}, false, false, kButtonNormal, 1},
    };
    for (const TCase& c : cases) {
        list_.Reset();
        list_.Events().Clear();
        MouseAt(0, 15);
        button_ = Make("b", 4, 4, c.clicked_picture);
        button_->SetProp(PR_PAUSED, TPropValue::Flag(c.paused));
        Script(c.steps);
        const Lines events = TakeEvents();
        EXPECT_EQ(button_->ButtonState, c.state) << c.what;
        EXPECT_EQ(Notifications(events), c.notifications) << c.what;
        // The button posts neither left-button event.
        for (const std::string& e : events) {
            EXPECT_NE(e.rfind(std::to_string(PR_ONLBTNDOWN), 0), 0u) << c.what;
            EXPECT_NE(e.rfind(std::to_string(PR_ONLBTNUP), 0), 0u) << c.what;
        }
    }
}

TEST_F(Button, TheComponentDumpGivesTheButtonState)
{
    MouseAt(5, 5);
    std::ostringstream out;
    WriteComponentsJson(list_, out);
    EXPECT_NE(out.str().find("\"type\": \"LT_BUTTON\", \"name\": \"b\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\"state\": {\"button_state\": 1}"), std::string::npos) << out.str();
}

TEST_F(Button, TheClickedPicturesPlayOnceThenThePendingStateFollows)
{
    Script({"m 5 5", "d 5 5", "u 5 5"});
    ASSERT_EQ(button_->ButtonState, kButtonClicked);
    EXPECT_FALSE(button_->GetProp(PR_REPEAT).AsFlag());
    MouseAt(6, 5);  // a hover request while clicked only becomes pending
    EXPECT_EQ(button_->PendingState, kButtonHover);
    TakeEvents();
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(button_->ButtonState, kButtonClicked);
    EXPECT_EQ(button_->Index(), 1);
    Frame();
    EXPECT_EQ(button_->ButtonState, kButtonHover);
    EXPECT_TRUE(button_->GetProp(PR_REPEAT).AsFlag());
    EXPECT_EQ(TakeEvents(), Lines{std::to_string(PR_ONPLAYEND)});
}

TEST_F(Button, AClickedFilmThatCannotPlayEndsAtTheNextUpdate)
{
    button_->SetProp(PR_CLICKEDSOURCE, TPropValue::Text("pic\\gone.mmt"));
    Script({"m 5 5", "d 5 5", "u 5 5"});
    EXPECT_EQ(button_->ButtonState, kButtonClicked);
    TakeEvents();
    Frame();
    EXPECT_NE(button_->ButtonState, kButtonClicked);
    EXPECT_EQ(TakeEvents(), Lines{std::to_string(PR_ONPLAYEND)});
}

TEST_F(Button, AutoScrapRemovesTheButtonAtTheNextUpdate)
{
    button_->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    Script({"m 5 5", "d 5 5", "u 5 5"});
    EXPECT_EQ(button_->PressMode, kButtonRemoval);
    list_.UpdatePass();
    EXPECT_EQ(list_.FindComponent("b"), nullptr);
}

TEST_F(Button, ReturnAndSpaceClickTheFocusedButton)
{
    button_->HandleKey = true;
    list_.SetFocus(button_);
    for (int key : {kReturn, kSpace}) {
        button_->SetProp(PR_CLICKEDSOURCE, TPropValue::Text(""));
        TakeEvents();
        Press(key);
        EXPECT_EQ(Notifications(TakeEvents()), 1) << key;
    }
}

TEST_F(Button, GroupsSelectOneMemberOrNoneWithAllUp)
{
    struct TCase {
        bool allow_all_up;
        std::vector<int> clicks;  // member indices clicked in turn
        std::vector<bool> selected;
    };
    const TCase cases[] = {
        {false, {}, {true, false, false}},  // setting the group selects the first
        {false, {1}, {false, true, false}},
        {false, {1, 1}, {false, true, false}},  // clicking the selected one keeps it
        {false, {2, 0}, {true, false, false}},
        {true, {1}, {false, true, false}},
        {true, {1, 1}, {false, false, false}},  // all up allowed: the group may be empty
    };
    for (const TCase& c : cases) {
        list_.Reset();
        std::vector<TMobuButton*> members;
        for (int i = 0; i < 3; ++i) members.push_back(Make("g" + std::to_string(i), 0, 5 * i));
        TMobuButton* other = Make("other", 10, 0);  // another group
        other->SetProp(PR_GROUPINDEX, TPropValue::Int(2));
        for (TMobuButton* m : members) m->SetProp(PR_GROUPINDEX, TPropValue::Int(1));
        members[0]->SetProp(PR_ALLOWALLUP, TPropValue::Flag(c.allow_all_up));
        for (int index : c.clicks) members[static_cast<size_t>(index)]->Click();
        for (size_t i = 0; i < members.size(); ++i) {
            EXPECT_EQ(members[i]->Selected, c.selected[i]) << i;
            EXPECT_EQ(members[i]->AllowAllUp, c.allow_all_up) << i;
            EXPECT_EQ(members[i]->ButtonState, c.selected[i] ? kButtonPressed : kButtonNormal) << i;
        }
        EXPECT_TRUE(other->Selected);
    }
}

TEST_F(Button, SelectingWithoutGroupIsIgnoredAndTheScriptMovesTheGroupSelection)
{
    button_->SetProp(PR_SELECTED, TPropValue::Flag(true));
    EXPECT_FALSE(button_->GetProp(PR_SELECTED).AsFlag());
    TMobuButton* second = Make("second", 10, 10);
    button_->SetProp(PR_GROUPINDEX, TPropValue::Int(3));
    second->SetProp(PR_GROUPINDEX, TPropValue::Int(3));
    EXPECT_TRUE(button_->Selected);
    second->SetProp(PR_SELECTED, TPropValue::Flag(true));
    EXPECT_FALSE(button_->Selected);
    EXPECT_TRUE(second->Selected);
    // The list-item accessors answer neutrally.
    EXPECT_FALSE(second->ItemSelected(0));
    EXPECT_EQ(second->ItemGroupIndex(0), 0);
}

TEST_F(Button, TheCaptionShiftsOnePixelWhenPressed)
{
    list_.SetSize(40, 30);
    list_.Reset();
    std::ofstream(folder_ / "pic" / "flat.fsk", std::ios::binary) << Picture(1, 30, 20, 100, 3);
    auto* button = dynamic_cast<TMobuButton*>(list_.CreateComponent(LT_BUTTON));
    button->SetName("c");
    button->SetLeft(5);
    button->SetTop(5);
    button->SetProp(PR_SOURCE, TPropValue::Text("pic\\flat.fsk"));
    button->SetProp(PR_PRESSEDSOURCE, TPropValue::Text("pic\\flat.fsk"));
    button->SetProp(PR_FONTHEIGHT, TPropValue::Int(12));
    button->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
    // Drawn without a caption, in the normal and the pressed state: the same picture.
    Draw();
    TDIBX plain;
    plain.SetSize(40, 30, 32);
    plain.Assign(list_.FrameSurface());
    button->SetProp(PR_TEXT, TPropValue::Text("I"));
    Draw();
    TDIBX normal;
    normal.SetSize(40, 30, 32);
    normal.Assign(list_.FrameSurface());
    button->SetState(kButtonPressed);
    Draw();
    TDIBX& pressed = list_.FrameSurface();
    int changed = 0;
    for (int y = 5; y < 24; ++y) {
        for (int x = 5; x < 34; ++x) {
            // The caption's pixels lie one right and one down; where the picture shows in
            // both, the pressed frame equals the normal one shifted.
            const bool caption_normal = normal.GetPixel(x, y) != plain.GetPixel(x, y);
            const bool caption_pressed = pressed.GetPixel(x + 1, y + 1) != plain.GetPixel(x + 1, y + 1);
            EXPECT_EQ(caption_normal, caption_pressed) << x << ", " << y;
            changed += caption_normal ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 0);
}

TEST_F(Button, FontHeightZeroIsTheDefaultAndLargeOnesAreCapped)
{
    const std::pair<int32_t, int32_t> cases[] = {{0, 16}, {20, 20}, {-20, 20}, {512, 512}, {600, 512},
                                                 {INT32_MIN, 512}};
    for (const auto& [written, read] : cases) {
        button_->SetProp(PR_FONTHEIGHT, TPropValue::Int(written));
        EXPECT_EQ(button_->GetProp(PR_FONTHEIGHT).AsInt(), read) << written;
    }
}

TEST_F(Button, TheSavedFormKeepsSourcesGroupSelectionAndCaptionStyle)
{
    TMobuButton* second = Make("second", 10, 10);
    for (TMobuButton* b : {button_, second}) b->SetProp(PR_GROUPINDEX, TPropValue::Int(4));
    second->SetProp(PR_SELECTED, TPropValue::Flag(true));
    second->SetProp(PR_ALLOWALLUP, TPropValue::Flag(true));
    second->SetProp(PR_FONTHEIGHT, TPropValue::Int(21));
    second->SetProp(PR_FONTCOLOR, TPropValue::Int(0x123456));
    second->SetProp(PR_ONIDLE, TPropValue::Text("q.msb:idle"));
    std::unique_ptr<TMobuBaseList> loaded = Reloaded();
    auto* b = dynamic_cast<TMobuButton*>(loaded->FindComponent("second"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetProp(PR_SOURCE).AsText(), "pic\\one.fsk");
    EXPECT_EQ(b->GetProp(PR_HOVERSOURCE).AsText(), "pic\\hover.fsk");
    EXPECT_EQ(b->GetProp(PR_PRESSEDSOURCE).AsText(), "pic\\pressed.fsk");
    EXPECT_EQ(b->GetProp(PR_CLICKEDSOURCE).AsText(), "pic\\clicked.fsk");
    EXPECT_EQ(b->GroupIndex, 4);
    EXPECT_TRUE(b->Selected);
    EXPECT_TRUE(b->AllowAllUp);
    EXPECT_EQ(b->ButtonState, kButtonPressed);
    EXPECT_EQ(b->PressMode, kButtonIdle);
    EXPECT_EQ(b->GetProp(PR_FONTHEIGHT).AsInt(), 21);
    EXPECT_EQ(b->GetProp(PR_FONTCOLOR).AsInt(), 0x123456);
    EXPECT_EQ(b->EventString(PR_ONNOTIFY), kHandler);
    EXPECT_EQ(b->EventString(PR_ONIDLE), "q.msb:idle");
    EXPECT_EQ(b->Width, 4);
    EXPECT_EQ(b->Height, 3);
    auto* first = dynamic_cast<TMobuButton*>(loaded->FindComponent("b"));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Selected);
}

}  // namespace
}  // namespace mobu
