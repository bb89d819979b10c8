// The system variables the main window answers: mouse, wheel and keys of the shown base, the
// screen, the title, frames run, dithering, full screen, display modes and the focused
// control. Installed over the function manager's source (the call manager's source goes on
// top of it), and taken out again when destroyed.
#pragma once

#include "expr/system_variables.h"

namespace mobu {

class TFormView;
class TParamCollection;

class TViewSystemVariables : public TSystemVariables {
public:
    TViewSystemVariables(TParamCollection& table, TFormView& view);
    ~TViewSystemVariables() override;
    TViewSystemVariables(const TViewSystemVariables&) = delete;
    TViewSystemVariables& operator=(const TViewSystemVariables&) = delete;

    uint8_t VarType(int index) override { return previous_->VarType(index); }
    TCustomParam* Forward(int index) override { return previous_->Forward(index); }
    int32_t Count(int index) override { return previous_->Count(index); }
    bool IsArray(int index) override { return previous_->IsArray(index); }
    TSystemValue Read(int index, int32_t element) override;
    void Write(int index, int32_t element, const TSystemValue& value) override;

private:
    TParamCollection& table_;
    TFormView& view_;
    TSystemVariables* previous_;
};

}  // namespace mobu
