// Commands that create, change and delete components, and the cabinet commands. The
// component model carries them out through the interpreter's component seam; without a
// component list (an interpreter run on its own) they only advance.
#include "script/call_man.h"
#include "script/call_man_host.h"
#include "script/commands.h"

namespace mobu {

TMobuParser* TComComponent::PropertyExpr(int id) const
{
    const auto& slots = PropertyExprs();
    return id >= 0 && static_cast<size_t>(id) < slots.size() ? slots[static_cast<size_t>(id)].get() : nullptr;
}

void TComOnComponents::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    calls.Components().RunComponentCommand(calls, *this);
}

}  // namespace mobu
