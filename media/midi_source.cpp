#include "media/midi_source.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mobu {
namespace {

std::string& SoundFontSetting()
{
    static std::string path = "/usr/share/sounds/sf2/default-GM.sf2";
    return path;
}

void QuietFluid()
{
    static const bool done = [] {
        // FluidSynth's notes about sound fonts go nowhere; the player reports what matters.
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)done;
}

}  // namespace

const std::string& DefaultSoundFont() { return SoundFontSetting(); }
void SetDefaultSoundFont(const std::string& path) { SoundFontSetting() = path; }

struct TMidiSource::Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    ~Synth()
    {
        if (synth != nullptr) delete_fluid_synth(synth);
        if (settings != nullptr) delete_fluid_settings(settings);
    }
};

TMidiSource::TMidiSource(TMidiSong song, const std::string& sound_font_path)
    : song_(std::move(song)), synth_(std::make_unique<Synth>())
{
    QuietFluid();
    length_ = song_.LengthMicros * kMidiRate / 1000000;
    synth_->settings = new_fluid_settings();
    if (synth_->settings != nullptr) {
        fluid_settings_setnum(synth_->settings, "synth.sample-rate", kMidiRate);
        fluid_settings_setnum(synth_->settings, "synth.gain", kMidiSynthGain);
        fluid_settings_setint(synth_->settings, "synth.threadsafe-api", 0);
        fluid_settings_setint(synth_->settings, "synth.cpu-cores", 1);
        synth_->synth = new_fluid_synth(synth_->settings);
    }
    SetSoundFont(sound_font_path);
}

TMidiSource::~TMidiSource() = default;

void TMidiSource::SetSoundFont(const std::string& path)
{
    if (synth_->synth == nullptr) return;
    if (font_id_ >= 0) fluid_synth_sfunload(synth_->synth, static_cast<unsigned>(font_id_), 1);
    font_id_ = -1;
    if (!path.empty()) {
        font_id_ = fluid_synth_sfload(synth_->synth, path.c_str(), 1);
        if (font_id_ < 0) std::fprintf(stderr, "MIDI: cannot load the sound font %s: the music plays silently\n", path.c_str());
    }
    Seek(position_);
}

int64_t TMidiSource::FrameOf(const TMidiEvent& event) const { return event.Micros * kMidiRate / 1000000; }

void TMidiSource::Apply(const TMidiEvent& e, bool notes)
{
    fluid_synth_t* s = synth_->synth;
    if (s == nullptr) return;
    int channel = e.Status & 0x0F;
    switch (e.Status & 0xF0) {
    case 0x80:
        if (notes) fluid_synth_noteoff(s, channel, e.Data1);
        break;
    case 0x90:
        if (!notes) break;
        if (e.Data2 == 0) fluid_synth_noteoff(s, channel, e.Data1);
        else fluid_synth_noteon(s, channel, e.Data1, e.Data2);
        break;
    case 0xA0:
        if (notes) fluid_synth_key_pressure(s, channel, e.Data1, e.Data2);
        break;
    case 0xB0: fluid_synth_cc(s, channel, e.Data1, e.Data2); break;
    case 0xC0: fluid_synth_program_change(s, channel, e.Data1); break;
    case 0xD0: fluid_synth_channel_pressure(s, channel, e.Data1); break;
    case 0xE0: fluid_synth_pitch_bend(s, channel, e.Data1 | (e.Data2 << 7)); break;
    case 0xF0: {
        std::string data = e.SysEx;
        if (!data.empty() && static_cast<uint8_t>(data.back()) == 0xF7) data.pop_back();
        if (!data.empty()) fluid_synth_sysex(s, data.data(), static_cast<int>(data.size()), nullptr, nullptr, nullptr, 0);
        break;
    }
    default: break;
    }
}

size_t TMidiSource::Read(float* out, size_t frames)
{
    size_t done = 0;
    while (done < frames && position_ < length_) {
        while (next_ < song_.Events.size() && FrameOf(song_.Events[next_]) <= position_) Apply(song_.Events[next_++], true);
        int64_t until = next_ < song_.Events.size() ? FrameOf(song_.Events[next_]) : length_;
        until = std::min(until, length_);
        size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames - done), until - position_));
        if (n == 0) continue;
        float* at = out + done * 2;
        if (synth_->synth != nullptr) {
            fluid_synth_write_float(synth_->synth, static_cast<int>(n), at, 0, 2, at, 1, 2);
        } else {
            std::fill(at, at + n * 2, 0.0f);
        }
        position_ += static_cast<int64_t>(n);
        done += n;
    }
    return done;
}

void TMidiSource::Seek(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, length_);
    if (synth_->synth != nullptr) {
        fluid_synth_all_sounds_off(synth_->synth, -1);
        fluid_synth_system_reset(synth_->synth);
    }
    next_ = 0;
    // Everything but notes up to the new position: the song's programs and controllers.
    while (next_ < song_.Events.size() && FrameOf(song_.Events[next_]) < frame) Apply(song_.Events[next_++], false);
    position_ = frame;
}

}  // namespace mobu
