#include "expr/dbs/db_json.h"

#include "expr/dbs/db_manager.h"
#include "expr/variables_json.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

const char* TypeName(uint8_t type)
{
    switch (type) {
    case kDBInteger: return "int";
    case kDBReal: return "real";
    case kDBFlag: return "flag";
    default: return "string";
    }
}

void WriteValue(std::ostream& out, const TDBField& field, const uint8_t* record)
{
    switch (field.type) {
    case kDBInteger: out << DBReadInteger(field, record); break;
    case kDBReal: out << RealToJson(DBReadReal(field, record)); break;
    case kDBFlag: out << (DBReadFlag(field, record) ? "true" : "false"); break;
    default: WriteJsonString(out, Cp932ToUtf8(DBFieldText(field, record))); break;
    }
}

void WriteHex(std::ostream& out, const uint8_t* bytes, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    out << '"';
    for (size_t i = 0; i < size; ++i) out << digits[bytes[i] >> 4] << digits[bytes[i] & 15];
    out << '"';
}

}  // namespace

void WriteTablesJson(const TDBManager& database, std::ostream& out)
{
    out << "{\"active\": ";
    WriteJsonString(out, database.Active() ? Cp932ToUtf8(database.Active()->Name()) : std::string());
    out << ", \"tables\": [";
    for (size_t t = 0; t < database.Count(); ++t) {
        const TDBTable& table = database.Table(t);
        const auto& fields = table.Fields().Fields();
        out << (t ? ", " : "") << "{\"name\": ";
        WriteJsonString(out, Cp932ToUtf8(table.Name()));
        out << ", \"status\": " << (table.Status() ? "true" : "false") << ", \"current\": " << table.RecNo() << ", \"fields\": [";
        for (size_t f = 0; f < fields.size(); ++f) {
            out << (f ? ", " : "") << "{\"name\": ";
            WriteJsonString(out, Cp932ToUtf8(fields[f].name));
            out << ", \"type\": \"" << TypeName(fields[f].type) << "\", \"width\": " << fields[f].width << "}";
        }
        out << "], \"records\": [";
        for (int32_t r = 0; r < table.RecordCount(); ++r) {
            out << (r ? ", " : "") << "[";
            for (size_t f = 0; f < fields.size(); ++f) {
                if (f) out << ", ";
                WriteValue(out, fields[f], table.Record(r));
            }
            out << "]";
        }
        out << "], \"raw\": [";
        for (int32_t r = 0; r < table.RecordCount(); ++r) {
            if (r) out << ", ";
            WriteHex(out, table.Record(r), table.Fields().RecordWidth());
        }
        out << "]}";
    }
    out << "]}\n";
}

}  // namespace mobu
