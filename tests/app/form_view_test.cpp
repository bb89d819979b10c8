#include "app/form_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/game_ini.h"
#include "core/globals.h"
#include "app/process_random.h"
#include "expr/script_random.h"
#include "core/mobu_error.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

class TRecordingHost : public TViewHost {
public:
    void SetCaption(const std::string& utf8) override { captions.push_back(utf8); }
    void ApplyLayout(const TViewLayout& new_layout, bool centre) override
    {
        layout = new_layout;
        centred = centred || centre;
    }
    void PostClose() override { ++close_posts; }
    void Present(const FrameBuffer& frame) override
    {
        ++presents;
        last_width = frame.width;
        last_height = frame.height;
    }
    bool SwitchFullScreen(bool on) override { return on; }
    uint32_t NowMs() override { return 777; }

    std::vector<std::string> captions;
    TViewLayout layout;
    bool centred = false;
    int close_posts = 0;
    int presents = 0;
    int last_width = 0, last_height = 0;
};

class TFakeProject : public TProjectLink {
public:
    explicit TFakeProject(std::vector<std::string>& log) : log_(log) {}
    std::string Title() const override { return SysText(u8"デモ"); }
    int32_t ScreenWidth() const override { return 640; }
    int32_t ScreenHeight() const override { return 480; }
    bool ShowToolbar() const override { return toolbar; }
    bool PauseWhenInactive() const override { return pause; }
    void Run() override { log_.push_back("run"); }
    bool ProcessPendingSaveLoad() override
    {
        log_.push_back("saveload");
        bool load = load_next;
        load_next = false;
        return load;
    }
    bool toolbar = true;
    bool pause = false;
    bool load_next = false;

private:
    std::vector<std::string>& log_;
};

class FormViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuitRequested = false;
        previous_presenter = SetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageBoxPresenter(previous_presenter);
        QuitRequested = false;
    }

    std::unique_ptr<TFormView> MakeView(bool toolbar = true, bool pause = false)
    {
        auto view = std::make_unique<TFormView>(host, TGameStartup{{"game"}, "/nonexistent/mobuplay"});
        view->SetProjectFactory([this, toolbar, pause](const TGameStartup&) {
            auto made = std::make_unique<TFakeProject>(log);
            made->toolbar = toolbar;
            made->pause = pause;
            project = made.get();
            QuitRequested = false;
            return made;
        });
        return view;
    }

    TRecordingHost host;
    std::vector<std::string> log;
    TFakeProject* project = nullptr;
    std::vector<MessageBoxRequest> boxes;
    MessageResult answer = MessageResult::No;
    MessageBoxPresenter previous_presenter;
};

TEST_F(FormViewTest, CreationSizesTheClientAreaFromTheProject)
{
    auto view = MakeView(true);
    view->FormCreate();
    EXPECT_FALSE(view->StartupFailed());
    ASSERT_EQ(host.captions.size(), 2u);
    EXPECT_EQ(host.captions[0], "MobuPlayer");
    EXPECT_EQ(host.captions[1], "デモ");
    EXPECT_TRUE(host.centred);
    EXPECT_EQ(host.layout.client_width, 640);
    EXPECT_EQ(host.layout.client_height, 480 + 22);
    EXPECT_EQ(host.layout.panel_y, 22);
    EXPECT_TRUE(host.layout.toolbar_visible);

    auto plain = MakeView(false);
    plain->FormCreate();
    EXPECT_EQ(host.layout.client_height, 480);
    EXPECT_EQ(host.layout.panel_y, 0);
}

TEST_F(FormViewTest, CreationClearsTheLogReadsGameIniAndSeedsTheRandomGenerator)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("mobu_form_" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "mobuplay.log") << "old log";
    std::ofstream(folder / "game.ini") << "[Sound]\nDelayTime=250\nDirectSound=0\n";
    TSoundSettings saved = SoundSettings;

    TFormView view(host, TGameStartup{{folder.string()}, (folder / "mobuplay").string()});
    view.SetProjectFactory([this](const TGameStartup&) {
        QuitRequested = false;
        return std::make_unique<TFakeProject>(log);
    });
    view.SetSeed(4242);
    view.FormCreate();
    EXPECT_FALSE(fs::exists(folder / "mobuplay.log"));
    EXPECT_EQ(SoundSettings.DelayTime, 200);
    EXPECT_FALSE(SoundSettings.DirectSound);
    EXPECT_EQ(ProcessRandomSeed(), 4242u);
    // The script's Random follows the seed: the same seed gives the same numbers.
    std::vector<int32_t> first;
    for (int i = 0; i < 8; ++i) first.push_back(ScriptRandom(1000));
    SeedScriptRandom(4242);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ScriptRandom(1000), first[i]);

    SoundSettings = saved;
    fs::remove_all(folder);
}

