// The system variables of the media layer: "@SoundON" (the sound switch handed to every
// media manager), "@MidiPort" (the MIDI output port; writing a known name switches) and
// "@MidiPorts" (the port names; the scalar reads the first). Without a media layer they
// pass on to the source they were installed over.
#pragma once

#include "expr/system_variables.h"

namespace mobu {

class TMediaSystemVariables : public TSystemVariables {
public:
    // Installs itself over the table's current source; the destructor puts that back.
    explicit TMediaSystemVariables(TParamCollection& table);
    ~TMediaSystemVariables() override;
    TMediaSystemVariables(const TMediaSystemVariables&) = delete;
    TMediaSystemVariables& operator=(const TMediaSystemVariables&) = delete;

    uint8_t VarType(int index) override { return previous_->VarType(index); }
    TCustomParam* Forward(int index) override { return previous_->Forward(index); }
    int32_t Count(int index) override;
    bool IsArray(int index) override;
    TSystemValue Read(int index, int32_t element) override;
    void Write(int index, int32_t element, const TSystemValue& value) override;

private:
    TParamCollection& table_;
    TSystemVariables* previous_;
};

}  // namespace mobu
