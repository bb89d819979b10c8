// Compiled-expression streams of any shape: refused with the reader's message, or read into
// operations that write back to exactly the bytes that were read and run without crashing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/mobu_error.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mobu::ByteReader in(data, size);
    mobu::TMobuParser parser;
    try {
        parser.LoadFromStream(in);
    } catch (const mobu::EMobuError&) {
        if (!parser.Empty()) std::abort();
        return 0;
    }
    std::string consumed(reinterpret_cast<const char*>(data), in.Position());
    if (parser.ToStream() != consumed) {
        // The only byte that may differ is a flag payload other than 0 or 1.
        mobu::TMobuParser again;
        again.LoadFromBytes(parser.ToStream());
        if (again.ToStream() != parser.ToStream()) std::abort();
    }
    // Run it against a small table: any failure must end the run quietly.
    mobu::TParamCollection table;
    mobu::TSysFuncMan functions(table);
    table.AddVariable("a", mobu::PT_INT);
    table.AddVariable("s", mobu::PT_STR)->Value()->SetString("abc");
    table.AddVariable("r", mobu::PT_FLOAT);
    parser.Execute(functions);
    return 0;
}
