// Windows Media audio (".wma", ".asf", ".wmv" played as sound): the whole file is read
// into memory and decoded by libavformat's ASF demuxer and libavcodec.
#pragma once

#include "media/media_manager.h"
#include "media/mixer_sound_item.h"

namespace mobu {

class TWmpItem : public TMixerSoundItem {
public:
    TWmpItem(TAudioMixer& mixer, const std::string& cp932_name);
};

class TWmpManager : public TMediaManager {
public:
    explicit TWmpManager(TAudioMixer& mixer) : TMediaManager("wmp"), mixer_(mixer) {}
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

private:
    TAudioMixer& mixer_;
};

}  // namespace mobu
