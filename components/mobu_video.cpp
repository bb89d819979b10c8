#include "components/mobu_video.h"

#include <algorithm>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "components/game_files.h"
#include "components/mobu_base_list.h"
#include "media/media_layer.h"
#include "media/sound_gain.h"

namespace mobu {

TMobuVideo::TMobuVideo(TMobuBaseList* owner) : TMobuCustomImage(owner, LT_VIDEO) {}

TMobuVideo::~TMobuVideo() { ReleaseItem(); }

int TMobuVideo::MappedVolume() const { return MapComponentVolume(Volume, false); }

bool TMobuVideo::MediaPlaying() { return item_ && item_->IsPlaying() && !item_->IsPaused(); }

void TMobuVideo::MakeFrame()
{
    if (!item_) return;
    Invalidate();
    Frame = std::make_unique<TDIBX>();
    Frame->SetSize(std::max(item_->GetSourceWidth(), 1), std::max(item_->GetSourceHeight(), 1), 32);
    Frame->Clear(0);
    ImageSurface = Frame.get();
    copy_pending_ = true;
    RecomputeSize();
    Invalidate();
}

void TMobuVideo::ReleaseItem()
{
    mixer_.reset();
    if (item_ && layer_ && layer_ == MediaLayer()) layer_->Video().Remove(item_);
    item_ = nullptr;
    layer_ = nullptr;
    if (ImageSurface == Frame.get()) ImageSurface = nullptr;
    Frame.reset();
}

void TMobuVideo::ApplyPause()
{
    if (!item_) return;
    item_->Pause();
    item_->SetVolume(kSilentVolume);
}

void TMobuVideo::SetPlayMode(int mode)
{
    mixer_.reset();
    if (mode == LP_PLAYFADE && Delay <= 0) mode = LP_PLAY;
    PlayMode = static_cast<uint8_t>(mode);
    if (mode < LP_STOP) {
        if (!item_) {
            TMediaLayer* media = MediaLayer();
            if (!GameFileExists(Source) || !media) {
                if (AutoScrap && owner_) owner_->Doom(this);
                return;
            }
            try {
                item_ = dynamic_cast<TVideoItem*>(media->Video().Add(Source, !Overlay));
            } catch (const EMobuError& error) {
                ReportScriptFailure(error.what());
                item_ = nullptr;
            }
            if (!item_) return;
            layer_ = media;
            item_->SetPan(Balance);
            if (Position > 0) item_->SetPosition(Position);
            MakeFrame();
        }
        item_->SetAutoRepeat(Repeat);
        if (VideoPaused || AniPaused || parked_) {
            ApplyPause();
        } else if (mode == LP_PLAYFADE) {
            mixer_ = std::make_unique<TMobuMixerFadein>(item_, Delay, MappedVolume());
        } else {
            item_->SetVolume(MappedVolume());
            item_->Play();
        }
        return;
    }
    if (mode == LP_STOP) {
        // The component stays, without its movie.
        Invalidate();
        ReleaseItem();
        Position = 0;
        RecomputeSize();
        return;
    }
    if (!item_) {
        if (owner_) owner_->Doom(this);
        return;
    }
    mixer_ = std::make_unique<TMobuMixerFadeout>(item_, Delay);
    Position = 0;
}

bool TMobuVideo::Update()
{
    if (TMobuCustomImage::Update()) return true;
    if (item_) {
        const uint32_t since = static_cast<uint32_t>(GameClockMs) - static_cast<uint32_t>(LastCopyTick);
        if (since >= static_cast<uint32_t>(kCopyIntervalMs) && item_->NeedPaint()) {
            LastCopyTick = GameClockMs;
            copy_pending_ = true;
            Invalidate();
        }
        if (!Repeat && item_->IsEnd()) {
            if (AutoScrap) return true;
            PostEvent(PR_ONPLAYEND);  // again at every update while it stays at the end
        }
    }
    if (mixer_ && mixer_->Tick(static_cast<uint32_t>(GameClockMs))) {
        mixer_.reset();
        if (PlayMode == LP_STOPFADE) return true;
    }
    return false;
}

void TMobuVideo::Draw(TCustomDIBX& surface)
{
    if (copy_pending_ && item_ && Frame) {
        copy_pending_ = false;
        if (TDIBX* picture = item_->GetDC()) {
            const TRect whole{0, 0, std::min(picture->Width(), Frame->Width()), std::min(picture->Height(), Frame->Height())};
            Frame->Draw(0, 0, *picture, whole, false, false, false);
        }
    }
    TMobuCustomImage::Draw(surface);
}

void TMobuVideo::ReleaseSurfaces()
{
    TMobuCustomImage::ReleaseSurfaces();
    if (ImageSurface == Frame.get()) ImageSurface = nullptr;
    Frame.reset();
}

void TMobuVideo::RestoreSurfaces()
{
    TMobuCustomImage::RestoreSurfaces();
    if (item_ && !Frame) MakeFrame();
}

void TMobuVideo::EnteredCabinet()
{
    if (item_ && MediaPlaying()) {
        parked_ = true;
        item_->Pause();
    }
}

void TMobuVideo::LeftCabinet()
{
    if (!parked_) return;
    parked_ = false;
    if (item_ && !VideoPaused && !AniPaused) item_->Play();
}

TPropValue TMobuVideo::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_VOLUME: return TPropValue::Int(Volume);
        case PR_BALANCE: return TPropValue::Int(Balance);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_PAUSED: return TPropValue::Flag(VideoPaused);
        case PR_DELAY: return TPropValue::Int(Delay);
        case PR_INDEX: return TPropValue::Int(item_ ? item_->GetPosition() : Position);
        case PR_COUNT: return TPropValue::Int(item_ ? item_->GetLength() : 0);
        case PR_PLAYING:
            return TPropValue::Flag(item_ && !VideoPaused && !AniPaused &&
                                    (Repeat || int64_t{item_->GetPosition()} < int64_t{item_->GetLength()} - 1));
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_ONPLAYEND: return TPropValue::Text(OnPlayEnd);
        case PR_ONIDLE: return TPropValue::Text(OnIdle);
        case PR_REWINDONLOAD: return TPropValue::Flag(RewindOnLoad);
        case PR_MUTEONLOAD: return TPropValue::Flag(MuteOnLoad);
        case PR_OVERLAY: return TPropValue::Flag(Overlay);
        default: return TMobuCustomImage::ReadProperty(id);
    }
}

