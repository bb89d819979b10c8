#include "components/film_cinema.h"

#include <algorithm>
#include <cstdlib>

#include "core/script_log.h"
#include "components/film_crop.h"
#include "components/film_files.h"
#include "components/film_label.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "components/mobu_image.h"
#include "components/mobu_particle.h"
#include "components/property_ids.h"

namespace mobu {
namespace {

TCinemaFilmFactory& Factory()
{
    static TCinemaFilmFactory factory;
    return factory;
}

void SetInt(TMobuObject& object, int id, int32_t value)
{
    if (object.GetProp(id).AsInt() != value) object.SetProp(id, TPropValue::Int(value));
}

int CreationType(int kind)
{
    switch (kind) {
        case FK_IMAGE: return LT_IMAGES;
        case FK_TILE: return LT_TILE;
        case FK_BOX: return LT_BOX;
        case FK_SOUND: return LT_SOUND;
        case FK_PARTICLE: return LT_PARTICLE;
        case FK_FIRE: return LT_FIRE;
        default: return -1;
    }
}

}  // namespace

void SetCinemaFilmFactory(TCinemaFilmFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<TCinemaFilm> MakeCinemaFilm()
{
    if (Factory()) return Factory()();
    return std::make_unique<TFilmCinema>();
}

bool TFilmCinema::Load(const std::string& path, int32_t volume)
{
    Clear();
    std::shared_ptr<const TFilmData> film = LoadFilm(path);
    if (!film) return false;
    manager_.SetFilm(std::move(film));
    manager_.Volume = volume;
    components_.assign(static_cast<size_t>(manager_.TrackCount()), nullptr);
    sounding_.assign(static_cast<size_t>(manager_.TrackCount()), 0);
    return true;
}

bool TFilmCinema::PlaysPrivately() const
{
    if (manager_.BackColor() != -1) return true;
    for (int i = 0; i < manager_.TrackCount(); ++i) {
        const TCustomFrameList& track = manager_.Track(i);
        if (track.Kind() == FK_WIPE || track.OtherBase) return true;
    }
    return false;
}

void TFilmCinema::Start(TMobuBaseList& list)
{
    list_ = &list;
    first_base_ = list.ActiveIndex();
    started_wipe_ = -1;
    has_time_ = false;
    // Only a cinema's own list takes the film's screen: the game's screen stays as it is.
    if (PlaysPrivately()) {
        const TFilmPoint size = manager_.ScreenSize();
        if (size.X > 0 && size.Y > 0) list.SetSize(size.X, size.Y);
        if (manager_.BackColor() != -1)
            for (int b = 0; b < 2; ++b) list.GetBase(b)->Color = manager_.BackColor();
    }
    manager_.Playing = true;
}

TMobuObject* TFilmCinema::ComponentOf(int index)
{
    if (!list_ || index < 0 || index >= static_cast<int>(components_.size())) return nullptr;
    TMobuObject*& slot = components_[static_cast<size_t>(index)];
    // Something else may have freed it (the list cleared): forget it then.
    if (slot && (!list_->IsRegistered(slot) || list_->IsDoomed(slot))) slot = nullptr;
    return slot;
}

TMobuObject* TFilmCinema::Ensure(int index)
{
    if (TMobuObject* existing = ComponentOf(index)) return existing;
    const TCustomFrameList& track = manager_.Track(index);
    const int base_index = (first_base_ ^ (manager_.EndedWipes & 1)) ^ (track.OtherBase ? 1 : 0);
    if (track.Kind() == FK_LABEL) {
        // The label's text becomes the film image's picture.
        auto* image = new TMobuImage(list_);
        image->StoreName("\x01" "film" + std::to_string(index));
        image->SetParent(list_->GetBase(base_index));
        RenderFilmLabel(static_cast<const TLabelFrameList&>(track), image->OwnSurface, image->OwnMask);
        image->SetBounds(0, 0, image->OwnSurface.Width(), image->OwnSurface.Height());
        components_[static_cast<size_t>(index)] = image;
        return image;
    }
    const int type = CreationType(track.Kind());
    if (type < 0) {
        ReportNotAvailable(std::string("film ") + FrameListKindName(track.Kind()) + " track");
        return nullptr;
    }
    TMobuObject* object = list_->CreateComponent(type, list_->GetBase(base_index));
    if (!object) return nullptr;
    // A leading 0x01 keeps the film's own components out of the scripts' and the mouse's way.
    object->StoreName("\x01" "film" + std::to_string(index));
    if (track.Kind() == FK_IMAGE || track.Kind() == FK_TILE) {
        const auto& picture = static_cast<const TImageFrameList&>(track);
        if (auto* images = dynamic_cast<TMobuImages*>(object)) {
            images->AniPaused = true;  // the film chooses the frames
            if (picture.PictureFound) images->Lists[0]->Fill(images, picture.ResolvedPath, true, false);
        } else if (auto* tile = dynamic_cast<TMobuTile*>(object)) {
            tile->AniPaused = true;
            if (picture.PictureFound) tile->List.Fill(tile, picture.ResolvedPath, true, false);
        }
    } else if (track.Kind() == FK_SOUND) {
        object->SetProp(PR_SOURCE, TPropValue::Text(static_cast<const TSoundFrameList&>(track).ResolvedPath));
    } else if (track.Kind() == FK_PARTICLE) {
        object->SetProp(PR_SOURCE, TPropValue::Text(static_cast<const TParticleFrameList&>(track).ResolvedPath));
    }
    components_[static_cast<size_t>(index)] = object;
    return object;
}

void TFilmCinema::SetTime(int32_t t)
{
    if (!list_) return;
    const int32_t previous = has_time_ ? manager_.Time : t;
    manager_.UpdateWipes(t);
    for (int i = 0; i < manager_.TrackCount(); ++i) {
        const TCustomFrameList& track = manager_.Track(i);
        switch (track.Kind()) {
            case FK_IMAGE:
            case FK_TILE:
            case FK_LABEL: {
                TImageTrackState s = manager_.ImageAt(static_cast<const TCustomImageFrameList&>(track), t);
                TMobuObject* object = s.Active ? Ensure(i) : ComponentOf(i);
                TMobuControl* c = object ? object->AsControl() : nullptr;
                if (!c) break;
                if (!s.Active) {
                    c->SetVisible(false);
                    break;
                }
                if (auto* images = dynamic_cast<TMobuCustomImages*>(c))
                    if (s.Frame >= 0 && s.Frame != images->Index()) images->SetIndex(s.Frame);
                c->SetLeft(s.DrawX);
                c->SetTop(s.DrawY);
                SetInt(*c, PR_ZOOMX, s.ZoomX);
                SetInt(*c, PR_ZOOMY, s.ZoomY);
                SetInt(*c, PR_ANGLE, s.Angle);
                SetInt(*c, PR_ALPHA, s.Alpha);
                SetInt(*c, PR_BLURSPAN, s.A);
                SetInt(*c, PR_BLURDELAY, s.B);
                SetInt(*c, PR_FLIPH, track.FlipH != 0);
                SetInt(*c, PR_FLIPV, track.FlipV != 0);
                if (track.Kind() == FK_TILE) {
                    if (s.TileW > 0) SetInt(*c, PR_WIDTH, s.TileW);
                    if (s.TileH > 0) SetInt(*c, PR_HEIGHT, s.TileH);
                    SetInt(*c, PR_SCROLLX, s.ScrollX);
                    SetInt(*c, PR_SCROLLY, s.ScrollY);
                    SetInt(*c, PR_DISTANCEX, s.DistanceX);
                    SetInt(*c, PR_DISTANCEY, s.DistanceY);
                }
                ApplyFilmCrop(s, [&](int id, int32_t value) { SetInt(*c, id, value); });
                if (c->Priority() != track.Priority) c->SetPriority(track.Priority);
                c->SetVisible(true);
                break;
            }
            case FK_BOX: {
                TBoxTrackState s = manager_.BoxAt(static_cast<const TBoxFrameList&>(track), t);
                TMobuObject* object = s.Active ? Ensure(i) : ComponentOf(i);
                TMobuControl* c = object ? object->AsControl() : nullptr;
                if (!c) break;
                if (!s.Active) {
                    c->SetVisible(false);
                    break;
                }
                c->SetLeft(s.X);
                c->SetTop(s.Y);
                SetInt(*c, PR_WIDTH, s.Width);
                SetInt(*c, PR_HEIGHT, s.Height);
                SetInt(*c, PR_COLOR, s.Color);
                SetInt(*c, PR_BORDERCOLOR, s.BorderColor);
                SetInt(*c, PR_BORDERWIDTH, s.BorderWidth);
                SetInt(*c, PR_ALPHA, s.Alpha);
                SetInt(*c, PR_BLURSPAN, s.A);
                SetInt(*c, PR_BLURDELAY, s.B);
                ApplyFilmCrop(s, [&](int id, int32_t value) { SetInt(*c, id, value); });
                if (c->Priority() != track.Priority) c->SetPriority(track.Priority);
                c->SetVisible(true);
                break;
            }
            case FK_SOUND: ApplySound(i, t, previous); break;
            case FK_PARTICLE: {
                TParticleTrackState s = manager_.ParticleAt(static_cast<const TParticleFrameList&>(track), t);
                TMobuObject* object = s.Active ? Ensure(i) : ComponentOf(i);
                TMobuControl* c = object ? object->AsControl() : nullptr;
                if (!c) break;
                c->SetVisible(s.Active);
                if (!s.Active) break;
                const auto& r = static_cast<const TParticleFrameList&>(track).Live;
                c->SetLeft(s.X);
                c->SetTop(s.Y);
                SetInt(*c, PR_WIDTH, s.Width);
                SetInt(*c, PR_HEIGHT, s.Height);
                SetInt(*c, PR_ALPHA, s.Alpha);
                SetInt(*c, PR_PARTMOTION, r.Motion);
                SetInt(*c, PR_INDEX, r.WarmUp);
                c->SetProp(PR_PARAM1, TPropValue::Float(s.Params[0]));
                c->SetProp(PR_PARAM2, TPropValue::Float(s.Params[1]));
                c->SetProp(PR_PARAM3, TPropValue::Float(s.Params[2]));
                if (c->Priority() != track.Priority) c->SetPriority(track.Priority);
                // The emission ranges replace the emitter's position and interval expressions.
                if (auto* emitter = dynamic_cast<TMobuParticle*>(c))
                    emitter->SetRanges({s.XBase, s.XRange, s.YBase, s.YRange, s.DelayBase, s.DelayRange});
                break;
            }
            case FK_FIRE: {
                TFireTrackState s = manager_.FireAt(static_cast<const TFireFrameList&>(track), t);
                TMobuObject* object = s.Active ? Ensure(i) : ComponentOf(i);
                TMobuControl* c = object ? object->AsControl() : nullptr;
                if (!c) break;
                c->SetVisible(s.Active);
                if (!s.Active) break;
                c->SetLeft(s.X);
                c->SetTop(s.Y);
                SetInt(*c, PR_ORIGWIDTH, s.Width);
                SetInt(*c, PR_ORIGHEIGHT, s.Height);
                SetInt(*c, PR_ZOOMX, s.ZoomX);
                SetInt(*c, PR_ZOOMY, s.ZoomY);
                SetInt(*c, PR_POWER, s.Power);
                ApplyFilmCrop(s, [&](int id, int32_t value) { SetInt(*c, id, value); });
                if (c->Priority() != track.Priority) c->SetPriority(track.Priority);
                break;
            }
            default: break;
        }
    }
    ApplyWipes(t);
    manager_.Time = t;
    has_time_ = true;
}

void TFilmCinema::ApplyWipes(int32_t t)
{
    const int desired = first_base_ ^ (manager_.EndedWipes & 1);
    const int current = manager_.CurrentWipe;
    if (current >= 0) {
        const auto& wipe = static_cast<const TWipeFrameList&>(manager_.Track(current));
        const int32_t elapsed = manager_.WipeAt(wipe, t).Elapsed;
        const bool ended = int64_t{t} >= int64_t{wipe.EffectiveStart} + std::max(0, wipe.Length) - 1;
        if (!ended) {
            if (started_wipe_ != current || !list_->TransitionRunning()) {
                list_->SwitchBase(desired, wipe.TransitionId, wipe.Reverse != 0, true, elapsed, std::max(1, wipe.Length));
                list_->SetTransitionParam(0, wipe.Param0);
                list_->SetTransitionParam(1, wipe.Param1);
                list_->SetTransitionMaskName(wipe.Mask);
                started_wipe_ = current;
            } else {
                list_->SetTransitionPosition(elapsed);
            }
            return;
        }
    }
    // No transition runs at t: the receiving base is the active one.
    if (started_wipe_ >= 0 || list_->ActiveIndex() != desired) {
        list_->SwitchBase(desired, 0, false, true, 0, 0);
        started_wipe_ = -1;
    }
}

void TFilmCinema::ApplySound(int index, int32_t t, int32_t previous)
{
    const auto& track = static_cast<const TSoundFrameList&>(manager_.Track(index));
    TSoundTrackState s = manager_.SoundAt(track, t);
    uint8_t& sounding = sounding_[static_cast<size_t>(index)];
    TMobuObject* object = s.Active ? Ensure(index) : ComponentOf(index);
    if (!object) return;
    // Stops the sound this track started; the component stays for the next start.
    auto stop = [&] {
        if (sounding) object->SetPlayMode(LP_STOP);
        sounding = 0;
    };
    // An earlier time stops the sound first.
    if (t < previous) stop();
    if (!s.Active) {
        // A following track continues the sound.
        bool continued = false;
        for (int j = 0; j < manager_.TrackCount(); ++j)
            if (manager_.Track(j).Parent == &track && manager_.Track(j).Kind() == FK_SOUND &&
                TFilmManager::IsActive(manager_.Track(j), t))
                continued = true;
        if (!continued) stop();
        return;
    }
    SetInt(*object, PR_VOLUME, s.Volume);
    SetInt(*object, PR_BALANCE, s.Pan);
    if (!manager_.Playing) {
        stop();
        return;
    }
    if (!sounding) {
        // A stopped sound starts where the film stands in it.
        SetInt(*object, PR_INDEX, s.SeekMs);
        object->SetPlayMode(LP_PLAY);
        sounding = 1;
        return;
    }
    const int32_t position = object->GetProp(PR_INDEX).AsInt();
    if (std::abs(int64_t{position} - s.SeekMs) >= 3000) SetInt(*object, PR_INDEX, s.SeekMs);
}

void TFilmCinema::Clear()
{
    if (list_) {
        for (size_t i = 0; i < components_.size(); ++i)
            if (TMobuObject* object = ComponentOf(static_cast<int>(i))) list_->Doom(object);
        if (started_wipe_ >= 0 && list_->TransitionRunning())
            list_->SwitchBase(list_->ActiveIndex(), 0, false, true, 0, 0);
    }
    components_.clear();
    sounding_.clear();
    list_ = nullptr;
    started_wipe_ = -1;
    has_time_ = false;
    manager_.Clear();
}

}  // namespace mobu
