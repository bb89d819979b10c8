// Arithmetic of the script language with defined results everywhere: 32-bit integers wrap,
// division and remainder truncate toward zero, shifts use the low five bits of the count,
// and real results that overflow, divide by zero or are invalid fail instead of producing
// infinity or NaN.
#pragma once

#include <cstdint>

#include "core/real80.h"

namespace mobu::script_arith {

inline int32_t Wrap(uint32_t bits) { return static_cast<int32_t>(bits); }
inline int32_t Add(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Sub(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t Mul(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
inline int32_t Negate(int32_t a) { return Wrap(0u - static_cast<uint32_t>(a)); }
inline int32_t Abs(int32_t a) { return a < 0 ? Negate(a) : a; }  // Abs(INT_MIN) wraps to INT_MIN

// Quotient truncated toward zero; INT_MIN / -1 wraps to INT_MIN. Fails for a zero divisor.
int32_t Div(int32_t a, int32_t b);
// Remainder with the sign of a; INT_MIN % -1 is 0. Fails for a zero divisor.
int32_t Mod(int32_t a, int32_t b);
inline int32_t ShiftLeft(int32_t a, int32_t count) { return Wrap(static_cast<uint32_t>(a) << (static_cast<uint32_t>(count) & 31u)); }
// Logical (zero-filling) right shift.
inline int32_t ShiftRight(int32_t a, int32_t count) { return Wrap(static_cast<uint32_t>(a) >> (static_cast<uint32_t>(count) & 31u)); }

// Real operations in 80-bit precision; overflow, zero division and invalid operations fail.
Real Add(Real a, Real b);
Real Sub(Real a, Real b);
Real Mul(Real a, Real b);
Real Div(Real a, Real b);

// Clears the floating-point conditions before a real computation...
void BeginReal();
// ...and fails when the computation raised overflow, zero division or an invalid operation,
// or when its result is not a finite number; returns the result otherwise.
Real CheckReal(Real result);
// Fails when an already computed value is not a finite number. For values made elsewhere,
// whose computation did not clear the conditions first: stale conditions of earlier,
// unrelated work must not fail them.
Real CheckFinite(Real value);

// Truncation toward zero into 32 bits: values beyond 64 bits fail, others keep their low 32 bits.
int32_t TruncToInt(Real value);

}  // namespace mobu::script_arith
