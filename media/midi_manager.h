// MIDI music: our standard-MIDI-file reader and sequencer on FluidSynth, mixed like every
// other item. One MIDI item plays at a time. The output ports are "MIDIマッパー" (the
// default General MIDI sound font) and one per further General MIDI sound font found on the
// system; switching the port keeps every item's position and play state.
#pragma once

#include <string>
#include <vector>

#include "media/media_manager.h"
#include "media/midi_source.h"
#include "media/mixer_sound_item.h"

namespace mobu {

class TMidiManager;

class TMidiItem : public TMixerSoundItem {
public:
    TMidiItem(TAudioMixer& mixer, TMidiManager& manager, TMidiSong song, const std::string& sound_font);
    void Play() override;
    void SetSoundFont(const std::string& path);

private:
    TAudioMixer& mixer_;
    TMidiManager& manager_;
};

class TMidiManager : public TMediaManager {
public:
    explicit TMidiManager(TAudioMixer& mixer);
    // nullptr (one line on standard error) for an empty file or one that is no MIDI file
    // (".sgt" segments): nothing plays.
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

    // Port names (cp932) and the sound font behind each.
    std::vector<std::string> PortNames() const;
    int Port() const { return port_; }
    // Switches to a port by index; false for an unknown one.
    bool SetPort(int index);
    void PlayOnly(TMidiItem* item);

private:
    struct PortEntry {
        std::string name;
        std::string sound_font;
    };
    TAudioMixer& mixer_;
    std::vector<PortEntry> ports_;
    int port_ = 0;
};

}  // namespace mobu