TEST_F(FormViewTest, StartUpFailureIsShownAndClosesTheWindow)
{
    auto view = std::make_unique<TFormView>(host, TGameStartup{{"game"}, "/nonexistent/mobuplay"});
    view->SetProjectFactory([](const TGameStartup&) -> std::unique_ptr<TProjectLink> {
        throw EMobuError(SysText(u8"このバージョンには対応していません"));
    });
    view->FormCreate();
    EXPECT_TRUE(view->StartupFailed());
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(host.close_posts, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SysText(u8"このバージョンには対応していません"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Warning);
    view->DoFrame();  // no project: nothing happens
    EXPECT_EQ(host.presents, 0);
}

TEST_F(FormViewTest, TheFrameOfAGameLoadIsNotDrawn)
{
    auto view = MakeView();
    view->FormCreate();
    view->DoFrame();
    EXPECT_EQ(log, (std::vector<std::string>{"run", "saveload"}));
    EXPECT_EQ(host.presents, 1);
    EXPECT_EQ(host.last_width, 640);
    EXPECT_EQ(host.last_height, 480);
    project->load_next = true;
    view->DoFrame();
    EXPECT_EQ(host.presents, 1);
    view->DoFrame();
    EXPECT_EQ(host.presents, 2);

    QuitRequested = true;  // the script asked to stop: nothing after the run
    log.clear();
    view->DoFrame();
    EXPECT_EQ(log, (std::vector<std::string>{"run"}));
    EXPECT_EQ(host.presents, 2);
}

TEST_F(FormViewTest, ConfirmExitAsksInTheUsersLanguage)
{
    auto view = MakeView();
    view->FormCreate();
    const char* saved = std::getenv("LANG");
    std::string saved_lang = saved ? saved : "";
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");

    setenv("LANG", "en_US.UTF-8", 1);
    answer = MessageResult::No;
    view->ConfirmExit();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Do you want to exit " + SysText(u8"デモ") + "?");
    EXPECT_EQ(boxes[0].caption, SysText(u8"デモ"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(QuitRequested);  // No restores it
    EXPECT_EQ(host.close_posts, 0);

    setenv("LANG", "ja_JP.UTF-8", 1);
    answer = MessageResult::Yes;
    view->ConfirmExit();
    EXPECT_EQ(boxes[1].text, SysText(u8"「デモ」を終了しますか？"));
    EXPECT_EQ(host.close_posts, 1);
    EXPECT_TRUE(QuitRequested);

    setenv("LC_ALL", "C", 1);  // LC_ALL wins over LANG
    EXPECT_FALSE(UserLocaleIsJapanese());
    unsetenv("LC_ALL");
    if (saved) setenv("LANG", saved_lang.c_str(), 1);
    else unsetenv("LANG");
}

TEST_F(FormViewTest, KeysCountOnlyWhenActiveAndNotRepeated)
{
    auto view = MakeView();
    view->SetScreenBases(std::make_unique<TBlankScreenBases>());  // records what the shell routes
    view->FormCreate();
    auto* bases = static_cast<TBlankScreenBases*>(view->Bases());
    view->WindowKeyDown(0x41, false);
    EXPECT_FALSE(bases->key_down[0x41]);  // not active yet
    view->Activate();
    EXPECT_EQ(LastTickMs, 777u);
    view->WindowKeyDown(0x41, false);
    EXPECT_TRUE(bases->key_down[0x41]);
    EXPECT_TRUE(bases->key_clicked[0x41]);
    bases->UpdateInput();
    view->WindowKeyDown(0x41, true);  // auto-repeat does not press again
    EXPECT_FALSE(bases->key_clicked[0x41]);
    view->WindowKeyUp(0x41);
    EXPECT_FALSE(bases->key_down[0x41]);

    view->PanelMouseDown(TMouseButton::Left);
    EXPECT_TRUE(bases->left_held);
    view->PanelMouseDown(TMouseButton::Middle);  // a middle press clears both held flags
    EXPECT_FALSE(bases->left_held);
    EXPECT_FALSE(bases->right_held);
    view->PanelMouseMove(12, 34);
    EXPECT_EQ(bases->mouse_x, 12);
    EXPECT_EQ(bases->mouse_y, 34);
    view->SetCursorX(100);  // no real cursor here: the bases get the new position at once
    EXPECT_EQ(bases->mouse_x, 100);
    EXPECT_EQ(bases->mouse_y, 34);
    view->SetCursorY(7);
    EXPECT_EQ(bases->mouse_x, 100);
    EXPECT_EQ(bases->mouse_y, 7);
}

TEST_F(FormViewTest, DeactivationPausesOnlyWhenTheProjectAsks)
{
    struct TNullClock : TFrameClock {
        uint32_t NowMs() override { return 0; }
        void WaitMs(uint32_t) override {}
    } clock;
    TFrameLoop loop(clock, nullptr);
    for (bool pause : {false, true}) {
        auto view = MakeView(true, pause);
        view->AttachLoop(&loop);
        view->FormCreate();
        view->Activate();
        view->Deactivate();
        EXPECT_EQ(view->Active(), !pause);
        EXPECT_EQ(loop.Suspended(), pause);
        view->Activate();
        EXPECT_TRUE(view->Active());
        EXPECT_FALSE(loop.Suspended());
        view->AttachLoop(nullptr);
    }
}

}  // namespace
}  // namespace mobu
