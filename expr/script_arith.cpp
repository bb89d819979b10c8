#include "expr/script_arith.h"

#include <cfenv>
#include <climits>
#include <cmath>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"

namespace mobu::script_arith {
namespace {

constexpr int kFailingConditions = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

[[noreturn]] void Fail() { throw EMobuError(expr_messages::ArithmeticError()); }

}  // namespace

int32_t Div(int32_t a, int32_t b)
{
    if (b == 0) Fail();
    if (a == INT32_MIN && b == -1) return INT32_MIN;
    return a / b;
}

int32_t Mod(int32_t a, int32_t b)
{
    if (b == 0) Fail();
    if (b == -1) return 0;
    return a % b;
}

void BeginReal() { std::feclearexcept(kFailingConditions); }

Real CheckReal(Real result)
{
    if (std::fetestexcept(kFailingConditions) || !std::isfinite(result)) Fail();
    return result;
}

Real CheckFinite(Real value)
{
    if (!std::isfinite(value)) Fail();
    return value;
}

// The operands pass through volatile so the operation happens here, between the clearing and
// the test of the conditions, and is never folded or moved by the compiler.
Real Add(Real a, Real b)
{
    volatile Real x = a, y = b;
    BeginReal();
    volatile Real r = x + y;
    return CheckReal(r);
}

Real Sub(Real a, Real b)
{
    volatile Real x = a, y = b;
    BeginReal();
    volatile Real r = x - y;
    return CheckReal(r);
}

Real Mul(Real a, Real b)
{
    volatile Real x = a, y = b;
    BeginReal();
    volatile Real r = x * y;
    return CheckReal(r);
}

Real Div(Real a, Real b)
{
    volatile Real x = a, y = b;
    BeginReal();
    volatile Real r = x / y;
    return CheckReal(r);
}

int32_t TruncToInt(Real value)
{
    if (!std::isfinite(value) || value >= 9223372036854775808.0L || value <= -9223372036854775809.0L) Fail();
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value))));
}

}  // namespace mobu::script_arith
