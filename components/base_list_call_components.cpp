#include "components/base_list_call_components.h"

#include "components/component_commands.h"
#include "components/flip_screens.h"

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

void TBaseListCallComponents::TakeFlipSnapshot() { mobu::TakeFlipSnapshot(list_); }

void TBaseListCallComponents::MoveFlipSelection(const std::vector<std::string>& lines, int mode)
{
    mobu::MoveFlipSelection(list_, lines, mode);
}

void TBaseListCallComponents::StartFlip(int id, bool reverse, int32_t duration)
{
    mobu::StartFlip(list_, id, reverse, duration);
}

void TBaseListCallComponents::FinishFlip(bool clear_hidden, bool keep_cabinets)
{
    mobu::FinishFlip(list_, clear_hidden, keep_cabinets);
}

}  // namespace mobu
