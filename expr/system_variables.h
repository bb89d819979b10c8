// System variables ("@Result" ... "@StackCount"): items of the variable table whose value is
// a TParamSystem. Their values come from program state through TSystemVariables, the seam
// the built-in function manager fills in; TParamSystem applies the system variables' own
// conversion rules on top of it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "expr/custom_param.h"
#include "expr/param_types.h"

namespace mobu {

class TParamCollection;

struct TSystemVariableInfo {
    const char* name;
    uint8_t type;    // PT_INT, PT_FLOAT, PT_BOOL or PT_STR; PT_NONE: the type of what it forwards to
    bool writable;
};

// The 51 system variables in index order.
const std::array<TSystemVariableInfo, kSystemVariableCount>& SystemVariableTable();

enum : int {
    SV_RESULT = 0,
    SV_LCLICK = 1,
    SV_RCLICK = 2,
    SV_LPUSH = 3,
    SV_RPUSH = 4,
    SV_MOUSEX = 5,
    SV_MOUSEY = 6,
    SV_HISTORYCOUNT = 8,
    SV_SCRWIDTH = 12,
    SV_SCRHEIGHT = 13,
    SV_UPDATECOUNT = 16,
    SV_FONTS = 24,
    SV_FIXEDFONTS = 25,
    SV_FULLSCR = 26,
    SV_CGDITHER = 31,
    SV_KEYPUSH = 35,
    SV_KEYCLICK = 36,
    SV_DISPLAYMODECOUNT = 37,
    SV_DISPLAYMODEINDEX = 38,
    SV_TITLE = 39,
    SV_SOUNDON = 40,
    SV_ACTIVECOMPO = 41,
    SV_KEYREPEAT = 42,
    SV_HISTORYMAXCOUNT = 43,
    SV_MIDIPORT = 45,
    SV_MIDIPORTS = 46,
    SV_WHEELDOWN = 47,
    SV_WHEELUP = 48,
    SV_ISDEBUG = 49,
    SV_TEXTDELAY = 7,
    SV_STACKCOUNT = 50,
    SV_CURSOR = 27,
    SV_SELSTR = 28,
    SV_SELINDEX = 29,
    SV_TEMP = 44,
};

// A raw system value of the variable's own type.
using TSystemValue = std::variant<int32_t, Real, bool, std::string>;

// The program state behind the system variables.
class TSystemVariables {
public:
    virtual ~TSystemVariables() = default;
    // Type code of the variable (PT_INT ... PT_STR).
    virtual uint8_t VarType(int index) = 0;
    // For variables that forward every operation ("@Result", "@Temp"): the value they
    // forward to, or none.
    virtual TCustomParam* Forward(int) { return nullptr; }
    // Element count (1 for a scalar).
    virtual int32_t Count(int) { return 1; }
    // Whether the variable is an array whatever its count (an array of one element is
    // indexed, not read as its scalar).
    virtual bool IsArray(int) { return false; }
    // Element `element` of an array variable, or the scalar when element is -1. The value
    // must be of the variable's own type.
    virtual TSystemValue Read(int index, int32_t element) = 0;
    // Writes a value already converted to the variable's own type; read-only variables
    // ignore it.
    virtual void Write(int index, int32_t element, const TSystemValue& value) = 0;
};

// The source the table starts with: the storage the table keeps ("@TextDelay", "@Cursor",
// "@SelStr", "@SelIndex"), "@Temp", "@StackCount", the constants, and neutral values for
// the rest (no input, no screen, no frame).
class TBasicSystemVariables : public TSystemVariables {
public:
    explicit TBasicSystemVariables(TParamCollection& table) : table_(table) {}
    uint8_t VarType(int index) override;
    TCustomParam* Forward(int index) override;
    int32_t Count(int index) override;
    bool IsArray(int index) override;
    TSystemValue Read(int index, int32_t element) override;
    void Write(int index, int32_t element, const TSystemValue& value) override;

protected:
    TParamCollection& table_;
};

// The key arrays ("@KeyPush", "@KeyClick", "@KeyRepeat"): 256 virtual keys, then the wheel
// turned down and up.
inline constexpr int32_t kKeyArraySize = 258;
inline constexpr int32_t kKeyWheelDown = 256;
inline constexpr int32_t kKeyWheelUp = 257;
inline bool IsKeyArray(int index) { return index == SV_KEYPUSH || index == SV_KEYCLICK || index == SV_KEYREPEAT; }

// A neutral value of the type code.
TSystemValue NeutralSystemValue(uint8_t type);

class TParamSystem final : public TCustomParam {
public:
    TParamSystem(TParamCollection& table, int index) : table_(table), index_(index) {}
    int Index() const { return index_; }

    int32_t Count() const override;
    uint8_t VarType() const override;

    bool GetFlag() const override;
    Real GetFloat() const override;
    int32_t GetInteger() const override;
    std::string GetString() const override;
    void SetFlag(bool value) override;
    void SetFloat(Real value) override;
    void SetInteger(int32_t value) override;
    void SetString(std::string_view value) override;

    int32_t GetIntegerAt(int32_t i) const override;
    void SetIntegerAt(int32_t i, int32_t value) override;
    Real GetFloatAt(int32_t i) const override;
    void SetFloatAt(int32_t i, Real value) override;
    bool GetFlagAt(int32_t i) const override;
    void SetFlagAt(int32_t i, bool value) override;
    std::string GetStringAt(int32_t i) const override;
    void SetStringAt(int32_t i, std::string_view value) override;

    int32_t DimCount() const override;
    int32_t DimSize(int32_t k) const override;
    void SetCount(int32_t n) override;
    void SetDims(const std::vector<int32_t>& sizes) override;
    void FillInteger(int32_t value) override;
    void FillFloat(Real value) override;
    void FillFlag(bool value) override;
    void FillString(std::string_view value) override;
    void CopyFrom(const TCustomParam& other) override;
    void DropDims() override {}
    void SaveToStream(ByteWriter& out) const override;
    void LoadFromStream(ByteReader& in) override;
    const TCustomParam* Concrete() const override;

private:
    TSystemVariables& Source() const;
    TCustomParam* Forward() const;
    bool ForwardsNowhere() const;
    TSystemValue ReadValue(int32_t element) const;
    int32_t CheckedElement(int32_t i) const;
    void WriteValue(int32_t element, const TSystemValue& value);

    TParamCollection& table_;
    int index_;
};

}  // namespace mobu
