// The system variables the main window answers, driven through its input routing: keys
// (with the wheel at 256 and 257), mouse buttons, wheel, pointer moves, screen, title, frames,
// full screen and display modes.
#include <gtest/gtest.h>

#include "app/form_view.h"
#include "components/component_functions.h"
#include "components/mobu_base_list.h"
#include "core/globals.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/sys_func_man.h"
#include "platform/message_box.h"

namespace mobu {
namespace {

class TQuietHost : public TViewHost {
public:
    void SetCaption(const std::string&) override {}
    void ApplyLayout(const TViewLayout&, bool) override {}
    void PostClose() override {}
    void Present(const FrameBuffer&) override {}
    bool SwitchFullScreen(bool on) override
    {
        ++switches;
        return on;
    }
    uint32_t NowMs() override { return 0; }
    int switches = 0;
};

class TTinyProject : public TProjectLink {
public:
    std::string Title() const override { return "tiny"; }
    int32_t ScreenWidth() const override { return 64; }
    int32_t ScreenHeight() const override { return 48; }
    bool ShowToolbar() const override { return false; }
    bool PauseWhenInactive() const override { return false; }
    void Run() override {}
    bool ProcessPendingSaveLoad() override { return false; }
};

class ViewVariables : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuitRequested = false;
        previous = SetMessageBoxPresenter([](const MessageBoxRequest&) { return MessageResult::Ok; });
        view = std::make_unique<TFormView>(host, TGameStartup{{}, "/nonexistent/mobuplay"});
        view->SetProjectFactory([](const TGameStartup&) { return std::make_unique<TTinyProject>(); });
        view->FormCreate();
        ASSERT_NE(GlobalSysFuncMan(), nullptr);
        view->Activate();
    }
    void TearDown() override
    {
        view.reset();
        SetMessageBoxPresenter(previous);
        QuitRequested = false;
    }
    std::string Eval(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        TMobuParser parser;
        parser.LoadFromBytes(compiler.ToStream());
        parser.Execute(*GlobalSysFuncMan());
        return parser.Result() ? parser.Result()->GetString() : "(none)";
    }
    void Frame()
    {
        FrameDeltaMs = 15;
        view->DoFrame();
    }

    TQuietHost host;
    std::unique_ptr<TFormView> view;
    MessageBoxPresenter previous;
};

TEST_F(ViewVariables, KeysAndWheelInTheKeyArrays)
{
    EXPECT_EQ(Eval("@KeyPush[13]"), "FALSE");
    view->WindowKeyDown(13, false);
    Frame();
    EXPECT_EQ(Eval("@KeyPush[13]"), "TRUE");
    EXPECT_EQ(Eval("@KeyClick[13]"), "TRUE");
    EXPECT_EQ(Eval("@KeyPush"), "FALSE");
    EXPECT_EQ(Eval("GetArraySize(@KeyPush)"), "258");
    Frame();
    EXPECT_EQ(Eval("@KeyPush[13]"), "TRUE");
    EXPECT_EQ(Eval("@KeyClick[13]"), "FALSE");
    view->WindowKeyUp(13);
    Frame();
    EXPECT_EQ(Eval("@KeyPush[13]"), "FALSE");
    view->MouseWheel(true);
    Frame();
    EXPECT_EQ(Eval("@WheelDown"), "TRUE");
    EXPECT_EQ(Eval("@KeyPush[256]"), "TRUE");
    EXPECT_EQ(Eval("@KeyPush[257]"), "FALSE");
    Frame();
    EXPECT_EQ(Eval("@WheelDown"), "FALSE");
    view->MouseWheel(false);
    Frame();
    EXPECT_EQ(Eval("@WheelUp"), "TRUE");
    EXPECT_EQ(Eval("@KeyClick[257]"), "TRUE");
    // Out of the array: the subscript error stops the expression.
    EXPECT_EQ(Eval("@KeyPush[258]"), "(none)");
}

