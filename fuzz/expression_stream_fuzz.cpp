// Compiled-expression streams of any shape: refused with the reader's message, or read into
// operations that write back to exactly the bytes that were read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/mobu_error.h"
#include "expr/mobu_parser.h"

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
    return 0;
}
