// TSysFuncMan: runs the built-in functions of expressions through the function table
// (expr/sys_func_table.h). Functions that need only values, variables and text have their
// handler in the table; functions of other subsystems (components, screen, media, files,
// saves, dialogs, the table database) are installed by those subsystems into the manager's
// slot for their id, and until then fail cleanly, leaving no result.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/clock_system_variables.h"

namespace mobu {

class TCustomParam;
class TParamCollection;

class TSysFuncMan {
public:
    using Arguments = std::vector<TCustomParam*>;
    // A function of another subsystem: writes its result into the destination.
    using Handler = std::function<void(TCustomParam& destination, const Arguments& arguments)>;

    // Deepest nesting of Calc inside Calc.
    static constexpr int kMaxCalcDepth = 16;
    // Temporaries of text compiled at run time are numbered from depth × this, so a nested
    // run never writes into the temporaries of the run that called it.
    static constexpr int kCalcTemporaryStride = 100000;
    // Largest text a function builds (StringOfChar, IntToStr digits, joined arrays).
    static constexpr size_t kMaxBuiltText = 16 * 1024 * 1024;

    // Installs the clock-driven system variables into the table (and removes them again when
    // destroyed).
    explicit TSysFuncMan(TParamCollection& table);
    ~TSysFuncMan();

    TParamCollection& Table() const { return table_; }

    // Runs function `id` into `destination`: the installed handler if there is one, else the
    // table's; an id past the table does nothing. Failures are
    // raised as EMobuError and stop the expression.
    void Call(TCustomParam& destination, int id, const Arguments& arguments);

    // Installs the implementation of a function that belongs to another subsystem (it takes
    // the place of the table's handler, and its argument counts are not checked).
    void SetHandler(int id, Handler handler);
    bool HasHandler(int id) const;
    // Whether function `id` as it runs now only reads its arguments as values and writes its
    // destination: no handler is installed, it looks up no names, changes no variable and
    // does not care whether an argument is a variable. A call of such a function can be given
    // the values of temporaries directly instead of references to variables of the table.
    bool ReadsValuesOnly(int id) const;

    // Whether the file dialogs of SelectOpenFile, SelectSaveFile and SelectDirectory may
    // open (the headless runner opens none: they give FALSE).
    bool DialogsAllowed = true;

    // Type of a component property (for the destination of GetProp); installed by the
    // component model. Without it every property reads as an integer.
    std::function<uint8_t(int property_id)> PropertyType;

    // Current nesting of Calc (0 outside any Calc).
    int CalcDepth() const { return calc_depth_; }
    // Compiles and runs `text` one Calc level deeper; false when it does not compile.
    bool RunCalc(const std::string& text);

private:

    TParamCollection& table_;
    TClockSystemVariables system_variables_;
    std::vector<Handler> handlers_;
    int calc_depth_ = 0;
};

// The process-wide function manager (none until the main window creates it).
TSysFuncMan* GlobalSysFuncMan();
void SetGlobalSysFuncMan(TSysFuncMan* manager);

// Names of the built-in functions that fail cleanly while no subsystem has installed them.
std::vector<std::string> UnavailableFunctionNames(const TSysFuncMan& manager);

}  // namespace mobu
