// The MIDI sequencer: plays a read MIDI song on FluidSynth's synthesizer (only its
// fluid_synth_* calls: our sequencer decides the timing, our mixer takes the sound) at
// 44100 Hz stereo. Seeks end every note, then replay the programs, controllers, pitch bends
// and SysEx messages before the new position. Without a usable sound font it plays silence
// of the song's length.
#pragma once

#include <memory>
#include <string>

#include "media/pcm_source.h"
#include "media/smf_reader.h"

namespace mobu {

constexpr int kMidiRate = 44100;
// The synthesizer's output gain (FluidSynth's default is 0.2): General MIDI files written
// for hardware synthesizers reach about the level of other music at 0.5.
constexpr double kMidiSynthGain = 0.5;

class TMidiSource : public TPcmSource {
public:
    TMidiSource(TMidiSong song, const std::string& sound_font_path);
    ~TMidiSource() override;

    int Rate() const override { return kMidiRate; }
    int Channels() const override { return 2; }
    int64_t LengthFrames() const override { return length_; }
    size_t Read(float* interleaved, size_t frames) override;
    void Seek(int64_t frame) override;
    const char* CodecName() const override { return "midi"; }

    // Loads another sound font (the MIDI port), keeping the position.
    void SetSoundFont(const std::string& path);
    bool HasSoundFont() const { return font_id_ >= 0; }

private:
    void Apply(const TMidiEvent& event, bool notes);
    int64_t FrameOf(const TMidiEvent& event) const;

    TMidiSong song_;
    struct Synth;
    std::unique_ptr<Synth> synth_;
    int font_id_ = -1;
    int64_t length_ = 0;
    int64_t position_ = 0;
    size_t next_ = 0;
};

// The General MIDI sound font: "[Sound] SoundFont" of game.ini when set, else the one the
// system installs ("/usr/share/sounds/sf2/default-GM.sf2").
const std::string& DefaultSoundFont();
void SetDefaultSoundFont(const std::string& path);

}  // namespace mobu
