#include "media/mixer_sound_item.h"

#include <cstring>

#include "core/mobu_error.h"
#include "media/av_audio_source.h"
#include "media/media_files.h"
#include "media/media_messages.h"
#include "media/ogg_vorbis_source.h"
#include "media/riff_wave.h"
#include "media/stream_lock.h"

namespace mobu {

std::unique_ptr<TPcmSource> OpenSoundSource(const std::string& name)
{
    auto stream = OpenMediaStream(name);
    char magic[4] = {};
    {
        std::lock_guard lock(MediaStreamLock());
        stream->Read(magic, 4);
        stream->Seek(0);
    }
    if (std::memcmp(magic, "OggS", 4) == 0) {
        try {
            return OpenOggVorbisSource(OpenMediaStream(name));
        } catch (const EMobuError&) {
            return OpenAvAudioSource(std::move(stream));  // Opus, FLAC... in Ogg
        }
    }
    if (std::memcmp(magic, "RIFF", 4) == 0) {
        std::string bytes(static_cast<size_t>(stream->Size()), '\0');
        {
            std::lock_guard lock(MediaStreamLock());
            bytes.resize(stream->Read(bytes.data(), bytes.size()));
        }
        // Our reader refuses broken files; formats it does not decode go to the codecs.
        if (WaveFormatDecodable(ReadRiffWaveFormat(bytes))) return OpenRiffWaveSource(std::move(bytes));
        return OpenAvAudioSource(std::make_unique<TMemoryRangeStream>(std::move(bytes)));
    }
    return OpenAvAudioSource(std::move(stream));
}

TMixerSoundItem::TMixerSoundItem(TAudioMixer& mixer, std::unique_ptr<TPcmSource> source)
    : mixer_(mixer), voice_(mixer.AddVoice(std::move(source)))
{
}

TMixerSoundItem::~TMixerSoundItem() { mixer_.RemoveVoice(voice_); }

bool TMixerSoundItem::IsPlaying()
{
    TVoiceState state = mixer_.State(voice_);
    return state.Playing && !state.Paused;
}

TCustomOggItem::TCustomOggItem(TAudioMixer& mixer, const std::string& name)
    : TMixerSoundItem(mixer, OpenSoundSource(name))
{
}

TWaveItem::TWaveItem(TAudioMixer& mixer, int index, const std::string& name)
    : TMixerSoundItem(mixer, OpenSoundSource(name)), index_(index)
{
}

}  // namespace mobu
