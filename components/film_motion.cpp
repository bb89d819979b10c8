#include "components/film_motion.h"

#include "core/script_log.h"
#include "components/film_crop.h"
#include "components/film_files.h"
#include "components/mobu_box.h"
#include "components/mobu_image.h"
#include "components/property_ids.h"

namespace mobu {
namespace {

// Writes a property only when it changes: a write restarts some of them (the afterimage
// clock), and a film writes every frame.
void SetChanged(TMobuControl& target, int id, int32_t value)
{
    if (target.GetProp(id).AsInt() != value) target.SetProp(id, TPropValue::Int(value));
}

}  // namespace

TFilmMotion::TFilmMotion(TMobuControl& target, std::shared_ptr<const TFilmData> film)
    : target_(target), manager_(std::move(film))
{
}

void TFilmMotion::SetOrigin(int32_t x, int32_t y)
{
    manager_.TargetX = x;
    manager_.TargetY = y;
}

void TFilmMotion::ApplyFrame(int32_t frame)
{
    current_ = frame;
    manager_.Time = frame;
    for (int i = 0; i < manager_.TrackCount(); ++i) {
        const TCustomFrameList& track = manager_.Track(i);
        switch (track.Kind()) {
            case FK_IMAGE:
            case FK_TILE:
            case FK_LABEL: ApplyImage(static_cast<const TCustomImageFrameList&>(track), frame); break;
            case FK_BOX: ApplyBox(static_cast<const TBoxFrameList&>(track), frame); break;
            default:
                // Transitions, sounds, particles and fire play in cinemas; a control's own film
                // cannot show them.
                if (!told_kinds_) {
                    told_kinds_ = true;
                    ReportNotAvailable(std::string("motion ") + FrameListKindName(track.Kind()) + " track");
                }
                break;
        }
    }
}

// Components are ordered by Priority + PriorityOffset: the track's priority is taken
// relative to the control's own.
void TFilmMotion::ApplyCommon(const TCustomFrameList& track)
{
    target_.SetPriorityOffset(track.Priority);
    SetChanged(target_, PR_FLIPH, track.FlipH != 0);
    SetChanged(target_, PR_FLIPV, track.FlipV != 0);
}

void TFilmMotion::ApplyImage(const TCustomImageFrameList& track, int32_t t)
{
    TImageTrackState s = manager_.ImageAt(track, t);
    if (!s.Active) return;
    if (track.Kind() == FK_LABEL) {
        ReportNotAvailable("motion label track");
    } else if (auto* images = dynamic_cast<TMobuImages*>(&target_)) {
        const auto& picture = static_cast<const TImageFrameList&>(track);
        if (picture.PictureFound && shown_picture_ != picture.ResolvedPath) {
            shown_picture_ = picture.ResolvedPath;
            images->Lists[0]->Fill(images, picture.ResolvedPath, true, false);
            images->SetIndex(-1);
        }
        if (s.Frame >= 0 && s.Frame != images->Index()) images->SetIndex(s.Frame);
    }
    target_.SetMotionPosition(s.DrawX, s.DrawY);
    SetChanged(target_, PR_ZOOMX, s.ZoomX);
    SetChanged(target_, PR_ZOOMY, s.ZoomY);
    SetChanged(target_, PR_ANGLE, s.Angle);
    SetChanged(target_, PR_ALPHA, s.Alpha);
    SetChanged(target_, PR_BLURSPAN, s.A);
    SetChanged(target_, PR_BLURDELAY, s.B);
    if (track.Kind() == FK_TILE) {
        SetChanged(target_, PR_SCROLLX, s.ScrollX);
        SetChanged(target_, PR_SCROLLY, s.ScrollY);
        SetChanged(target_, PR_DISTANCEX, s.DistanceX);
        SetChanged(target_, PR_DISTANCEY, s.DistanceY);
    }
    ApplyFilmCrop(s, [&](int id, int32_t value) { SetChanged(target_, id, value); });
    ApplyCommon(track);
}

void TFilmMotion::ApplyBox(const TBoxFrameList& track, int32_t t)
{
    TBoxTrackState s = manager_.BoxAt(track, t);
    if (!s.Active) return;
    target_.SetMotionPosition(s.X, s.Y);
    SetChanged(target_, PR_WIDTH, s.Width);
    SetChanged(target_, PR_HEIGHT, s.Height);
    SetChanged(target_, PR_COLOR, s.Color);
    SetChanged(target_, PR_BORDERCOLOR, s.BorderColor);
    SetChanged(target_, PR_BORDERWIDTH, s.BorderWidth);
    SetChanged(target_, PR_ALPHA, s.Alpha);
    SetChanged(target_, PR_BLURSPAN, s.A);
    SetChanged(target_, PR_BLURDELAY, s.B);
    ApplyFilmCrop(s, [&](int id, int32_t value) { SetChanged(target_, id, value); });
    ApplyCommon(track);
}

std::unique_ptr<TMotionFilm> MakeFilmMotion(TMobuControl& target, const std::string& path)
{
    std::shared_ptr<const TFilmData> film = LoadFilm(path);
    if (!film) return nullptr;
    return std::make_unique<TFilmMotion>(target, std::move(film));
}

}  // namespace mobu
