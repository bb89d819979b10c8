// Expression text of any shape: the compiler either refuses it with a message or produces
// operations whose stream reads back to the same bytes, and running them never crashes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    mobu::TBuildMobuParser compiler;
    std::string bytes;
    try {
        compiler.Compile(text);
        bytes = compiler.ToStream();
    } catch (const mobu::EMobuError&) {
        return 0;
    }
    mobu::TMobuParser parser;
    parser.LoadFromBytes(bytes);
    if (parser.ToStream() != bytes) std::abort();
    // Run it against a small table: any failure must end the run quietly.
    mobu::TParamCollection table;
    mobu::TSysFuncMan functions(table);
    table.AddVariable("a", mobu::PT_INT);
    table.AddVariable("s", mobu::PT_STR)->Value()->SetString("abc");
    table.AddVariable("r", mobu::PT_FLOAT);
    parser.Execute(functions);
    return 0;
}
