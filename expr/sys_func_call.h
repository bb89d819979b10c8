// TSysFuncCall: one running call of a built-in function, as its handler sees it: the function
// manager, the result to write and the arguments, with the readers every handler shares.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/real80.h"
#include "expr/custom_param.h"
#include "expr/script_arith.h"
#include "expr/sys_func_man.h"

namespace mobu {

class TParamVar;

struct TSysFuncCall {
    TSysFuncMan& manager;
    TCustomParam& result;
    const TSysFuncMan::Arguments& arguments;
    const char* name;  // the function's name, for messages

    bool Has(size_t index) const { return index < arguments.size(); }
    const TCustomParam& Arg(size_t index) const { return *arguments.at(index); }
    int32_t Int(size_t index) const { return arguments.at(index)->GetInteger(); }
    Real Float(size_t index) const { return arguments.at(index)->GetFloat(); }
    bool Flag(size_t index) const { return arguments.at(index)->GetFlag(); }
    std::string Str(size_t index) const { return arguments.at(index)->GetString(); }

    // The argument as a variable reference (an argument written as a variable name), or none.
    TParamVar* Reference(size_t index) const;
    // A variable argument the function cannot do without ("variable not found" otherwise).
    TParamVar& RequiredReference(size_t index) const;
    // Writes an integer into a variable argument when the argument is one.
    void WriteBack(size_t index, int32_t value) const;

    // Stores a real result: never NaN or infinity.
    void SetReal(Real value) const;
    // A real function of the script, with the floating-point conditions checked around it.
    template <typename F>
    void RealFunction(F function) const
    {
        script_arith::BeginReal();
        volatile Real value = function();
        result.SetFloat(script_arith::CheckReal(value));
    }
};

// Fails with "size too large" past the largest text a function builds.
void CheckTextSize(size_t size);

// Makes `target` a one-dimensional string array of `pieces`, or the scalar "" when there are
// none.
void StoreStringArray(TCustomParam& target, const std::vector<std::string>& pieces);

}  // namespace mobu
