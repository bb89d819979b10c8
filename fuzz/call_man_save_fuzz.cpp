// The saved form of the call manager (inside a game save): any bytes are refused with the
// save's message or loaded into a state the interpreter can run for a few frames and write
// back, never a crash or a hang. The first byte picks the save version (107-140).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "platform/message_box.h"
#include "script/call_man.h"
#include "script/page.h"
#include "script/page_source.h"

namespace {

// Two small pages the saved frames may name: a loop with a wait, and a called page.
const std::map<std::string, std::string>& Pages()
{
    static const std::map<std::string, std::string> pages = [] {
        std::map<std::string, std::string> assembled;
        mobu::TPageSourceOptions options;
        options.page_name = "main.msb";
        assembled["main.msb"] = mobu::AssemblePage(
            "VarNew name: n; type: int; value: 0; continue: yes\n"
            "While cond: n < 3; continue: yes\n"
            "  Calc expr: n = n + 1; continue: yes\n"
            "  Wait time: 30\n"
            "WhileLoop\n"
            "Call page: sub.msb; result: n; args: 2; continue: yes\n"
            "Wait\n",
            options);
        options.page_name = "sub.msb";
        assembled["sub.msb"] = mobu::AssemblePage(
            "page result: int\nCalc expr: @Result = @ParamCount + 1; continue: yes\nWait time: 20\n", options);
        return assembled;
    }();
    return pages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    static const bool quiet = [] {
        SetMessageBoxPresenter([](const MessageBoxRequest&) { return MessageResult::Ok; });
        return true;
    }();
    (void)quiet;
    if (size < 1) return 0;
    QuitRequested = false;
    FrameDeltaMs = 15;
    TParamCollection table;
    TSysFuncMan functions(table);
    TCallMan calls(&functions);
    calls.LoadPage = [](TPage& page, const std::string& name) {
        auto found = Pages().find(name);
        if (found == Pages().end()) throw EMobuError(name + ":missing");
        page.LoadFromBytes(name, found->second);
    };
    calls.EnsureAvailable = [](const std::string& name) { return Pages().count(name) != 0; };
    const int32_t version = 107 + data[0] % 34;
    ByteReader in(data + 1, size - 1);
    try {
        calls.LoadFromStream(in, version);
    } catch (const EMobuError&) {
        return 0;  // refused: the save's message
    }
    try {
        for (int frame = 0; frame < 8; ++frame) {
            AdvanceGameClock(FrameDeltaMs);
            calls.Run();
        }
    } catch (const EMobuError&) {
        // A frame whose page is missing or damaged ends the run with a message.
    }
    ByteWriter out;
    calls.SaveToStream(out);
    return 0;
}