void TMobuVideo::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: {
            const bool playing = item_ != nullptr && PlayMode < LP_STOP;
            ReleaseItem();
            Source = value.AsText();
            if (playing) SetPlayMode(PlayMode);
            return;
        }
        case PR_VOLUME:
            Volume = value.AsInt();
            if (auto* fade = dynamic_cast<TMobuMixerFadein*>(mixer_.get())) fade->EndVolume = MappedVolume();
            if (item_ && !VideoPaused && !AniPaused && !mixer_) item_->SetVolume(MappedVolume());
            return;
        case PR_BALANCE:
            Balance = std::clamp(value.AsInt(), -10000, 10000);
            if (item_) item_->SetPan(Balance);
            return;
        case PR_REPEAT:
            Repeat = value.AsFlag();
            if (!item_) return;
            item_->SetAutoRepeat(Repeat);
            if (Repeat && !VideoPaused && !AniPaused && item_->IsEnd()) {
                item_->SetPosition(0);
                item_->Play();
            }
            return;
        case PR_PAUSED:
        case PR_ANIPAUSED:
            if (id == PR_PAUSED) VideoPaused = value.AsFlag();
            else AniPaused = value.AsFlag();
            if (!item_) return;
            if (VideoPaused || AniPaused) {
                mixer_.reset();
                ApplyPause();
            } else if (PlayMode == LP_PLAYFADE && Delay > 0) {
                mixer_ = std::make_unique<TMobuMixerFadein>(item_, Delay, MappedVolume());
            } else {
                item_->SetVolume(MappedVolume());
                item_->Play();
            }
            return;
        case PR_DELAY: Delay = value.AsInt(); return;
        case PR_INDEX:
            Position = value.AsInt();
            if (!item_) return;
            item_->SetPosition(Position);
            copy_pending_ = true;
            Invalidate();
            if (!VideoPaused && !AniPaused && !item_->IsPlaying()) item_->Play();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.AsFlag(); return;
        case PR_ONPLAYEND: OnPlayEnd = value.AsText(); return;
        case PR_ONIDLE: OnIdle = value.AsText(); return;
        case PR_REWINDONLOAD: RewindOnLoad = value.AsFlag(); return;
        case PR_MUTEONLOAD: MuteOnLoad = value.AsFlag(); return;
        case PR_OVERLAY: {
            const bool overlay = value.AsFlag();
            if (overlay == Overlay) return;
            Overlay = overlay;
            if (!item_ || PlayMode >= LP_STOP) return;
            // Opened again at the position it has.
            const int32_t position = item_->GetPosition();
            ReleaseItem();
            Position = position;
            SetPlayMode(PlayMode);
            return;
        }
        default: TMobuCustomImage::WriteProperty(id, value); return;
    }
}

void TMobuVideo::SaveTypePart(ByteWriter& out)
{
    TMobuCustomImage::SaveTypePart(out);
    out.String(Source);
    out.Flag(Repeat);
    out.U8(0);
    out.Flag(VideoPaused);
    out.I32(Volume);
    out.I32(Balance);
    out.I32(Reserved);
    out.I32(item_ ? item_->GetPosition() : Position);
    out.U8(PlayMode);
    out.String(OnPlayEnd);
    out.String(OnIdle);
    out.Flag(RewindOnLoad);
    out.Flag(Overlay);
    out.Flag(MuteOnLoad);
}

void TMobuVideo::LoadTypePart(ByteReader& in, int version)
{
    TMobuCustomImage::LoadTypePart(in, version);
    const std::string source = in.String();
    Repeat = in.Flag();
    in.U8();
    const bool paused = in.Flag();
    Volume = in.I32();
    Balance = std::clamp(in.I32(), -10000, 10000);
    Reserved = in.I32();
    const int32_t position = in.I32();
    uint8_t mode = in.U8();
    OnPlayEnd = in.String();
    OnIdle = in.String();
    RewindOnLoad = version > 107 ? in.Flag() : false;
    Overlay = version >= 112 ? in.Flag() : true;
    MuteOnLoad = version > 128 ? in.Flag() : false;
    if (MuteOnLoad) Volume = 0;
    Source = source;
    Position = RewindOnLoad ? 0 : position;
    VideoPaused = paused;
    if (mode > LP_STOPFADE) mode = LP_STOP;
    if (mode == LP_STOPFADE) mode = LP_PLAY;
    if (mode < LP_STOP) SetPlayMode(mode);
    else PlayMode = mode;
}

}  // namespace mobu
