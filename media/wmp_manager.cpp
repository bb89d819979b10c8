#include "media/wmp_manager.h"

#include "media/av_audio_source.h"
#include "media/media_files.h"

namespace mobu {

TWmpItem::TWmpItem(TAudioMixer& mixer, const std::string& name)
    : TMixerSoundItem(mixer, OpenAvAudioSource(std::make_unique<TMemoryRangeStream>(ReadMediaFile(name))))
{
}

TDMediaItem* TWmpManager::Add(const std::string& name, bool)
{
    return Keep(std::make_unique<TWmpItem>(mixer_, name), name);
}

}  // namespace mobu