TEST_F(ViewVariables, MouseButtonsAndPointer)
{
    view->PanelMouseMove(10, 20);
    view->PanelMouseDown(TMouseButton::Left);
    Frame();
    EXPECT_EQ(Eval("@MouseX"), "10");
    EXPECT_EQ(Eval("@MouseY"), "20");
    EXPECT_EQ(Eval("@LClick"), "TRUE");
    EXPECT_EQ(Eval("@LPush"), "TRUE");
    EXPECT_EQ(Eval("@RPush"), "FALSE");
    Eval("@LClick = FALSE");
    EXPECT_EQ(Eval("@LClick"), "FALSE");
    view->PanelMouseUp();
    Frame();
    EXPECT_EQ(Eval("@LPush"), "FALSE");
    // Writing moves the (here virtual) pointer.
    Eval("@MouseX = 30");
    EXPECT_EQ(Eval("@MouseX"), "30");
    EXPECT_EQ(Eval("@MouseY"), "20");
    Eval("@MouseY = 5");
    EXPECT_EQ(Eval("@MouseX ++ \",\" ++ @MouseY"), "30,5");
}

TEST_F(ViewVariables, ScreenTitleFramesFullScreenAndModes)
{
    EXPECT_EQ(Eval("@ScrWidth"), "64");
    EXPECT_EQ(Eval("@ScrHeight"), "48");
    EXPECT_EQ(Eval("@Title"), "tiny");
    Eval("@ScrWidth = 5");
    EXPECT_EQ(Eval("@ScrWidth"), "64");
    Frame();
    Frame();
    EXPECT_EQ(Eval("@UpdateCount"), "2");
    EXPECT_EQ(Eval("@FullScr"), "FALSE");
    Eval("@FullScr = TRUE");
    EXPECT_EQ(Eval("@FullScr"), "TRUE");
    EXPECT_EQ(host.switches, 1);
    Eval("@FullScr = FALSE");
    EXPECT_EQ(Eval("@FullScr"), "FALSE");
    // No display modes without a display.
    EXPECT_EQ(Eval("@DisplayModeCount"), "0");
    EXPECT_EQ(Eval("@DisplayModeIndex"), "-1");
    Eval("@DisplayModeIndex = 0");
    EXPECT_EQ(Eval("@DisplayModeIndex"), "-1");
    EXPECT_EQ(Eval("GetDisplayMode(0, @SelIndex, @SelIndex, @SelIndex, @SelIndex)"), "FALSE");
    EXPECT_EQ(Eval("@IsDebug"), "FALSE");
    EXPECT_EQ(Eval("@ActiveCompo"), "");
    Eval("@ActiveCompo = \"nothing\"");
    EXPECT_EQ(Eval("@ActiveCompo"), "");
    EXPECT_EQ(Eval("@CGDither"), "FALSE");
}

// Writing "@ActiveCompo" focuses a shown control that takes keys; a hidden one, one that
// does not take keys and an unknown name change nothing.
TEST_F(ViewVariables, ActiveCompoFocusesOnlyAControlThatCanTakeIt)
{
    TMobuBaseList& list = *GlobalBaseList();
    auto box = [&](const std::string& name, bool keys, bool visible) {
        TMobuControl* control = list.CreateComponent(LT_BOX)->AsControl();
        control->SetName(name);
        control->SetBounds(0, 0, 10, 10);
        control->HandleKey = keys;
        control->SetVisible(visible);
        return control;
    };
    box("field", true, true);
    box("hidden", true, false);
    box("plain", false, true);
    Eval("@ActiveCompo = \"field\"");
    EXPECT_EQ(Eval("@ActiveCompo"), "field");
    for (const char* name : {"hidden", "plain", "nothing"}) {
        Eval(std::string("@ActiveCompo = \"") + name + "\"");
        EXPECT_EQ(Eval("@ActiveCompo"), "field") << name;
    }
}

}  // namespace
}  // namespace mobu
