#include "expr/variables_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/mobu_error.h"
#include "expr/param_collection.h"
#include "platform/text_encoding.h"

namespace mobu {

namespace {

const char* ScopeName(const TParamCollectionItem& item)
{
    if (item.IsSystem()) return "system";
    switch (item.Scope()) {
    case TVarScope::Status: return "status";
    case TVarScope::Local: return "local";
    case TVarScope::AutoDestroy: return "auto";
    default: return "global";
    }
}

const char* TypeName(uint8_t type)
{
    switch (type) {
    case PT_INT: return "int";
    case PT_FLOAT: return "real";
    case PT_BOOL: return "flag";
    default: return "string";
    }
}

void WriteElement(std::ostream& out, const TCustomParam& value, uint8_t type, int32_t index)
{
    // index -1: the scalar
    switch (type) {
    case PT_INT: out << (index < 0 ? value.GetInteger() : value.GetIntegerAt(index)); break;
    case PT_FLOAT: out << RealToJson(index < 0 ? value.GetFloat() : value.GetFloatAt(index)); break;
    case PT_BOOL: out << ((index < 0 ? value.GetFlag() : value.GetFlagAt(index)) ? "true" : "false"); break;
    default: WriteJsonString(out, Cp932ToUtf8(index < 0 ? value.GetString() : value.GetStringAt(index))); break;
    }
}

void WriteValue(std::ostream& out, const TCustomParam& value, uint8_t type)
{
    const bool array = !value.Dims.empty() || value.Count() != 1;
    if (!array) {
        out << ", \"value\": ";
        WriteElement(out, value, type, -1);
        return;
    }
    out << ", \"dims\": [";
    if (value.Dims.empty()) {
        out << value.Count();
    } else {
        for (size_t k = 0; k < value.Dims.size(); ++k) out << (k ? ", " : "") << value.Dims[k];
    }
    out << "], \"value\": [";
    for (int32_t i = 0; i < value.Count(); ++i) {
        if (i) out << ", ";
        WriteElement(out, value, type, i);
    }
    out << ']';
}

}  // namespace

void WriteJsonString(std::ostream& out, const std::string& utf8)
{
    out << '"';
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out << "\\\""; break;
        case '\\': out << "\\\\"; break;
        case '\n': out << "\\n"; break;
        case '\r': out << "\\r"; break;
        case '\t': out << "\\t"; break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out << escaped;
            } else {
                out << c;
            }
        }
    }
    out << '"';
}

std::string RealToJson(Real value)
{
    if (std::isnan(value)) return "\"NaN\"";
    if (std::isinf(value)) return value < 0 ? "\"-Infinity\"" : "\"Infinity\"";
    char buffer[64];
    for (int digits = 15; digits <= 21; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, value);
        if (std::strtold(buffer, nullptr) == value) break;
    }
    return buffer;
}

void WriteVariablesJson(const TParamCollection& table, std::ostream& out)
{
    out << "[";
    bool first = true;
    for (int32_t index = 0; index < table.Count(); ++index) {
        const TParamCollectionItem& item = *table.Items(index);
        if (item.IsTemporary() || item.VarType() == PT_NONE || !item.Value()) continue;
        // Each record is built apart so that a system variable whose state cannot be read
        // leaves no half-written record behind.
        std::ostringstream record;
        try {
            const uint8_t type = item.VarType();
            record << "{\"name\": ";
            WriteJsonString(record, Cp932ToUtf8(item.Name()));
            record << ", \"scope\": \"" << ScopeName(item) << "\", \"type\": \"" << TypeName(type) << '"';
            WriteValue(record, *item.Value(), type);
            record << '}';
        } catch (const EMobuError&) {
            continue;
        }
        out << (first ? "\n" : ",\n") << record.str();
        first = false;
    }
    out << "\n]\n";
}

}  // namespace mobu
