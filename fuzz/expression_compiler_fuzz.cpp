// Expression text of any shape: the compiler either refuses it with a message or produces
// operations whose stream reads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/mobu_parser.h"

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
    return 0;
}
