// CD music played from track files (see cdda_tracks.h). One track plays at a time: playing
// one pauses the others. The CD line has one gain, shared by every CD item. Lengths are
// whole seconds × 1000, as a CD player reports them.
#pragma once

#include <string>

#include "media/media_manager.h"
#include "media/mixer_sound_item.h"

namespace mobu {

class TCddaManager;

class TCddaItem : public TMixerSoundItem {
public:
    TCddaItem(TAudioMixer& mixer, TCddaManager& manager, const std::string& track_file_utf8);
    int GetLength() override { return TMixerSoundItem::GetLength() / 1000 * 1000; }
    void Play() override;
    void SetVolume(int volume) override;
    // The item's own volume, set by the manager's shared line.
    void SetLineVolume(int volume) { TMixerSoundItem::SetVolume(volume); }

private:
    TCddaManager& manager_;
};

class TCddaManager : public TMediaManager {
public:
    // `base_folder` (UTF-8) holds the "cdda" folder; "" is the current folder.
    TCddaManager(TAudioMixer& mixer, std::string base_folder)
        : TMediaManager("cdda"), mixer_(mixer), base_folder_(std::move(base_folder))
    {
    }
    // "CD_" + track number; nullptr (one line on standard error) when the name has no
    // number or no track file exists: the game has no CD with audio tracks.
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

    void PlayOnly(TCddaItem* item);
    void SetLineVolume(int volume);
    int LineVolume() const { return line_volume_; }

private:
    TAudioMixer& mixer_;
    std::string base_folder_;
    int line_volume_ = 0;
};

}  // namespace mobu
