#include "media/media_layer.h"

#include <cstdio>

#include "core/debug_trace.h"
#include "core/script_log.h"
#include "media/mixer_sound_item.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::unique_ptr<TMediaLayer>& Layer()
{
    static std::unique_ptr<TMediaLayer> layer;
    return layer;
}

void JsonString(std::string& out, const std::string& utf8)
{
    out += '"';
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

const char* Bool(bool value) { return value ? "true" : "false"; }

}  // namespace

TMediaLayer::TMediaLayer(const TMediaOptions& options, std::unique_ptr<TAudioOutput> output, int rate, int channels)
    : output_(std::move(output)),
      mixer_(output_ ? output_->Rate() : rate, output_ ? output_->Channels() : channels)
{
    DebugTrace("MediaInit:7");
    // The stream callbacks, the notification queue and the decoding threads of the
    // in-process library are not built: Ogg and wave decode inside the mixer.
    DebugTrace("MediaInit:8");
    DebugTrace("MediaInit:9");
    // No display manager: the front ends present frames themselves.
    DebugTrace("MediaInit:10");
    video_ = std::make_unique<TVideoManager>(mixer_, options.UseWMP);
    DebugTrace("MediaInit:11");
    wmp_ = std::make_unique<TWmpManager>(mixer_);
    DebugTrace("MediaInit:12");
    ogg_ = std::make_unique<TOggManager>(mixer_, options.DirectSound);
    wave_ = std::make_unique<TWaveManager>(mixer_);
    DebugTrace("MediaInit:13");
    cdda_ = std::make_unique<TCddaManager>(mixer_, options.BaseFolder);
    DebugTrace("MediaInit:14");
    midi_ = std::make_unique<TMidiManager>(mixer_);
    DebugTrace("MediaInit:15");
    if (output_) output_->Start(this);
    DebugTrace("MediaInit:16");
}

TMediaLayer::~TMediaLayer()
{
    if (output_) output_->Stop();
    DebugTrace("VideoMan.Free");
    video_.reset();
    DebugTrace("WaveMan.Free");
    wave_.reset();
    DebugTrace("WmpMan.Free");
    wmp_.reset();
    DebugTrace("OggMan.Free");
    ogg_.reset();
    DebugTrace("CddaMan.Free");
    cdda_.reset();
    DebugTrace("MidiMan.Free");
    midi_.reset();
    DebugTrace("mobuFinal");
    output_.reset();
}

std::vector<TMediaManager*> TMediaLayer::Managers()
{
    return {ogg_.get(), wave_.get(), wmp_.get(), cdda_.get(), midi_.get(), video_.get()};
}

void TMediaLayer::SetActive(bool active)
{
    for (TMediaManager* manager : Managers()) manager->SetActive(active);
}

void TMediaLayer::SetSoundOn(bool on)
{
    sound_on_ = on;
    for (TMediaManager* manager : Managers()) manager->SetSoundOn(on);
}

std::vector<std::string> TMediaLayer::MidiPorts() const { return midi_->PortNames(); }

std::string TMediaLayer::MidiPort() const { return midi_->PortNames().at(static_cast<size_t>(midi_->Port())); }

void TMediaLayer::SetMidiPort(const std::string& port)
{
    std::vector<std::string> ports = MidiPorts();
    for (size_t i = 0; i < ports.size(); ++i) {
        if (ports[i] == port) midi_->SetPort(static_cast<int>(i));
    }
}

std::string TMediaLayer::DumpJson()
{
    std::string out = "{\"device\": {\"rate\": " + std::to_string(mixer_.Rate()) +
                      ", \"channels\": " + std::to_string(mixer_.Channels()) + "}, \"sound_on\": " + Bool(sound_on_) +
                      ", \"midi_port\": ";
    JsonString(out, Cp932ToUtf8(MidiPort()));
    out += ", \"midi_ports\": [";
    std::vector<std::string> ports = MidiPorts();
    for (size_t i = 0; i < ports.size(); ++i) {
        if (i > 0) out += ", ";
        JsonString(out, Cp932ToUtf8(ports[i]));
    }
    out += "], \"items\": [";
    bool first = true;
    for (TMediaManager* manager : Managers()) {
        for (int i = 0; i < manager->Count(); ++i) {
            TDMediaItem* item = manager->Items(i);
            auto* video = dynamic_cast<TAvVideoItem*>(item);
            auto* sound = video != nullptr ? &video->Sound() : dynamic_cast<TMixerSoundItem*>(item);
            if (sound == nullptr) continue;
            TVoiceState state = sound->State();
            const char* cls = dynamic_cast<TOggItem*>(item)       ? "TOggItem"
                              : dynamic_cast<TOggWaveItem*>(item) ? "TOggWaveItem"
                              : dynamic_cast<TWmpItem*>(item)     ? "TWmpItem"
                              : dynamic_cast<TCddaItem*>(item)    ? "TCddaItem"
                              : dynamic_cast<TMidiItem*>(item)    ? "TMidiItem"
                              : dynamic_cast<TWmVideoItem*>(item) ? "TWmVideoItem"
                              : dynamic_cast<TDsVideoItem*>(item) ? "TDsVideoItem"
                                                                  : "TWaveItem";
            if (!first) out += ", ";
            first = false;
            out += "{\"manager\": ";
            JsonString(out, manager->Kind());
            out += ", \"class\": ";
            JsonString(out, cls);
            out += ", \"source\": ";
            JsonString(out, Cp932ToUtf8(manager->SourceOf(i)));
            out += std::string(", \"playing\": ") + Bool(state.Playing && !state.Paused) + ", \"paused\": " +
                   Bool(state.Paused) + ", \"ended\": " + Bool(state.Ended) + ", \"suspended\": " +
                   Bool(item->Suspended) + ", \"position_ms\": " + std::to_string(state.PositionMs) +
                   ", \"length_ms\": " + std::to_string(state.LengthMs) + ", \"volume\": " +
                   std::to_string(state.Volume) + ", \"pan\": " + std::to_string(state.Pan) + ", \"repeat\": " +
                   Bool(state.Repeat) + ", \"repeat_pos_ms\": " + std::to_string(state.RepeatPosMs);
            if (video != nullptr) {
                out += ", \"width\": " + std::to_string(video->GetSourceWidth()) + ", \"height\": " +
                       std::to_string(video->GetSourceHeight()) + ", \"visible\": " + Bool(video->GetVisible());
            }
            out += "}";
        }
    }
    out += "]}";
    return out;
}

TMediaLayer* MediaLayer() { return Layer().get(); }

void MediaInit(const TMediaOptions& options, std::unique_ptr<TAudioOutput> output, int rate, int channels)
{
    Layer().reset();
    Layer() = std::make_unique<TMediaLayer>(options, std::move(output), rate, channels);
}

void MediaFinal() { Layer().reset(); }

}  // namespace mobu
