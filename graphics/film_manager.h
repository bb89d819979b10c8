// TFilmManager: one player's view of a film. The film data (tracks, header) is read once
// per file and shared; the manager keeps only its own play state: the time, the master
// volume, the playing flag, the motion target's position and the current transition
// track. It answers, for any time, what every track shows then.
#pragma once

#include <algorithm>
#include <limits>

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/film_data.h"

namespace mobu {

// What an image-like track (picture, label, tile) shows at a time.
struct TImageTrackState {
    bool Active = false;
    int32_t Frame = -1;                 // -1: no frame (no picture, or not prepared)
    int32_t X = 0, Y = 0;               // the interpolated position (with the motion shift)
    int32_t DrawX = 0, DrawY = 0;       // base position - trim offset + X/Y
    int32_t ZoomX = 256, ZoomY = 256;   // 256 = 100 %
    int32_t Angle = 0;                  // 0..255 turn scale
    int32_t Alpha = 255;
    bool WholeFrame = true;             // the crop shows the whole frame
    int32_t CropX = 0, CropY = 0, CropW = 0, CropH = 0;
    int32_t A = 0, B = 0;               // afterimage span and delay
    // Tiles.
    int32_t TileW = 0, TileH = 0, ScrollX = 0, ScrollY = 0, DistanceX = 0, DistanceY = 0;
};

struct TBoxTrackState {
    bool Active = false;
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    int32_t Color = 0, BorderColor = -1, BorderWidth = 0;
    int32_t Alpha = 255;
    bool WholeFrame = true;
    int32_t CropX = 0, CropY = 0, CropW = 0, CropH = 0;
    int32_t A = 0, B = 0;
};

struct TSoundTrackState {
    bool Active = false;
    int32_t Volume = 0;  // interpolated volume x the manager's Volume / 1000
    int32_t Pan = 0;
    int32_t SeekMs = 0;  // where the sound stands: time since its chain's first track
};

struct TWipeTrackState {
    bool Active = false;
    int32_t Elapsed = 0;  // t - effective start, in units
};

struct TParticleTrackState {
    bool Active = false;
    int32_t X = 0, Y = 0, Width = 0, Height = 0, Alpha = 255;
    int32_t XBase = 0, YBase = 0, XRange = 0, YRange = 0;
    int32_t Interval = 0, Spread = 0, DelayBase = 0, DelayRange = 0;
    std::array<double, 3> Params{};
};

struct TFireTrackState {
    bool Active = false;
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    int32_t ZoomX = 1024, ZoomY = 1024;
    int32_t Power = 100;
    bool WholeFrame = true;
    int32_t CropX = 0, CropY = 0, CropW = 0, CropH = 0;
};

class TFilmManager {
public:
    TFilmManager() = default;
    explicit TFilmManager(std::shared_ptr<const TFilmData> film) { SetFilm(std::move(film)); }

    void SetFilm(std::shared_ptr<const TFilmData> film);
    // Forgets the film and the play state.
    void Clear();
    const TFilmData* Film() const { return film_.get(); }
    bool Empty() const { return !film_ || film_->Tracks.empty(); }

    int Kind() const { return film_ ? film_->Kind : -1; }
    TFilmPoint ScreenSize() const { return film_ ? film_->ScreenSize : TFilmPoint{}; }
    int32_t BackColor() const { return film_ ? film_->BackColor : -1; }
    bool RelativeMotion() const { return film_ && film_->RelativeMotion != 0; }
    TFilmPoint MotionOrigin() const { return film_ ? film_->MotionOrigin : TFilmPoint{}; }
    int32_t LoopStart() const { return film_ ? film_->LiveLoopStart : 0; }
    int32_t TotalLength() const { return film_ ? film_->TotalLength : 0; }
    int TrackCount() const { return film_ ? static_cast<int>(film_->Tracks.size()) : 0; }
    const TCustomFrameList& Track(int index) const { return *film_->Tracks.at(static_cast<size_t>(index)); }

    // Play state.
    int32_t Time = 0;
    int32_t Volume = 1000;  // 0..1000, for sound tracks
    bool Playing = false;
    // The motion target's position (the film's origin when its positions are relative).
    int32_t TargetX = 0, TargetY = 0;
    // The transition track whose range holds the time (-1 none) and the number of
    // transition tracks that have ended, whose parity picks the base receiving the picture.
    int CurrentWipe = -1;
    int EndedWipes = 0;
    // Brings the transition state to `t`.
    void UpdateWipes(int32_t t);

    // ---- timing ----
    static bool IsActive(const TCustomFrameList& track, int32_t t);
    // The frame showing at `t` (-1 when the track has no frames).
    static int32_t FrameAt(const TCustomFrameList& track, int32_t t);
    // Steps of the interpolation: Length, one more when another track follows.
    static int64_t Steps(const TCustomFrameList& track);

    // ---- what each kind shows at t (Active false outside the track's range) ----
    TImageTrackState ImageAt(const TCustomImageFrameList& track, int32_t t) const;
    TBoxTrackState BoxAt(const TBoxFrameList& track, int32_t t) const;
    TSoundTrackState SoundAt(const TSoundFrameList& track, int32_t t) const;
    TWipeTrackState WipeAt(const TWipeFrameList& track, int32_t t) const;
    TParticleTrackState ParticleAt(const TParticleFrameList& track, int32_t t) const;
    TFireTrackState FireAt(const TFireFrameList& track, int32_t t) const;

    // The shift of motion positions: target - origin when relative, else none.
    // Computed in 64 bits and held in 32: a film's origin may be any stored value.
    int32_t ShiftX() const { return RelativeMotion() ? Shift(TargetX, MotionOrigin().X) : 0; }
    int32_t ShiftY() const { return RelativeMotion() ? Shift(TargetY, MotionOrigin().Y) : 0; }

private:
    static int32_t Shift(int32_t target, int32_t origin)
    {
        return static_cast<int32_t>(
            std::clamp<int64_t>(int64_t{target} - origin, std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max()));
    }
    std::shared_ptr<const TFilmData> film_;
};

}  // namespace mobu
