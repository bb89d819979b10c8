#include "components/wipe_transition.h"

#include "components/game_files.h"
#include "core/script_log.h"
#include "graphics/wipes/wipe_shadows.h"
#include "graphics/wipes/wipe_table.h"
#include "script/project.h"

namespace mobu {
namespace {

class TWipeTransition : public TBaseTransition {
public:
    explicit TWipeTransition(std::unique_ptr<TCustomWipe> wipe) : wipe_(std::move(wipe)) {}

    void SetParam(int index, int32_t value) override { wipe_->SetParam(index, value); }
    void SetMaskName(const std::string& name) override { wipe_->SetMaskName(name); }
    void Prepare() override { wipe_->Prepare(); }
    void SetPosition(int32_t position) override { wipe_->Position = position; }
    int32_t Duration() const override { return wipe_->Duration; }
    TRect TargetRect() const override { return wipe_->Target ? wipe_->Target->SurfaceRect() : TRect{}; }
    bool Step() override { return wipe_->Step(); }

private:
    std::unique_ptr<TCustomWipe> wipe_;
};

// Mask pictures are game files, read as the image cache reads pictures.
bool LoadGameMask(const std::string& name, TWipeMaskPlane& levels)
{
    std::optional<std::string> bytes = ReadGameFile(name);
    if (!bytes) return false;
    TProject* project = Project();
    try {
        return WipeMaskFromBytes(*bytes, project ? project->IdentCode() : 0, levels);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::unique_ptr<TBaseTransition> WipeTransitionFactory(int id, TCustomDIBX& target, TCustomDIBX& from,
                                                       TCustomDIBX& to, bool reverse, int32_t duration)
{
    static const bool installed = [] {
        SetWipeMaskLoader(LoadGameMask);
        return true;
    }();
    (void)installed;
    std::unique_ptr<TCustomWipe> wipe = CreateWipe(id, &target, &from, &to);
    if (!wipe) return nullptr;
    wipe->Duration = duration;
    wipe->SetReverse(reverse ? 1 : 0);
    return std::make_unique<TWipeTransition>(std::move(wipe));
}

void ReportMissingTransition(int id)
{
    const TWipeKind* kind = FindWipeKind(id);
    if (!kind || id == 0) return;
    ReportNotAvailable(kind->Name);  // the screens switch without it
}

}  // namespace mobu
