#include "app/project_link.h"

#include "script/project.h"

namespace mobu {
namespace {

class TRunningProject : public TProjectLink {
public:
    explicit TRunningProject(std::unique_ptr<TProject> project) : project_(std::move(project)) {}
    std::string Title() const override { return project_->Title(); }
    int32_t ScreenWidth() const override { return project_->ScreenWidth(); }
    int32_t ScreenHeight() const override { return project_->ScreenHeight(); }
    bool ShowToolbar() const override { return project_->ShowToolbar(); }
    bool PauseWhenInactive() const override { return project_->PauseWhenInactive(); }
    void Run() override { project_->Run(); }
    bool ProcessPendingSaveLoad() override { return project_->ProcessPendingSaveLoad(); }

private:
    std::unique_ptr<TProject> project_;
};

}  // namespace

std::unique_ptr<TProjectLink> CreateProjectLink(const TGameStartup& startup)
{
    // A failure that raises frees the half-made project on the way out, as a constructor
    // that fails would; a stop the project reported itself leaves it in place with
    // QuitRequested set, and the window closes.
    auto project = std::make_unique<TProject>(TProjectStartup{startup.arguments, startup.executable_path});
    project->Create();
    return std::make_unique<TRunningProject>(std::move(project));
}

}  // namespace mobu
