#include "components/property_table.h"
#include "expr/param_conversion.h"

namespace mobu {

int32_t TPropValue::AsInt() const
{
    switch (type) {
        case PT_FLOAT: return RealToInteger(real);
        case PT_STR: return TextToInteger(text);
        default: return integer;
    }
}

bool TPropValue::AsFlag() const
{
    switch (type) {
        case PT_FLOAT: return real != 0;
        case PT_STR: return TextToFlag(text);
        default: return integer != 0;
    }
}

Real TPropValue::AsReal() const
{
    switch (type) {
        case PT_FLOAT: return real;
        case PT_STR: return TextToReal(text);
        default: return integer;
    }
}

std::string TPropValue::AsText() const
{
    switch (type) {
        case PT_FLOAT: return RealToText(real);
        case PT_STR: return text;
        case PT_BOOL: return FlagToText(integer != 0);
        default: return IntegerToText(integer);
    }
}

TPropValue TPropValue::As(uint8_t to) const
{
    switch (to) {
        case PT_FLOAT: return Float(AsReal());
        case PT_STR: return Text(AsText());
        case PT_BOOL: return Flag(AsFlag());
        default: return Int(AsInt());
    }
}

bool operator==(const TPropValue& a, const TPropValue& b)
{
    if (a.type != b.type) return false;
    switch (a.type) {
        case PT_FLOAT: return a.real == b.real;
        case PT_STR: return a.text == b.text;
        default: return a.integer == b.integer;
    }
}

}  // namespace mobu
