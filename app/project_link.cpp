#include "app/project_link.h"

#include "core/globals.h"
#include "platform/real_files.h"
#include "platform/script_log_files.h"
#include "script/project.h"

namespace mobu {
namespace {

// The shell's view of the running project.
class TProjectLinkOfProject : public TProjectLink {
public:
    explicit TProjectLinkOfProject(std::unique_ptr<TProject> project) : project_(std::move(project))
    {
        // The script log of the game: "mobuplay.log" beside save.dat, kept across runs.
        try {
            const std::string save_file = project_->SaveFileName();
            if (!save_file.empty()) log_ = std::make_unique<TScriptLogFile>(RealFolderOf(save_file) + kScriptLogName, false);
        } catch (const std::exception&) {
            // No save folder, no log file: the game runs all the same.
        }
    }
    ~TProjectLinkOfProject() override
    {
        project_.reset();  // the exit page still logs
        log_.reset();
    }

    std::string Title() const override { return project_->Title(); }
    int32_t ScreenWidth() const override { return project_->ScreenWidth(); }
    int32_t ScreenHeight() const override { return project_->ScreenHeight(); }
    bool ShowToolbar() const override { return project_->ShowToolbar(); }
    bool PauseWhenInactive() const override { return project_->PauseWhenInactive(); }
    void Run() override { project_->Run(); }
    bool ProcessPendingSaveLoad() override { return project_->ProcessPendingSaveLoad(); }

private:
    static constexpr const char* kScriptLogName = "mobuplay.log";
    std::unique_ptr<TScriptLogFile> log_;
    std::unique_ptr<TProject> project_;
};

}  // namespace

std::unique_ptr<TProjectLink> CreateProjectLink(const TGameStartup& startup)
{
    auto project = std::make_unique<TProject>(TProjectStartup{startup.arguments, startup.executable_path});
    project->Create();
    if (QuitRequested) return nullptr;  // the project ran its shutdown as it was freed
    return std::make_unique<TProjectLinkOfProject>(std::move(project));
}

}  // namespace mobu
