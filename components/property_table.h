// The property set as data: for every property id its script name, authoring caption,
// declared type, creation default, the component types that answer it, and the neutral
// value a component that does not answer it reads.
#pragma once

#include <cstdint>
#include <string>

#include "components/component_types.h"
#include "components/property_ids.h"
#include "expr/param_types.h"
#include "core/real80.h"

namespace mobu {

// One property value: int (PT_INT), real (PT_FLOAT), flag (PT_BOOL, in `integer`) or
// string (PT_STR).
struct TPropValue {
    uint8_t type = PT_INT;
    int32_t integer = 0;
    Real real = 0;
    std::string text;

    static TPropValue Int(int32_t v) { TPropValue p; p.type = PT_INT; p.integer = v; return p; }
    static TPropValue Flag(bool v) { TPropValue p; p.type = PT_BOOL; p.integer = v ? 1 : 0; return p; }
    static TPropValue Float(Real v) { TPropValue p; p.type = PT_FLOAT; p.real = v; return p; }
    static TPropValue Text(std::string v) { TPropValue p; p.type = PT_STR; p.text = std::move(v); return p; }

    // Conversions between the four kinds, as the variables convert values.
    int32_t AsInt() const;
    bool AsFlag() const;
    Real AsReal() const;
    std::string AsText() const;
    // The same value converted to `to`.
    TPropValue As(uint8_t to) const;
    friend bool operator==(const TPropValue& a, const TPropValue& b);
};

struct TPropertyInfo {
    int id;
    const char* name;          // "PR_LEFT"
    const char8_t* caption_utf8;  // authoring caption
    uint8_t type;              // declared type: the result type of GetProp
    int32_t default_integer;   // creation default of int and flag properties
    const char* default_text;  // creation default of string properties
    bool creation_parameter;   // false: never applied by a creation command
    uint32_t answered_by;      // bit t set: component type t answers it (all bits: every object)
    int32_t neutral_integer;   // neutral int / flag read of a type that does not answer it
};

// Row of a property id 0..164 (ids outside give row 0).
const TPropertyInfo& PropertyInfo(int id);
// Whether components of type `code` answer the property.
bool TypeAnswers(int code, int id);
// Properties that belong to every visual control (and to the cabinet, and the bases).
bool IsControlProperty(int id);
// The type a value of the property is kept in (PR_ONPLAYING keeps an event string though
// it reads as a flag; PR_HANDLEKEY keeps a flag though it reads as an int).
uint8_t StoredType(int id);
TPropValue DefaultValue(int id);
TPropValue NeutralValue(int id);
// Event properties: the id of a "PR_ON..." property.
bool IsEventProperty(int id);
// Read-only properties (writes are ignored).
bool IsReadOnlyProperty(int id);

}  // namespace mobu
