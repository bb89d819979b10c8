#include "components/mobu_cinema.h"

#include <algorithm>
#include <cmath>

#include "core/globals.h"
#include "components/game_files.h"
#include "components/mobu_base_list.h"

namespace mobu {
namespace {

TRect Moved(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

int32_t Clamped(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

TMobuCinema::TMobuCinema(TMobuBaseList* owner)
    : TMobuControl(owner, LT_CINEMA), private_list_(std::make_unique<TMobuBaseList>())
{
}

TMobuCinema::~TMobuCinema() { FreeFilm(); }

void TMobuCinema::FreeFilm()
{
    if (film_) film_->Clear();
    film_.reset();
    private_ = false;
}

double TMobuCinema::UnitMs() const { return 1000.0 / (Fps > 0 ? Fps : kDefaultFps); }

void TMobuCinema::LoadFilm(const std::string& source)
{
    Source = source;
    if (!GameFileExists(source)) return;
    FreeFilm();
    std::unique_ptr<TCinemaFilm> film = MakeCinemaFilm();
    if (!film || !film->Load(source, Volume)) return;
    film_ = std::move(film);
    private_ = film_->PlaysPrivately();
    Invalidate();
    if (private_) {
        private_list_->SetSize(std::max(Width, 1), std::max(Height, 1));
        film_->Start(*private_list_);
        SetBounds(Left, Top, private_list_->ScreenWidth(), private_list_->ScreenHeight());
        private_list_->UpdatePass();
    } else if (owner_) {
        film_->Start(*owner_);
        if (film_->ScreenWidth() > 0 && film_->ScreenHeight() > 0)
            SetBounds(Left, Top, film_->ScreenWidth(), film_->ScreenHeight());
    }
    ElapsedMs = 0;
    Ended = false;
    SeekCountdown = 2;
    Invalidate();
}

void TMobuCinema::SetIndex(int32_t index)
{
    ElapsedMs = Clamped(int64_t{index} * 1000 / (Fps > 0 ? Fps : kDefaultFps));
    Ended = false;
    SeekCountdown = 2;
}

bool TMobuCinema::Update()
{
    if (TMobuControl::Update()) return true;
    if (!film_) return false;
    const bool paused = CinemaPaused;
    film_->SetPlaying(!paused && !AniPaused);
    if (!paused) {
        if (!Ended && !AniPaused && SeekCountdown < 1) ElapsedMs = Clamped(int64_t{ElapsedMs} + FrameDeltaMs);
        const double unit = UnitMs();
        int64_t t = std::llround(ElapsedMs / unit);
        const int32_t length = film_->TotalLength();
        if (t >= length) {
            if (!Repeat || length <= 0) {
                // A film of length 0 is at its end at once, repeating or not.
                if (AutoScrap) return true;
                if (!Ended) {
                    Ended = true;
                    PostEvent(PR_ONPLAYEND);
                }
                t = length - 1;
            } else {
                t = std::min<int64_t>(t % length + film_->LoopStart(), length - 1);
                ElapsedMs = Clamped(std::llround(static_cast<double>(t) * unit));
            }
        }
        if (t >= 0 && (SeekCountdown == 2 || t != film_->Time())) film_->SetTime(static_cast<int32_t>(t));
        if (SeekCountdown > 0) --SeekCountdown;
    }
    if (!private_) return false;
    private_list_->UpdatePass();
    TMobuBase* base = GetBase();
    if (!base) return false;
    if (private_list_->TransitionRunning()) {
        Invalidate();
    } else {
        const int32_t x = GetAbsLeft(), y = GetAbsTop();
        for (const TRect& rect : private_list_->ActiveBase()->DirtyList.Rects()) base->AddDirtyRect(Moved(rect, x, y));
    }
    return false;
}

void TMobuCinema::Draw(TCustomDIBX& surface)
{
    if (private_) {
        const int32_t x = GetAbsLeft(), y = GetAbsTop();
        const TRect clip = surface.GetClipRect();
        const TRect inside = IntersectRects(Moved(clip, -x, -y), TRect{0, 0, private_list_->ScreenWidth(), private_list_->ScreenHeight()});
        if (!inside.IsEmpty()) private_list_->ActiveBase()->AddDirtyRect(inside);
        private_list_->DrawPass();
        TDIBX& picture = private_list_->FrameSurface();
        for (const TRect& rect : private_list_->FrameDirtyRects()) {
            const TRect part = IntersectRects(rect, inside);
            if (part.IsEmpty()) continue;
            surface.Draw(part.Left + x, part.Top + y, picture, part, false, false, false);
        }
        private_list_->ClearDirty();
    }
    DrawChildren(surface);
}

TMobuControl* TMobuCinema::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (!GetVisible()) return nullptr;
    const TRect r = GetBoundsRect();
    if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return nullptr;
    TMobuControl* candidate = IgnoreMouse <= IM_RCLICK && ((mask >> IgnoreMouse) & 1u) ? this : nullptr;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        const std::string& name = (*it)->Name();
        if (name.empty() || name[0] == '\x01') continue;
        if (TMobuControl* hit = (*it)->HitTest(x, y, mask)) return hit;
    }
    return candidate;
}

TPropValue TMobuCinema::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_PAUSED: return TPropValue::Flag(CinemaPaused);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_VOLUME: return TPropValue::Int(Volume);
        case PR_INDEX: return TPropValue::Int(film_ ? film_->Time() : 0);
        case PR_COUNT: return TPropValue::Int(film_ ? film_->TotalLength() : 0);
        case PR_PLAYING: return TPropValue::Flag(film_ && !Ended && !CinemaPaused && !AniPaused);
        case PR_ONPLAYEND: return TPropValue::Text(OnPlayEnd);
        case PR_ONIDLE: return TPropValue::Text(OnIdle);
        case PR_REWINDONLOAD: return TPropValue::Flag(RewindOnLoad);
        case PR_MUTEONLOAD: return TPropValue::Flag(MuteOnLoad);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuCinema::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: LoadFilm(value.AsText()); return;
        case PR_REPEAT: Repeat = value.AsFlag(); return;
        case PR_PAUSED:
            CinemaPaused = value.AsFlag();
            if (film_) film_->SetPlaying(!CinemaPaused && !AniPaused);
            return;
        case PR_AUTOSCRAP: AutoScrap = value.AsFlag(); return;
        case PR_VOLUME:
            Volume = std::max(value.AsInt(), 0);
            if (film_) film_->SetVolume(Volume);
            return;
        case PR_INDEX: SetIndex(value.AsInt()); return;
        case PR_ONPLAYEND: OnPlayEnd = value.AsText(); return;
        case PR_ONIDLE: OnIdle = value.AsText(); return;
        case PR_REWINDONLOAD: RewindOnLoad = value.AsFlag(); return;
        case PR_MUTEONLOAD: MuteOnLoad = value.AsFlag(); return;
        case PR_WIDTH:
        case PR_HEIGHT:
            TMobuControl::WriteProperty(id, value);
            private_list_->SetSize(std::max(Width, 1), std::max(Height, 1));
            return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuCinema::SaveTypePart(ByteWriter& out)
{
    out.String(Source);
    out.Flag(Repeat);
    out.Flag(CinemaPaused);
    out.Flag(AutoScrap);
    out.String(OnPlayEnd);
    out.String(OnIdle);
    out.I32(film_ ? film_->Time() : 0);
    out.Flag(RewindOnLoad);
    out.I32(Volume);
    out.Flag(MuteOnLoad);
    out.Flag(Ended);
}

void TMobuCinema::LoadTypePart(ByteReader& in, int version)
{
    const std::string source = in.String();
    Repeat = in.Flag();
    CinemaPaused = in.Flag();
    AutoScrap = in.Flag();
    OnPlayEnd = in.String();
    OnIdle = version > 103 ? in.String() : std::string();
    int32_t time = 0;
    if (version > 116) {
        time = in.I32();
        RewindOnLoad = in.Flag();
    }
    Volume = std::max(in.I32(), 0);
    MuteOnLoad = version > 128 ? in.Flag() : false;
    const bool ended = in.Flag();
    if (MuteOnLoad) Volume = 0;
    LoadFilm(source);
    if (time > 0 && !RewindOnLoad) SetIndex(time);
    Ended = ended;
}

}  // namespace mobu
