#include "media/cdda_manager.h"

#include <cstdio>

#include "media/av_audio_source.h"
#include "media/cdda_tracks.h"
#include "platform/text_encoding.h"

namespace mobu {

TCddaItem::TCddaItem(TAudioMixer& mixer, TCddaManager& manager, const std::string& track_file)
    : TMixerSoundItem(mixer, OpenAvAudioSource(std::make_unique<TFileRangeStream>(track_file, 0,
                                                                                  TFileRangeStream::kToEnd))),
      manager_(manager)
{
    TMixerSoundItem::SetVolume(manager.LineVolume());
}

void TCddaItem::Play()
{
    manager_.PlayOnly(this);
    TMixerSoundItem::Play();
}

void TCddaItem::SetVolume(int volume) { manager_.SetLineVolume(volume); }

TDMediaItem* TCddaManager::Add(const std::string& name, bool)
{
    std::optional<int> track = CdTrackNumber(name);
    std::string file = track ? FindCdTrackInFolder(base_folder_, *track) : std::string();
    if (file.empty()) {
        std::fprintf(stderr, "%s: no CD track file in the folder cdda\n", Cp932ToUtf8(name).c_str());
        return nullptr;
    }
    return Keep(std::make_unique<TCddaItem>(mixer_, *this, file), name);
}

void TCddaManager::PlayOnly(TCddaItem* playing)
{
    for (int i = 0; i < Count(); ++i) {
        if (Items(i) != playing && Items(i)->IsPlaying()) Items(i)->Pause();
    }
}

void TCddaManager::SetLineVolume(int volume)
{
    line_volume_ = volume;
    for (int i = 0; i < Count(); ++i) static_cast<TCddaItem*>(Items(i))->SetLineVolume(volume);
}

}  // namespace mobu
