#include "media/midi_manager.h"

#include <cstdio>
#include <filesystem>

#include "core/mobu_error.h"
#include "media/media_files.h"
#include "platform/text_encoding.h"

namespace mobu {

TMidiItem::TMidiItem(TAudioMixer& mixer, TMidiManager& manager, TMidiSong song, const std::string& sound_font)
    : TMixerSoundItem(mixer, std::make_unique<TMidiSource>(std::move(song), sound_font)), mixer_(mixer), manager_(manager)
{
}

void TMidiItem::Play()
{
    manager_.PlayOnly(this);
    TMixerSoundItem::Play();
}

void TMidiItem::SetSoundFont(const std::string& path)
{
    mixer_.WithSource(Voice(), [&path](TPcmSource& source) { static_cast<TMidiSource&>(source).SetSoundFont(path); });
}

TMidiManager::TMidiManager(TAudioMixer& mixer) : TMediaManager("midi"), mixer_(mixer)
{
    ports_.push_back({SysText(u8"MIDIマッパー"), DefaultSoundFont()});
    // Another General MIDI sound font of the system, when installed.
    const char* const kOthers[] = {"/usr/share/sounds/sf2/FluidR3_GM.sf2"};
    for (const char* path : kOthers) {
        std::error_code error;
        if (std::filesystem::exists(path, error) && path != DefaultSoundFont()) {
            ports_.push_back({std::filesystem::path(path).stem().string(), path});
        }
    }
}

TDMediaItem* TMidiManager::Add(const std::string& name, bool)
{
    std::string bytes = ReadMediaFile(name);
    if (bytes.empty() || !LooksLikeMidiFile(bytes)) {
        std::fprintf(stderr, "%s: %s: nothing plays\n", Cp932ToUtf8(name).c_str(),
                     bytes.empty() ? "empty MIDI file" : "not a standard MIDI file");
        return nullptr;
    }
    TMidiSong song = ReadStandardMidiFile(bytes);
    if (song.Events.empty()) {
        std::fprintf(stderr, "%s: no MIDI events: nothing plays\n", Cp932ToUtf8(name).c_str());
        return nullptr;
    }
    return Keep(std::make_unique<TMidiItem>(mixer_, *this, std::move(song), ports_[static_cast<size_t>(port_)].sound_font),
                name);
}

std::vector<std::string> TMidiManager::PortNames() const
{
    std::vector<std::string> names;
    for (const PortEntry& port : ports_) names.push_back(port.name);
    return names;
}

bool TMidiManager::SetPort(int index)
{
    if (index < 0 || index >= static_cast<int>(ports_.size())) return false;
    if (index == port_) return true;
    port_ = index;
    for (int i = 0; i < Count(); ++i) static_cast<TMidiItem*>(Items(i))->SetSoundFont(ports_[static_cast<size_t>(index)].sound_font);
    return true;
}

void TMidiManager::PlayOnly(TMidiItem* playing)
{
    for (int i = 0; i < Count(); ++i) {
        TDMediaItem* item = Items(i);
        if (item != playing && item->IsPlaying()) {
            item->Pause();
            item->SetPosition(0);
        }
    }
}

}  // namespace mobu
