#include "script/media_system_variables.h"

#include "expr/param_collection.h"
#include "media/media_layer.h"

namespace mobu {
namespace {

enum : int { kSoundOn = 40, kMidiPort = 45, kMidiPorts = 46 };

}  // namespace

TMediaSystemVariables::TMediaSystemVariables(TParamCollection& table)
    : table_(table), previous_(&table.SystemVariables())
{
    table_.SetSystemVariables(this);
}

TMediaSystemVariables::~TMediaSystemVariables()
{
    if (&table_.SystemVariables() == this) table_.SetSystemVariables(previous_);
}

int32_t TMediaSystemVariables::Count(int index)
{
    TMediaLayer* media = MediaLayer();
    if (index == kMidiPorts && media != nullptr) return static_cast<int32_t>(media->MidiPorts().size());
    return previous_->Count(index);
}

bool TMediaSystemVariables::IsArray(int index)
{
    return (index == kMidiPorts && MediaLayer() != nullptr) || previous_->IsArray(index);
}

TSystemValue TMediaSystemVariables::Read(int index, int32_t element)
{
    TMediaLayer* media = MediaLayer();
    if (media == nullptr) return previous_->Read(index, element);
    switch (index) {
    case kSoundOn: return media->SoundOn();
    case kMidiPort: return media->MidiPort();
    case kMidiPorts: {
        std::vector<std::string> ports = media->MidiPorts();
        if (element < 0) element = 0;
        return static_cast<size_t>(element) < ports.size() ? ports[static_cast<size_t>(element)] : std::string();
    }
    default: return previous_->Read(index, element);
    }
}

void TMediaSystemVariables::Write(int index, int32_t element, const TSystemValue& value)
{
    TMediaLayer* media = MediaLayer();
    if (media != nullptr && index == kSoundOn) {
        if (const bool* on = std::get_if<bool>(&value)) media->SetSoundOn(*on);
        return;
    }
    if (media != nullptr && index == kMidiPort) {
        if (const std::string* port = std::get_if<std::string>(&value)) media->SetMidiPort(*port);
        return;
    }
    previous_->Write(index, element, value);
}

}  // namespace mobu
