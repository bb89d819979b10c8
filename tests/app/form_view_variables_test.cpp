#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/form_view.h"
#include "core/globals.h"
#include "core/mobu_error.h"
#include "expr/param_man.h"
#include "platform/message_box.h"

namespace mobu {
namespace {

class TQuietHost : public TViewHost {
public:
    void SetCaption(const std::string&) override {}
    void ApplyLayout(const TViewLayout&, bool) override {}
    void PostClose() override {}
    void Present(const FrameBuffer&) override {}
    bool SwitchFullScreen(bool) override { return false; }
    uint32_t NowMs() override { return 0; }
};

class TTinyProject : public TProjectLink {
public:
    std::string Title() const override { return "t"; }
    int32_t ScreenWidth() const override { return 64; }
    int32_t ScreenHeight() const override { return 48; }
    bool ShowToolbar() const override { return false; }
    bool PauseWhenInactive() const override { return false; }
    void Run() override {}
    bool ProcessPendingSaveLoad() override { return false; }
};

TEST(FormViewVariables, TheTableExistsBeforeTheProjectAndIsFreedAfterIt)
{
    QuitRequested = false;
    auto previous = SetMessageBoxPresenter([](const MessageBoxRequest&) { return MessageResult::Ok; });
    TQuietHost host;
    TParamCollection* seen_by_project = nullptr;
    {
        TFormView view(host, TGameStartup{{"game"}, "/nonexistent/mobuplay"});
        view.SetProjectFactory([&](const TGameStartup&) {
            seen_by_project = ParamMan;
            return std::make_unique<TTinyProject>();
        });
        view.FormCreate();
        ASSERT_NE(view.Variables(), nullptr);
        EXPECT_EQ(seen_by_project, view.Variables());
        EXPECT_EQ(view.Variables()->Count(), 51);
        view.FormClose();
        EXPECT_EQ(view.Variables(), nullptr);
        EXPECT_EQ(ParamMan, nullptr);
    }
    SetMessageBoxPresenter(previous);
    QuitRequested = false;
}

TEST(FormViewVariables, DumpVarsOption)
{
    TCommandLine line = ParseCommandLine({"--headless", "--dump-vars", "vars.json", "game"});
    EXPECT_EQ(line.headless_options.dump_vars, "vars.json");
    EXPECT_NE(HelpText().find("--dump-vars FILE"), std::string::npos);
}

TEST(FormViewVariables, DumpTablesOption)
{
    TCommandLine line = ParseCommandLine({"--headless", "--dump-tables", "tables.json", "game"});
    EXPECT_EQ(line.headless_options.dump_tables, "tables.json");
    EXPECT_NE(HelpText().find("--dump-tables FILE"), std::string::npos);
    EXPECT_THROW(ParseCommandLine({"--dump-tables", "tables.json", "game"}), EMobuError);  // headless only
}

}  // namespace
}  // namespace mobu
