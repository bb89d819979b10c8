// The system variables that describe the current call ("@Result", "@ParamCount",
// "@ParamStr", "@Sender"): a source of system variables that answers them from the call
// manager and passes every other variable on to the source it was installed over.
#pragma once

#include "expr/system_variables.h"

namespace mobu {

class TCallMan;

class TCallSystemVariables : public TSystemVariables {
public:
    // Installs itself over the table's current source; the destructor puts that back.
    TCallSystemVariables(TParamCollection& table, TCallMan& calls);
    ~TCallSystemVariables() override;
    TCallSystemVariables(const TCallSystemVariables&) = delete;
    TCallSystemVariables& operator=(const TCallSystemVariables&) = delete;

    uint8_t VarType(int index) override;
    TCustomParam* Forward(int index) override;
    int32_t Count(int index) override;
    bool IsArray(int index) override;
    TSystemValue Read(int index, int32_t element) override;
    void Write(int index, int32_t element, const TSystemValue& value) override;

private:
    TParamCollection& table_;
    TCallMan& calls_;
    TSystemVariables* previous_;
};

}  // namespace mobu
