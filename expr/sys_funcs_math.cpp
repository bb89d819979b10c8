// Built-in functions of arithmetic and random numbers.
#include <algorithm>
#include <cmath>

#include "expr/script_arith.h"
#include "expr/script_random.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {

void Random(TSysFuncCall& c) { c.result.SetInteger(ScriptRandom(c.Int(0))); }

void Sin(TSysFuncCall& c) { c.RealFunction([&] { return std::sin(c.Float(0)); }); }
void Cos(TSysFuncCall& c) { c.RealFunction([&] { return std::cos(c.Float(0)); }); }
void Tan(TSysFuncCall& c) { c.RealFunction([&] { return std::tan(c.Float(0)); }); }
void ArcSin(TSysFuncCall& c) { c.RealFunction([&] { return std::asin(c.Float(0)); }); }
void ArcCos(TSysFuncCall& c) { c.RealFunction([&] { return std::acos(c.Float(0)); }); }
void ArcTan(TSysFuncCall& c) { c.RealFunction([&] { return std::atan(c.Float(0)); }); }
void ArcTan2(TSysFuncCall& c) { c.RealFunction([&] { return std::atan2(c.Float(0), c.Float(1)); }); }
void Hypot(TSysFuncCall& c) { c.RealFunction([&] { return std::hypot(c.Float(0), c.Float(1)); }); }
void Fabs(TSysFuncCall& c) { c.RealFunction([&] { return std::fabs(c.Float(0)); }); }

void Abs(TSysFuncCall& c) { c.result.SetInteger(script_arith::Abs(c.Int(0))); }
void Min(TSysFuncCall& c) { c.result.SetInteger(std::min(c.Int(0), c.Int(1))); }
void Max(TSysFuncCall& c) { c.result.SetInteger(std::max(c.Int(0), c.Int(1))); }
void Fmin(TSysFuncCall& c) { c.SetReal(std::fmin(c.Float(0), c.Float(1))); }
void Fmax(TSysFuncCall& c) { c.SetReal(std::fmax(c.Float(0), c.Float(1))); }

}  // namespace mobu::sys_funcs
