#include "components/mobu_motion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "components/film_motion.h"
#include "components/mobu_object.h"
#include "components/property_ids.h"

namespace mobu {
namespace {

TMotionFilmFactory& Factory()
{
    static TMotionFilmFactory factory;
    return factory;
}

// Nearest integer, halves to the even neighbour, held inside the 32-bit range.
int32_t RoundToInt(double value)
{
    double r = std::nearbyint(value);
    if (!(r >= -2147483648.0)) return std::numeric_limits<int32_t>::min();
    if (r > 2147483647.0) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

}  // namespace

void SetMotionFilmFactory(TMotionFilmFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<TMotionFilm> MakeMotionFilm(TMobuControl& target, const std::string& path)
{
    if (!Factory()) return MakeFilmMotion(target, path);
    return Factory()(target, path);
}

TMobuMotion::TMobuMotion(TMobuControl& control, std::unique_ptr<TMotionFilm> film)
    : control_(control), film_(std::move(film))
{
}

void TMobuMotion::Restart()
{
    ElapsedMs = 0;
    StartupTicks = kStartupTicks;
    Finished = false;
    CurrentFrame = 0;
}

void TMobuMotion::JumpToFrame(int32_t frame)
{
    ElapsedMs = RoundToInt(frame * kFrameMs);
    Finished = false;
}

bool TMobuMotion::Tick(int32_t elapsed_ms)
{
    TMotionFilm& film = *film_;
    const bool first_tick = StartupTicks == kStartupTicks;
    bool reapply = false;

    // The script moved the control: the film follows it from where it is now.
    if (StartupTicks < 1 && film.RelativePositions() && (control_.Left != LastX || control_.Top != LastY)) {
        film.SetOrigin(control_.Left, control_.Top);
        Finished = false;
        reapply = true;
    }
    if (Finished) return false;

    if (first_tick) {
        if (film.RelativePositions()) film.SetOrigin(control_.Left, control_.Top);
        else film.SetOrigin(0, 0);
        film.SetPriority(control_.Priority());
        LastX = control_.Left;
        LastY = control_.Top;
    }

    if (StartupTicks < 1 && !control_.AniPaused)
        ElapsedMs = static_cast<int32_t>(static_cast<uint32_t>(ElapsedMs) + static_cast<uint32_t>(elapsed_ms));
    CurrentFrame = RoundToInt(ElapsedMs / kFrameMs);

    const int32_t count = film.FrameCount();
    if (CurrentFrame >= count) {
        // An empty film has nothing to loop over: it ends at once, repeating or not.
        if (count >= 1 && control_.GetProp(PR_REPEAT).AsFlag()) {
            int64_t frame = int64_t{CurrentFrame} % count + film.LoopStartFrame();
            CurrentFrame = static_cast<int32_t>(std::min<int64_t>(frame, count - 1));
            ElapsedMs = RoundToInt(CurrentFrame * kFrameMs);
        } else {
            CurrentFrame = count >= 1 ? count - 1 : -1;
            Finished = true;
            // A tick that steps over the last frame still shows it: the film ends on its end
            // values, not on whichever frame the previous tick happened to show.
            if (count >= 1 && film.CurrentFrame() != CurrentFrame) film.ApplyFrame(CurrentFrame);
            return true;
        }
    }

    if (first_tick || CurrentFrame != film.CurrentFrame() || reapply) film.ApplyFrame(CurrentFrame);

    if (StartupTicks > 0) --StartupTicks;
    LastX = control_.Left;
    LastY = control_.Top;
    return false;
}

}  // namespace mobu
