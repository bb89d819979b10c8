#include "components/mobu_sound.h"

#include <algorithm>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "components/game_files.h"
#include "components/mobu_base_list.h"
#include "media/media_files.h"
#include "media/media_layer.h"
#include "media/sound_gain.h"

namespace mobu {
namespace {

bool IsCdName(const std::string& source) { return source.rfind("CD_", 0) == 0; }

const std::string kScrapPrefix = std::string("\x01" "SCRAP_");

}  // namespace

TMobuSound::TMobuSound(TMobuBaseList* owner) : TMobuComponent(owner, LT_SOUND) {}

TMobuSound::~TMobuSound() { ReleaseItem(); }

TMediaManager* TMobuSound::ManagerFor(TMediaLayer& media) const
{
    const std::string ext = MediaExtension(Source);
    if (ext == ".mid" || ext == ".sgt") return &media.Midi();
    if (ext == ".wma" || ext == ".asf" || ext == ".wmv") return &media.Wmp();
    if (ext == ".ogg" || ext == ".wav") return &media.Ogg();
    if (IsCdName(Source)) return &media.Cdda();
    return nullptr;
}

TDMediaItem* TMobuSound::OpenItem(TMediaManager*& manager)
{
    manager = nullptr;
    TMediaLayer* media = MediaLayer();
    if (!media) return nullptr;
    manager = ManagerFor(*media);
    if (!manager) return nullptr;
    try {
        return manager->Add(Source);
    } catch (const EMobuError& error) {
        // A file no decoder reads: the author sees it, the game goes on without the sound.
        ReportScriptFailure(error.what());
        return nullptr;
    }
}

void TMobuSound::ReleaseItem()
{
    mixer_.reset();
    // The layer may have ended (and freed every item) before the component goes.
    if (item_ && manager_ && layer_ && layer_ == MediaLayer()) manager_->Remove(item_);
    item_ = nullptr;
    manager_ = nullptr;
    layer_ = nullptr;
}

int TMobuSound::MappedVolume() const
{
    const bool midi = manager_ && layer_ && manager_ == static_cast<TMediaManager*>(&layer_->Midi());
    return MapComponentVolume(Volume, midi);
}

bool TMobuSound::MediaPlaying() { return item_ && item_->IsPlaying() && !item_->IsPaused(); }

void TMobuSound::SetPlayMode(int mode)
{
    mixer_.reset();
    Finished = false;
    if (mode == LP_PLAYFADE && Delay <= 0) mode = LP_PLAY;
    PlayMode = static_cast<uint8_t>(mode);
    if (mode < LP_STOP) {
        if (!item_) {
            if (!IsCdName(Source) && !GameFileExists(Source)) {
                if (AutoScrap && owner_) owner_->Doom(this);
                return;
            }
            TMediaManager* manager = nullptr;
            TDMediaItem* item = OpenItem(manager);
            if (!item) return;
            item_ = item;
            manager_ = manager;
            layer_ = MediaLayer();
            item_->SetPan(Balance);
            if (Position > 0) item_->SetPosition(Position);
        }
        item_->SetAutoRepeat(Repeat);
        item_->SetRepeatPos(RepeatPos);
        if (SoundPaused || SoundAniPaused) {
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
        ReleaseItem();
        Position = 0;
        if (owner_) owner_->Doom(this);
        return;
    }
    // LP_STOPFADE: the sound fades out under a system name, so that a new sound can take
    // its name at once.
    if (!item_) {
        if (owner_) owner_->Doom(this);
        return;
    }
    mixer_ = std::make_unique<TMobuMixerFadeout>(item_, Delay);
    Position = 0;
    if (name_.rfind(kScrapPrefix, 0) != 0) StoreName(kScrapPrefix + name_);
}

void TMobuSound::ApplyPause()
{
    if (!item_) return;
    item_->Pause();
    item_->SetVolume(kSilentVolume);
}

bool TMobuSound::Update()
{
    if (item_ && !Finished && item_->IsEnd()) {
        if (Repeat) {
            item_->SetPosition(0);
            item_->Play();
        } else {
            Finished = true;
            if (AutoScrap) return true;
            PostEvent(PR_ONPLAYEND);
        }
    }
    if (mixer_ && mixer_->Tick(static_cast<uint32_t>(GameClockMs))) {
        mixer_.reset();
        if (PlayMode == LP_STOPFADE) return true;
    }
    return false;
}

int32_t TMobuSound::Length()
{
    if (item_) return item_->GetLength();
    // A temporary item tells the length of a sound that is not open.
    if (Source.empty() || (!IsCdName(Source) && !GameFileExists(Source))) return 0;
    TMediaManager* manager = nullptr;
    TDMediaItem* item = OpenItem(manager);
    if (!item) return 0;
    const int32_t length = item->GetLength();
    manager->Remove(item);
    return length;
}

TPropValue TMobuSound::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_VOLUME: return TPropValue::Int(Volume);
        case PR_BALANCE: return TPropValue::Int(Balance);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_REPEATPOS: return TPropValue::Int(RepeatPos);
        case PR_PAUSED: return TPropValue::Flag(SoundPaused);
        case PR_ANIPAUSED: return TPropValue::Flag(SoundAniPaused);
        case PR_DELAY: return TPropValue::Int(Delay);
        case PR_INDEX: return TPropValue::Int(item_ ? item_->GetPosition() : Position);
        case PR_COUNT: return TPropValue::Int(Length());
        case PR_PLAYING: return TPropValue::Flag(item_ && item_->IsPlaying());
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_ONPLAYEND: return TPropValue::Text(OnPlayEnd);
        case PR_REWINDONLOAD: return TPropValue::Flag(RewindOnLoad);
        case PR_MUTEONLOAD: return TPropValue::Flag(MuteOnLoad);
        default: return TMobuComponent::ReadProperty(id);
    }
}

