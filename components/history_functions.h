// The built-in functions and system variables of the message history and the saved-game
// captions: GetHistoryCount, GetHistoryMaxCount, SetHistoryMaxCount, GetSaveCaption,
// ListSaveCaption, "@HistoryCount" (read only) and "@HistoryMaxCount" (read and write), both
// of the default history format.
#pragma once

#include "expr/system_variables.h"

namespace mobu {

class TSysFuncMan;
class TParamCollection;

void InstallHistoryFunctions(TSysFuncMan& functions);
void RemoveHistoryFunctions(TSysFuncMan& functions);

class THistorySystemVariables : public TSystemVariables {
public:
    // Installs itself over the table's current source; the destructor puts that back.
    explicit THistorySystemVariables(TParamCollection& table);
    ~THistorySystemVariables() override;
    THistorySystemVariables(const THistorySystemVariables&) = delete;
    THistorySystemVariables& operator=(const THistorySystemVariables&) = delete;

    uint8_t VarType(int index) override { return previous_->VarType(index); }
    TCustomParam* Forward(int index) override { return previous_->Forward(index); }
    int32_t Count(int index) override { return previous_->Count(index); }
    bool IsArray(int index) override { return previous_->IsArray(index); }
    TSystemValue Read(int index, int32_t element) override;
    void Write(int index, int32_t element, const TSystemValue& value) override;

private:
    TParamCollection& table_;
    TSystemVariables* previous_;
};

}  // namespace mobu
