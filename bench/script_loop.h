// A page run again and again by one interpreter that is set up once: the variable table, the
// functions and the interpreter are built and the page is assembled and loaded before the
// timed loop, so that a run is only the page's commands from the first to the last.
#pragma once

#include <string>

#include "core/globals.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "script/call_man.h"
#include "script/page_source.h"

namespace mobu::bench {

class TScriptLoop {
public:
    explicit TScriptLoop(const std::string& source) : functions_(table_), calls_(&functions_), bytes_(AssemblePage(source))
    {
        QuitRequested = false;
        calls_.LoadPage = [this](TPage& page, const std::string& name) { page.LoadFromBytes(name, bytes_); };
        calls_.StartPage(kName);  // loads the page; later starts take it from the interpreter's cache
    }
    // The variables the page uses, declared before the runs.
    TCustomParam& Variable(const char* name, uint8_t type) { return *table_.AddVariable(name, type)->Value(); }
    void Run()
    {
        calls_.StartPage(kName);
        calls_.Run();
    }

private:
    static constexpr const char* kName = "loop.msb";
    TParamCollection table_;
    TSysFuncMan functions_;
    TCallMan calls_;
    std::string bytes_;
};

}  // namespace mobu::bench