void TMobuSound::WriteProperty(int id, const TPropValue& value)
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
            if (item_ && !SoundPaused && !SoundAniPaused && !mixer_) item_->SetVolume(MappedVolume());
            return;
        case PR_BALANCE:
            Balance = std::clamp(value.AsInt(), -10000, 10000);
            if (item_) item_->SetPan(Balance);
            return;
        case PR_REPEAT:
            Repeat = value.AsFlag();
            if (!item_) return;
            item_->SetAutoRepeat(Repeat);
            if (Repeat && !SoundPaused && !SoundAniPaused && item_->IsEnd()) {
                item_->SetPosition(0);
                item_->Play();
                Finished = false;
            }
            return;
        case PR_REPEATPOS:
            RepeatPos = value.AsInt();
            if (item_) item_->SetRepeatPos(RepeatPos);
            return;
        case PR_PAUSED:
        case PR_ANIPAUSED: {
            (id == PR_PAUSED ? SoundPaused : SoundAniPaused) = value.AsFlag();
            if (!item_) return;
            if (SoundPaused || SoundAniPaused) {
                mixer_.reset();
                ApplyPause();
            } else if (!Finished) {
                if (PlayMode == LP_PLAYFADE && Delay > 0) {
                    mixer_ = std::make_unique<TMobuMixerFadein>(item_, Delay, MappedVolume());
                } else {
                    item_->SetVolume(MappedVolume());
                    item_->Play();
                }
            }
            return;
        }
        case PR_DELAY: Delay = value.AsInt(); return;
        case PR_INDEX:
            Position = value.AsInt();
            if (!item_) return;
            item_->SetPosition(Position);
            Finished = false;
            if (!SoundPaused && !SoundAniPaused && !item_->IsPlaying()) item_->Play();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.AsFlag(); return;
        case PR_ONPLAYEND: OnPlayEnd = value.AsText(); return;
        case PR_REWINDONLOAD: RewindOnLoad = value.AsFlag(); return;
        case PR_MUTEONLOAD: MuteOnLoad = value.AsFlag(); return;
        default: TMobuComponent::WriteProperty(id, value); return;
    }
}

void TMobuSound::SaveToStream(ByteWriter& out)
{
    TMobuComponent::SaveToStream(out);
    out.String(Source);
    out.Flag(Repeat);
    out.Flag(AutoScrap);
    out.Flag(SoundPaused);
    out.Flag(SoundAniPaused);
    out.Flag(Finished);
    out.I32(Volume);
    out.I32(Balance);
    out.I32(Reserved);
    out.I32(item_ ? item_->GetPosition() : Position);
    uint8_t mode = PlayMode;
    // A short effect playing at the save does not sound again when the game is loaded.
    if (!Repeat && item_ && mode < LP_STOP && item_->GetLength() < kShortSoundMs) mode = LP_STOP;
    out.U8(mode);
    out.String(OnPlayEnd);
    out.Flag(RewindOnLoad);
    out.Flag(MuteOnLoad);
    out.I32(RepeatPos);
}

void TMobuSound::LoadFromStream(ByteReader& in, int version)
{
    TMobuComponent::LoadFromStream(in, version);
    const std::string source = in.String();
    Repeat = in.Flag();
    AutoScrap = in.Flag();
    const bool paused = in.Flag();
    const bool ani_paused = in.Flag();
    const bool finished = in.Flag();
    Volume = in.I32();
    Balance = std::clamp(in.I32(), -10000, 10000);
    Reserved = in.I32();
    const int32_t position = in.I32();
    uint8_t mode = in.U8();
    OnPlayEnd = in.String();
    RewindOnLoad = version > 107 ? in.Flag() : false;
    MuteOnLoad = version > 128 ? in.Flag() : false;
    RepeatPos = version > 137 ? in.I32() : 0;
    if (MuteOnLoad) Volume = 0;
    WriteProperty(PR_SOURCE, TPropValue::Text(source));
    Position = RewindOnLoad ? 0 : position;
    SoundPaused = paused;
    SoundAniPaused = ani_paused;
    Finished = finished;
    if (mode > LP_STOPFADE) mode = LP_STOP;
    // A sound that was fading out plays on.
    if (mode == LP_STOPFADE) mode = LP_PLAY;
    if (Finished) {
        PlayMode = mode;
        return;
    }
    SetPlayMode(mode);
}

}  // namespace mobu
