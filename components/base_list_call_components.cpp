#include "components/base_list_call_components.h"

#include "components/component_commands.h"

namespace mobu {

TCallManComponents::TEvent TBaseListCallComponents::EventAt(int32_t index)
{
    if (index < 0 || index >= list_.Events().Count()) return {};
    const TTimerData& record = list_.Events().At(index);
    return TEvent{record.Handler, record.Sender, record.Params};
}

std::string TBaseListCallComponents::NameOf(const TMobuObject* object)
{
    return object && list_.IsRegistered(object) ? object->Name() : std::string();
}

TMobuObject* TBaseListCallComponents::FindComponent(const std::string& name)
{
    // Saved senders are names of components; an empty one stands for no sender.
    return name.empty() ? nullptr : list_.FindComponent(name);
}

void TBaseListCallComponents::ResetList()
{
    list_.Reset();
    list_.MarkAllDirty();
}

void TBaseListCallComponents::RunComponentCommand(TCallMan& calls, const TCommand& command)
{
    mobu::RunComponentCommand(list_, calls, command);
}

}  // namespace mobu
