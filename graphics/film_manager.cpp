#include "graphics/film_manager.h"

#include <algorithm>

#include "graphics/film_easing.h"

namespace mobu {
namespace {

int32_t Span(const TCustomFrameList& t) { return std::max(0, t.Length); }

// An alpha of 0 stands for opaque.
int32_t OpaqueZero(int32_t alpha) { return alpha == 0 ? 255 : alpha; }

struct TCropResult {
    bool Whole = true;
    int32_t X = 0, Y = 0, W = 0, H = 0;
};

TCropResult CropAt(const TCropBlock& c, int64_t d, int64_t steps)
{
    TCropResult r;
    r.X = EaseValue(c.OriginStart.X, c.OriginEnd.X, d, steps, c.EaseOrigin);
    r.Y = EaseValue(c.OriginStart.Y, c.OriginEnd.Y, d, steps, c.EaseOrigin);
    r.W = EaseValue(c.SizeStart.X, c.SizeEnd.X, d, steps, c.EaseSize);
    r.H = EaseValue(c.SizeStart.Y, c.SizeEnd.Y, d, steps, c.EaseSize);
    r.Whole = r.W < 1 || r.H < 1;
    return r;
}

}  // namespace

void TFilmManager::SetFilm(std::shared_ptr<const TFilmData> film)
{
    Clear();
    film_ = std::move(film);
}

void TFilmManager::Clear()
{
    film_.reset();
    Time = 0;
    CurrentWipe = -1;
    EndedWipes = 0;
}

bool TFilmManager::IsActive(const TCustomFrameList& track, int32_t t)
{
    return t >= track.EffectiveStart && int64_t{t} < int64_t{track.EffectiveStart} + Span(track);
}

int32_t TFilmManager::FrameAt(const TCustomFrameList& track, int32_t t)
{
    if (track.Frames.empty()) return -1;
    int64_t a = (int64_t{t} - track.EffectiveStart) % std::max<int64_t>(1, track.LoopLength);
    if (a < 0) a = 0;
    const int32_t last = static_cast<int32_t>(track.Frames.size()) - 1;
    for (int32_t i = 0; i <= last; ++i) {
        a -= track.Frames[static_cast<size_t>(i)].Duration;
        if (a < 0) return i;
    }
    return last;
}

int64_t TFilmManager::Steps(const TCustomFrameList& track) { return int64_t{Span(track)} + (track.Followed ? 1 : 0); }

void TFilmManager::UpdateWipes(int32_t t)
{
    CurrentWipe = -1;
    EndedWipes = 0;
    for (int i = 0; i < TrackCount(); ++i) {
        const TCustomFrameList& track = Track(i);
        if (track.Kind() != FK_WIPE) continue;
        if (IsActive(track, t) && CurrentWipe < 0) CurrentWipe = i;
        if (int64_t{t} >= int64_t{track.EffectiveStart} + Span(track) - 1) ++EndedWipes;
    }
}

TImageTrackState TFilmManager::ImageAt(const TCustomImageFrameList& track, int32_t t) const
{
    TImageTrackState s;
    if (!IsActive(track, t)) return s;
    s.Active = true;
    const TImageRecord& r = track.Live;
    const int64_t d = int64_t{t} - track.EffectiveStart, c = Steps(track);
    s.Frame = FrameAt(track, t);
    s.X = ClampToInt32(int64_t{EaseValue(r.PosStart.X, r.PosEnd.X, d, c, r.EaseX)} + ShiftX());
    s.Y = ClampToInt32(int64_t{EaseValue(r.PosStart.Y, r.PosEnd.Y, d, c, r.EaseY)} + ShiftY());
    int32_t offset_x = 0, offset_y = 0;
    if (s.Frame >= 0) {
        offset_x = track.Frames[static_cast<size_t>(s.Frame)].OffsetX;
        offset_y = track.Frames[static_cast<size_t>(s.Frame)].OffsetY;
    }
    s.DrawX = ClampToInt32(int64_t{r.Base.X} - offset_x + s.X);
    s.DrawY = ClampToInt32(int64_t{r.Base.Y} - offset_y + s.Y);
    s.ZoomX = EaseValue(ZoomToFixed(r.ZoomXStart), ZoomToFixed(r.ZoomXEnd), d, c, r.EaseZoomX);
    s.ZoomY = EaseValue(ZoomToFixed(r.ZoomYStart), ZoomToFixed(r.ZoomYEnd), d, c, r.EaseZoomY);
    s.Angle = DegreesToTurn(EaseValue(r.AngleStart, r.AngleEnd, d, c, r.EaseAngle));
    s.Alpha = EaseValue(OpaqueZero(r.AlphaStart), OpaqueZero(r.AlphaEnd), d, c, 0);
    TCropResult crop = CropAt(r.Crop, d, c);
    s.WholeFrame = crop.Whole, s.CropX = crop.X, s.CropY = crop.Y, s.CropW = crop.W, s.CropH = crop.H;
    s.A = EaseValue(r.AStart, r.AEnd, d, c, 0);
    s.B = EaseValue(r.BStart, r.BEnd, d, c, 0);
    if (track.Kind() == FK_TILE) {
        const TTileRecord& tr = static_cast<const TTileFrameList&>(track).LiveTile;
        s.TileW = EaseValue(tr.TileWStart, tr.TileWEnd, d, c, 0);
        s.TileH = EaseValue(tr.TileHStart, tr.TileHEnd, d, c, 0);
        s.ScrollX = EaseValue(tr.ScrollXStart, tr.ScrollXEnd, d, c, tr.EaseScrollX);
        s.ScrollY = EaseValue(tr.ScrollYStart, tr.ScrollYEnd, d, c, tr.EaseScrollY);
        s.DistanceX = tr.DistanceX;
        s.DistanceY = tr.DistanceY;
    }
    return s;
}

TBoxTrackState TFilmManager::BoxAt(const TBoxFrameList& track, int32_t t) const
{
    TBoxTrackState s;
    if (!IsActive(track, t)) return s;
    s.Active = true;
    const TBoxFrame& r = track.Live;
    const int64_t d = int64_t{t} - track.EffectiveStart, c = Steps(track);
    s.X = ClampToInt32(int64_t{EaseValue(r.PosStart.X, r.PosEnd.X, d, c, r.EaseX)} + ShiftX());
    s.Y = ClampToInt32(int64_t{EaseValue(r.PosStart.Y, r.PosEnd.Y, d, c, r.EaseY)} + ShiftY());
    s.Width = EaseValue(r.WStart, r.WEnd, d, c, 0);
    s.Height = EaseValue(r.HStart, r.HEnd, d, c, 0);
    s.Color = EaseColour(r.ColorStart, r.ColorEnd, d, c);
    // "No border colour" (-1) stays itself at both ends rather than blending into a colour.
    s.BorderColor = r.BorderCStart == -1 && r.BorderCEnd == -1 ? -1 : EaseColour(r.BorderCStart, r.BorderCEnd, d, c);
    s.BorderWidth = EaseValue(r.BorderWStart, r.BorderWEnd, d, c, 0);
    s.Alpha = EaseValue(OpaqueZero(r.AlphaStart), OpaqueZero(r.AlphaEnd), d, c, 0);
    TCropResult crop = CropAt(r.Crop, d, c);
    s.WholeFrame = crop.Whole, s.CropX = crop.X, s.CropY = crop.Y, s.CropW = crop.W, s.CropH = crop.H;
    s.A = EaseValue(r.AStart, r.AEnd, d, c, 0);
    s.B = EaseValue(r.BStart, r.BEnd, d, c, 0);
    return s;
}

TSoundTrackState TFilmManager::SoundAt(const TSoundFrameList& track, int32_t t) const
{
    TSoundTrackState s;
    const int64_t end = std::min<int64_t>(int64_t{track.EffectiveStart} + Span(track), int64_t{TotalLength()} - 1);
    if (t < track.EffectiveStart || t >= end) return s;
    s.Active = true;
    const TSoundRecord& r = track.Live;
    const int64_t d = int64_t{t} - track.EffectiveStart, c = Steps(track);
    s.Volume = ClampToInt32(int64_t{EaseValue(r.VolumeStart, r.VolumeEnd, d, c, r.EaseVolume)} * Volume / 1000);
    s.Pan = EaseValue(r.PanStart, r.PanEnd, d, c, r.EasePan);
    const TCustomFrameList* first = &track;
    while (first->Parent) first = first->Parent;
    s.SeekMs = ClampToInt32((int64_t{t} - first->EffectiveStart) * 1000 / 60);
    return s;
}

TWipeTrackState TFilmManager::WipeAt(const TWipeFrameList& track, int32_t t) const
{
    TWipeTrackState s;
    if (!IsActive(track, t)) return s;
    s.Active = true;
    s.Elapsed = ClampToInt32(int64_t{t} - track.EffectiveStart);
    return s;
}

TParticleTrackState TFilmManager::ParticleAt(const TParticleFrameList& track, int32_t t) const
{
    TParticleTrackState s;
    if (!IsActive(track, t)) return s;
    s.Active = true;
    const TParticleRecord& r = track.Live;
    const int64_t d = int64_t{t} - track.EffectiveStart, c = Steps(track);
    s.X = ClampToInt32(int64_t{EaseValue(r.PosStart.X, r.PosEnd.X, d, c, r.EaseX)} + ShiftX());
    s.Y = ClampToInt32(int64_t{EaseValue(r.PosStart.Y, r.PosEnd.Y, d, c, r.EaseY)} + ShiftY());
    s.Width = EaseValue(r.WStart, r.WEnd, d, c, 0);
    s.Height = EaseValue(r.HStart, r.HEnd, d, c, 0);
    s.Alpha = EaseValue(OpaqueZero(r.AlphaStart), OpaqueZero(r.AlphaEnd), d, c, 0);
    s.XBase = EaseValue(r.XBaseStart, r.XBaseEnd, d, c, r.EaseXBase);
    s.YBase = EaseValue(r.YBaseStart, r.YBaseEnd, d, c, r.EaseYBase);
    s.XRange = EaseValue(r.XRangeStart, r.XRangeEnd, d, c, 0);
    s.YRange = EaseValue(r.YRangeStart, r.YRangeEnd, d, c, 0);
    s.Interval = EaseValue(r.IntervalStart, r.IntervalEnd, d, c, 0);
    s.Spread = EaseValue(r.SpreadStart, r.SpreadEnd, d, c, 0);
    s.DelayBase = ClampToInt32(int64_t{s.Interval} - s.Spread / 2);
    s.DelayRange = s.Spread;
    for (int i = 0; i < 3; ++i) {
        const double b = r.ParamStart[i], e = r.ParamEnd[i];
        s.Params[static_cast<size_t>(i)] = (d <= 0 || c <= 1) ? b : d >= c - 1 ? e : b + (e - b) * static_cast<double>(d) / static_cast<double>(c - 1);
    }
    return s;
}

TFireTrackState TFilmManager::FireAt(const TFireFrameList& track, int32_t t) const
{
    TFireTrackState s;
    if (!IsActive(track, t)) return s;
    s.Active = true;
    const TFireRecord& r = track.Live;
    const int64_t d = int64_t{t} - track.EffectiveStart, c = Steps(track);
    s.X = ClampToInt32(int64_t{EaseValue(r.PosStart.X, r.PosEnd.X, d, c, r.EaseX)} + ShiftX());
    s.Y = ClampToInt32(int64_t{EaseValue(r.PosStart.Y, r.PosEnd.Y, d, c, r.EaseY)} + ShiftY());
    s.Width = EaseValue(r.WStart, r.WEnd, d, c, r.EaseX);
    s.Height = EaseValue(r.HStart, r.HEnd, d, c, r.EaseY);
    s.ZoomX = EaseValue(ZoomToFixed(r.ZoomXStart), ZoomToFixed(r.ZoomXEnd), d, c, r.EaseZoomX);
    s.ZoomY = EaseValue(ZoomToFixed(r.ZoomYStart), ZoomToFixed(r.ZoomYEnd), d, c, r.EaseZoomY);
    s.Power = r.Power;
    TCropResult crop = CropAt(r.Crop, d, c);
    s.WholeFrame = crop.Whole, s.CropX = crop.X, s.CropY = crop.Y, s.CropW = crop.W, s.CropH = crop.H;
    return s;
}

}  // namespace mobu
