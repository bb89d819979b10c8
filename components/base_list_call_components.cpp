#include "components/base_list_call_components.h"

#include "components/history_commands.h"
#include "components/mobu_mes.h"
#include "components/mobu_read_list.h"

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

namespace {

TMobuMes* MessageBoxNamed(TMobuBaseList& list, const std::string& name)
{
    if (name.empty()) return nullptr;
    TMobuObject* object = list.FindComponent(name);
    if (object == nullptr || object->GetCompoType() != LT_MES) return nullptr;
    return dynamic_cast<TMobuMes*>(object);
}

}  // namespace

bool TBaseListCallComponents::LoadScriptMessage(const std::string& box, const std::string& page, int32_t command,
                                                bool tracked)
{
    TMobuMes* mes = MessageBoxNamed(list_, box);
    if (mes == nullptr) return false;
    mes->LoadScriptMessage(page, command, tracked);
    return true;
}

int32_t TBaseListCallComponents::MessagePageCount(const std::string& box)
{
    TMobuMes* mes = MessageBoxNamed(list_, box);
    if (mes == nullptr) return -1;
    // Asked by a waiting TextIns: while it has pages, the box holds that script.
    if (!mes->Pages.empty()) mes->MarkHeld();
    return static_cast<int32_t>(mes->Pages.size());
}

bool TBaseListCallComponents::ClearMessageText(const std::string& box)
{
    TMobuMes* mes = MessageBoxNamed(list_, box);
    if (mes == nullptr) return false;
    mes->ClearText();
    return true;
}

bool TBaseListCallComponents::ClearReadList()
{
    ReadList().Clear();
    return true;
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

bool TBaseListCallComponents::ClearHistory()
{
    HistoryFormats().ClearAll();
    return true;
}

bool TBaseListCallComponents::FormatHistory(const std::string& format, const std::string& component)
{
    mobu::FormatHistory(list_, format, component);
    return true;
}

bool TBaseListCallComponents::CallHistory(const std::string& box, int32_t first, int32_t count, bool flag,
                                          const std::string& format)
{
    // A name that is no message box, a missing format or nothing left to show does nothing.
    ShowHistory(list_, box, first, count, flag, format);
    return true;
}

}  // namespace mobu
