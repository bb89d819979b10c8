// Where a page gives a component property a value: the property operands of the
// component-creating commands, and SetProp with a constant property number. Disabled
// commands never run and give nothing.
#pragma once

#include <string>
#include <vector>

#include "expr/mobu_parser.h"
#include "script/command.h"
#include "script/page.h"

namespace mobu::mobupack {

struct TPropertyUse {
    const TCommand* command;
    int property;  // PR_ id
    const TMobuParser* value;
};

std::vector<TPropertyUse> PropertyUses(const TPage& page);

// The text of an expression that is one constant string (cp932), as `"cg\\bg.fsk"` compiles.
bool ConstantText(const TMobuParser* expr, std::string& text);
// The number of an expression that is one constant integer.
bool ConstantInteger(const TMobuParser* expr, int32_t& number);

}  // namespace mobu::mobupack
