// Script page files: any bytes either load or are refused with an error; a page that loads
// is disassembled, and what the assembler makes of the listing loads again to the same
// commands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "platform/message_box.h"
#include "script/page.h"
#include "script/page_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    static const bool quiet = [] {
        SetMessageBoxPresenter([](const MessageBoxRequest&) { return MessageResult::Ok; });
        return true;
    }();
    (void)quiet;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TPage page;
    try {
        page.LoadFromBytes("f.msb", bytes);
    } catch (const EMobuError&) {
        return 0;
    }
    QuitRequested = false;
    (void)page.FindLabel("x");
    if (page.PageVersion < kOldestPageVersion || page.PageVersion > kNewestPageVersion) return 0;
    std::string listing;
    try {
        listing = DisassemblePage(bytes, "f.msb");
    } catch (const EMobuError&) {
        std::abort();  // a page that loads always prints
    }
    TPageSourceOptions options;
    options.page_name = "f.msb";
    std::string again;
    try {
        again = AssemblePage(listing, options);
    } catch (const EMobuError&) {
        return 0;  // e.g. a jump target naming a label of another page
    }
    TPage reloaded;
    reloaded.LoadFromBytes("f.msb", again);
    if (reloaded.Count() != page.Count()) std::abort();
    if (DisassemblePage(again, "f.msb") != listing) std::abort();
    return 0;
}
