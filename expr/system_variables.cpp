#include "expr/system_variables.h"

#include "core/mobu_error.h"
#include "expr/font_names.h"
#include "expr/param_collection.h"
#include "expr/param_conversion.h"
#include "expr/param_messages.h"

namespace mobu {

const std::array<TSystemVariableInfo, kSystemVariableCount>& SystemVariableTable()
{
    static const std::array<TSystemVariableInfo, kSystemVariableCount> table = {{
        {"@Result", PT_NONE, true},        {"@LClick", PT_BOOL, true},        {"@RClick", PT_BOOL, true},
        {"@LPush", PT_BOOL, false},        {"@RPush", PT_BOOL, false},        {"@MouseX", PT_INT, true},
        {"@MouseY", PT_INT, true},         {"@TextDelay", PT_INT, true},      {"@HistoryCount", PT_INT, false},
        {"@ParamCount", PT_INT, false},    {"@ParamStr", PT_STR, false},      {"@Sender", PT_STR, false},
        {"@ScrWidth", PT_INT, false},      {"@ScrHeight", PT_INT, false},     {"@TickCount", PT_INT, false},
        {"@PCTickCount", PT_INT, false},   {"@UpdateCount", PT_INT, false},   {"@Year", PT_INT, false},
        {"@Month", PT_INT, false},         {"@Day", PT_INT, false},           {"@Week", PT_INT, false},
        {"@Hour", PT_INT, false},          {"@Min", PT_INT, false},           {"@Sec", PT_INT, false},
        {"@Fonts", PT_STR, false},         {"@FixedFonts", PT_STR, false},    {"@FullScr", PT_BOOL, true},
        {"@Cursor", PT_STR, true},         {"@SelStr", PT_STR, true},         {"@SelIndex", PT_INT, true},
        {"@Pi", PT_FLOAT, false},          {"@CGDither", PT_BOOL, true},      {"@1Hour", PT_FLOAT, false},
        {"@1Min", PT_FLOAT, false},        {"@1Sec", PT_FLOAT, false},        {"@KeyPush", PT_BOOL, false},
        {"@KeyClick", PT_BOOL, false},     {"@DisplayModeCount", PT_INT, false}, {"@DisplayModeIndex", PT_INT, true},
        {"@Title", PT_STR, false},         {"@SoundON", PT_BOOL, true},       {"@ActiveCompo", PT_STR, true},
        {"@KeyRepeat", PT_BOOL, false},    {"@HistoryMaxCount", PT_INT, true}, {"@Temp", PT_NONE, true},
        {"@MidiPort", PT_STR, true},       {"@MidiPorts", PT_STR, false},     {"@WheelDown", PT_BOOL, false},
        {"@WheelUp", PT_BOOL, false},      {"@IsDebug", PT_BOOL, false},      {"@StackCount", PT_INT, false},
    }};
    return table;
}

TSystemValue NeutralSystemValue(uint8_t type)
{
    switch (type) {
    case PT_FLOAT: return Real{0};
    case PT_BOOL: return false;
    case PT_STR: return std::string();
    default: return int32_t{0};
    }
}

// ---- the basic source ----

uint8_t TBasicSystemVariables::VarType(int index)
{
    if (index < 0 || index >= kSystemVariableCount) return PT_INT;
    const uint8_t type = SystemVariableTable()[static_cast<size_t>(index)].type;
    return type == PT_NONE ? PT_INT : type;
}

TCustomParam* TBasicSystemVariables::Forward(int index)
{
    if (index != SV_TEMP) return nullptr;
    TParamCollectionItem* target = table_.TempTarget();
    return target ? target->Value() : nullptr;
}

int32_t TBasicSystemVariables::Count(int index) { return IsKeyArray(index) ? kKeyArraySize : 1; }

bool TBasicSystemVariables::IsArray(int index) { return IsKeyArray(index); }

TSystemValue TBasicSystemVariables::Read(int index, int32_t)
{
    switch (index) {
    case SV_FONTS: return FontNamesText(false);
    case SV_FIXEDFONTS: return FontNamesText(true);
    case SV_DISPLAYMODEINDEX: return int32_t{-1};
    case SV_TEXTDELAY: return table_.TextDelay;
    case SV_CURSOR: return table_.Cursor;
    case SV_SELSTR: return table_.SelStr;
    case SV_SELINDEX: return table_.SelIndex;
    case SV_STACKCOUNT: return table_.CurrentDepth;
    case 30: return Real{3.14159265358979323846264338327950288L};
    case 32: return Real{1.0L / 24};
    case 33: return Real{1.0L / 1440};
    case 34: return Real{1.0L / 86400};
    default: return NeutralSystemValue(VarType(index));
    }
}

void TBasicSystemVariables::Write(int index, int32_t, const TSystemValue& value)
{
    switch (index) {
    case SV_TEXTDELAY: table_.TextDelay = std::get<int32_t>(value); break;
    case SV_CURSOR: table_.Cursor = std::get<std::string>(value); break;
    case SV_SELSTR: table_.SelStr = std::get<std::string>(value); break;
    case SV_SELINDEX: table_.SelIndex = std::get<int32_t>(value); break;
    default: break;
    }
}

// ---- TParamSystem ----

namespace {

struct TAsInteger {
    int32_t operator()(int32_t v) const { return v; }
    int32_t operator()(Real v) const { return RealToInteger(v); }
    int32_t operator()(bool v) const { return v ? 1 : 0; }
    int32_t operator()(const std::string& v) const { return TextToInteger(v); }
};
struct TAsFloat {
    Real operator()(int32_t v) const { return v; }
    Real operator()(Real v) const { return v; }
    Real operator()(bool v) const { return v ? 1 : 0; }
    Real operator()(const std::string& v) const { return TextToReal(v); }
};
struct TAsFlag {
    bool operator()(int32_t v) const { return v != 0; }
    bool operator()(Real v) const { return v != 0; }
    bool operator()(bool v) const { return v; }
    // A system string reads TRUE when it is not empty.
    bool operator()(const std::string& v) const { return !v.empty(); }
};
struct TAsString {
    std::string operator()(int32_t v) const { return IntegerToText(v); }
    std::string operator()(Real v) const { return RealToText(v); }
    std::string operator()(bool v) const { return FlagToText(v); }
    std::string operator()(const std::string& v) const { return v; }
};

// Converts a value into the variable's own type. False when the value leaves the
// variable unchanged (a text that does not parse, written into a number).
bool ConvertForWrite(uint8_t type, const TSystemValue& value, TSystemValue& out)
{
    switch (type) {
    case PT_INT:
        if (auto text = std::get_if<std::string>(&value)) {
            int32_t parsed;
            if (!TryTextToInteger(*text, parsed)) return false;
            out = parsed;
        } else {
            out = std::visit(TAsInteger{}, value);
        }
        return true;
    case PT_FLOAT:
        if (auto text = std::get_if<std::string>(&value)) {
            Real parsed;
            if (!TryTextToReal(*text, parsed)) return false;
            out = parsed;
        } else {
            out = std::visit(TAsFloat{}, value);
        }
        return true;
    case PT_BOOL:
        if (auto text = std::get_if<std::string>(&value)) {
            // TRUE when the text is a non-zero integer.
            int32_t parsed = 0;
            out = TryTextToInteger(*text, parsed) && parsed != 0;
        } else {
            out = std::visit(TAsFlag{}, value);
        }
        return true;
    case PT_STR: out = std::visit(TAsString{}, value); return true;
    default: return false;
    }
}

[[noreturn]] void FailInternal() { throw EMobuError(MsgInternalError()); }

}  // namespace

TSystemVariables& TParamSystem::Source() const { return table_.SystemVariables(); }

TCustomParam* TParamSystem::Forward() const
{
    TCustomParam* target = Source().Forward(index_);
    return target == this ? nullptr : target;
}

// "@Result" without a frame and "@Temp" without a target: every read gives the neutral value.
bool TParamSystem::ForwardsNowhere() const
{
    return SystemVariableTable()[static_cast<size_t>(index_)].type == PT_NONE;
}

int32_t TParamSystem::Count() const
{
    if (TCustomParam* target = Forward()) return target->Count();
    return Source().Count(index_);
}

uint8_t TParamSystem::VarType() const
{
    if (TCustomParam* target = Forward()) return target->VarType();
    return Source().VarType(index_);
}

TSystemValue TParamSystem::ReadValue(int32_t element) const
{

    TSystemValue value = Source().Read(index_, element);
    // A source that answers with another kind is converted to the variable's own type.
    TSystemValue converted;
    if (!ConvertForWrite(VarType(), value, converted)) return NeutralSystemValue(VarType());
    return converted;
}

void TParamSystem::WriteValue(int32_t element, const TSystemValue& value)
{
    TSystemValue converted;
    if (ConvertForWrite(VarType(), value, converted)) Source().Write(index_, element, converted);
}

int32_t TParamSystem::CheckedElement(int32_t i) const
{
    const int32_t count = Count();
    // An array of one element ("@ParamStr" of a call with one parameter) is still an array.
    if (count == 1 && i == 0 && Source().IsArray(index_)) return 0;
    if (count <= 1) return -1;  // not an array: indexed access reads the scalar
    if (i < 0 || i >= count) FailBadSubscript(i);
    return i;
}

bool TParamSystem::GetFlag() const
{
    if (TCustomParam* target = Forward()) return target->GetFlag();
    if (ForwardsNowhere()) return {};
    return std::visit(TAsFlag{}, ReadValue(-1));
}
Real TParamSystem::GetFloat() const
{
    if (TCustomParam* target = Forward()) return target->GetFloat();
    if (ForwardsNowhere()) return {};
    return std::visit(TAsFloat{}, ReadValue(-1));
}
int32_t TParamSystem::GetInteger() const
{
    if (TCustomParam* target = Forward()) return target->GetInteger();
    if (ForwardsNowhere()) return {};
    return std::visit(TAsInteger{}, ReadValue(-1));
}
std::string TParamSystem::GetString() const
{
    if (TCustomParam* target = Forward()) return target->GetString();
    if (ForwardsNowhere()) return {};
    return std::visit(TAsString{}, ReadValue(-1));
}
void TParamSystem::SetFlag(bool value)
{
    if (TCustomParam* target = Forward()) return target->SetFlag(value);
    WriteValue(-1, value);
}
void TParamSystem::SetFloat(Real value)
{
    if (TCustomParam* target = Forward()) return target->SetFloat(value);
    WriteValue(-1, value);
}
void TParamSystem::SetInteger(int32_t value)
{
    if (TCustomParam* target = Forward()) return target->SetInteger(value);
    WriteValue(-1, value);
}
void TParamSystem::SetString(std::string_view value)
{
    if (TCustomParam* target = Forward()) return target->SetString(value);
    WriteValue(-1, std::string(value));
}

int32_t TParamSystem::GetIntegerAt(int32_t i) const
{
    if (TCustomParam* target = Forward()) return target->GetIntegerAt(i);
    if (ForwardsNowhere()) return {};
    return std::visit(TAsInteger{}, ReadValue(CheckedElement(i)));
}
void TParamSystem::SetIntegerAt(int32_t i, int32_t value)
{
    if (TCustomParam* target = Forward()) return target->SetIntegerAt(i, value);
    WriteValue(CheckedElement(i), value);
}
Real TParamSystem::GetFloatAt(int32_t i) const
{
    if (TCustomParam* target = Forward()) return target->GetFloatAt(i);
    if (ForwardsNowhere()) return {};
    return std::visit(TAsFloat{}, ReadValue(CheckedElement(i)));
}
void TParamSystem::SetFloatAt(int32_t i, Real value)
{
    if (TCustomParam* target = Forward()) return target->SetFloatAt(i, value);
    WriteValue(CheckedElement(i), value);
}
bool TParamSystem::GetFlagAt(int32_t i) const
{
    if (TCustomParam* target = Forward()) return target->GetFlagAt(i);
    if (ForwardsNowhere()) return {};
    return std::visit(TAsFlag{}, ReadValue(CheckedElement(i)));
}
void TParamSystem::SetFlagAt(int32_t i, bool value)
{
    if (TCustomParam* target = Forward()) return target->SetFlagAt(i, value);
    WriteValue(CheckedElement(i), value);
}
std::string TParamSystem::GetStringAt(int32_t i) const
{
    if (TCustomParam* target = Forward()) return target->GetStringAt(i);
    if (ForwardsNowhere()) return {};
    return std::visit(TAsString{}, ReadValue(CheckedElement(i)));
}
void TParamSystem::SetStringAt(int32_t i, std::string_view value)
{
    if (TCustomParam* target = Forward()) return target->SetStringAt(i, value);
    WriteValue(CheckedElement(i), std::string(value));
}

int32_t TParamSystem::DimCount() const
{
    if (TCustomParam* target = Forward()) return target->DimCount();
    return 1;
}
int32_t TParamSystem::DimSize(int32_t k) const
{
    if (TCustomParam* target = Forward()) return target->DimSize(k);
    return k == 0 ? Count() : 1;
}
void TParamSystem::SetCount(int32_t n)
{
    if (TCustomParam* target = Forward()) target->SetCount(n);
}
void TParamSystem::SetDims(const std::vector<int32_t>& sizes)
{
    if (TCustomParam* target = Forward()) return target->SetDims(sizes);
    FailInternal();
}
void TParamSystem::FillInteger(int32_t value)
{
    if (TCustomParam* target = Forward()) return target->FillInteger(value);
    FailInternal();
}
void TParamSystem::FillFloat(Real value)
{
    if (TCustomParam* target = Forward()) return target->FillFloat(value);
    FailInternal();
}
void TParamSystem::FillFlag(bool value)
{
    if (TCustomParam* target = Forward()) return target->FillFlag(value);
    FailInternal();
}
void TParamSystem::FillString(std::string_view value)
{
    if (TCustomParam* target = Forward()) return target->FillString(value);
    FailInternal();
}
void TParamSystem::CopyFrom(const TCustomParam& other)
{
    if (TCustomParam* target = Forward()) return target->CopyFrom(other);
    FailInternal();
}
void TParamSystem::SaveToStream(ByteWriter&) const { FailInternal(); }
void TParamSystem::LoadFromStream(ByteReader&) { FailInternal(); }

const TCustomParam* TParamSystem::Concrete() const
{
    if (TCustomParam* target = Forward()) return target->Concrete();
    return this;
}

}  // namespace mobu
