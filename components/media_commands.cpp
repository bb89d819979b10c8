#include "components/media_commands.h"

#include "core/mobu_error.h"
#include "components/base_list_call_components.h"
#include "components/game_files.h"
#include "components/media_play_state.h"
#include "components/mobu_base_list.h"
#include "script/command.h"

namespace mobu {
namespace {

// CD tracks are named "CD_n" and are not game files.
bool MediaFileExists(const std::string& source) { return source.rfind("CD_", 0) == 0 || GameFileExists(source); }

}  // namespace

TMobuObject* StopMedia(TMobuBaseList& list, const std::string& name, int32_t fade_ms)
{
    TMobuObject* target = name.empty() ? nullptr : list.FindComponent(name);
    auto* media = dynamic_cast<TMediaPlayState*>(target);
    if (!media) return nullptr;
    if (fade_ms > 0) {
        if (!MediaFileExists(media->MediaSource()) || !media->MediaPlaying()) return nullptr;
        media->SetFadeTime(fade_ms);
        target->SetPlayMode(LP_STOPFADE);
        return list.IsRegistered(target) && !list.IsDoomed(target) ? target : nullptr;
    }
    target->SetPlayMode(LP_STOP);
    list.Doom(target);
    return nullptr;
}

void RunMediaPlay(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    const std::string name = EvalString(calls, command.Expr(0));
    TMobuObject* target = name.empty() ? nullptr : list.FindComponent(name);
    auto* media = dynamic_cast<TMediaPlayState*>(target);
    if (!media) return;
    target->SetProp(PR_PAUSED, TPropValue::Flag(false));
    if (media->PlayState() == LP_STOP || media->PlayFinished()) target->SetPlayMode(LP_PLAYFADE);
}

TMobuObject* TBaseListCallComponents::StopMedia(const std::string& name, int32_t fade_ms)
{
    return mobu::StopMedia(list_, name, fade_ms);
}

}  // namespace mobu
