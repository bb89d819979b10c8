// The media layer: the mixer and one manager per media kind, started once by the main
// window ("MediaInit") and ended at shutdown ("MediaFinal"). Ogg, wave, Windows Media audio,
// CD track files, MIDI and the sound of movies play through the player's mixer; movie
// pictures follow their sound.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/audio_mixer.h"
#include "media/cdda_manager.h"
#include "media/media_manager.h"
#include "media/midi_manager.h"
#include "media/video_items.h"
#include "media/wmp_manager.h"
#include "platform/audio_output.h"

namespace mobu {

struct TMediaOptions {
    bool DirectSound = true;  // "game.ini" [Sound] DirectSound: TOggItem, else TOggWaveItem
    bool UseWMP = false;      // "game.ini" [Video] UseWMP
    std::string BaseFolder;   // the game's base folder (UTF-8), where the "cdda" folder is
};

class TMediaLayer : public TAudioFeed {
public:
    // Mixes for `output` (started here) or, without one, for a caller that pulls blocks
    // with Render at `rate` and `channels` (the headless runner's virtual clock).
    TMediaLayer(const TMediaOptions& options, std::unique_ptr<TAudioOutput> output, int rate, int channels);
    ~TMediaLayer() override;

    TAudioMixer& Mixer() { return mixer_; }
    TOggManager& Ogg() { return *ogg_; }
    TWaveManager& Wave() { return *wave_; }
    TMediaManager& Wmp() { return *wmp_; }
    TMediaManager& Cdda() { return *cdda_; }
    TMidiManager& Midi() { return *midi_; }
    TMediaManager& Video() { return *video_; }
    // In the order ogg, wave, wmp, cdda, midi, video.
    std::vector<TMediaManager*> Managers();

    void SetActive(bool active);
    bool SoundOn() const { return sound_on_; }
    void SetSoundOn(bool on);
    // The MIDI output ports ("MIDIマッパー" first) and the current one, cp932.
    std::vector<std::string> MidiPorts() const;
    std::string MidiPort() const;
    void SetMidiPort(const std::string& cp932_port);

    void Render(float* out, size_t frames) override { mixer_.Mix(out, frames); }

    // {"device": {"rate", "channels"}, "sound_on", "midi_port", "midi_ports", "items": [...]}
    std::string DumpJson();

private:
    std::unique_ptr<TAudioOutput> output_;
    TAudioMixer mixer_;
    std::unique_ptr<TOggManager> ogg_;
    std::unique_ptr<TWaveManager> wave_;
    std::unique_ptr<TMediaManager> wmp_, cdda_, video_;
    std::unique_ptr<TMidiManager> midi_;
    bool sound_on_ = true;
};

// The process-wide layer, or nullptr outside MediaInit .. MediaFinal.
TMediaLayer* MediaLayer();
void MediaInit(const TMediaOptions& options, std::unique_ptr<TAudioOutput> output, int rate = 44100,
               int channels = 2);
void MediaFinal();

}  // namespace mobu
