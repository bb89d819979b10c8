// TSV loading of the table database: arbitrary bytes as the lines of a TSV file. Whatever
// the header and records hold, the table stays consistent: the record width is the sum of
// the field widths, every string reads within its field, and the table saves and loads again
// to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/dbs/db_table.h"
#include "expr/dbs/db_tsv.h"
#include "expr/script_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    TDBTable table("t", false);
    table.LoadTsv(script_text::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size)));
    size_t width = 0;
    for (const TDBField& field : table.Fields().Fields()) {
        if (field.offset != width || field.width < 1) std::abort();
        width += static_cast<size_t>(field.width);
    }
    if (width != table.Fields().RecordWidth()) std::abort();
    for (int32_t r = 0; r < table.RecordCount(); ++r) {
        table.SetRecNo(r);
        for (const TDBField& field : table.Fields().Fields()) {
            std::string text;
            if (!table.GetText(field.name, text)) std::abort();
            if (field.type == kDBString && text.size() >= static_cast<size_t>(field.width)) std::abort();
        }
    }
    ByteWriter first;
    table.SaveToStream(first);
    TDBTable copy("", false);
    ByteReader in(first.Bytes());
    copy.LoadFromStream(in);
    ByteWriter second;
    copy.SaveToStream(second);
    if (!in.AtEnd() || first.Bytes() != second.Bytes()) std::abort();
    return 0;
}
