// The command class of every command id.
#include "core/script_log.h"
#include "script/commands.h"

namespace mobu {
namespace {

// A command whose effect belongs to a subsystem not built yet: its record is kept, and it
// advances, logging that it did nothing.
class TComInert final : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan&, TPage*&, int32_t& pc) override
    {
        ++pc;
        ReportNotAvailable();
    }
};
class TComComponentOf final : public TComControl {
public:
    using TComControl::TComControl;
};
class TComNonVisualOf final : public TComComponent {
public:
    using TComComponent::TComComponent;
};
class TComCabinetOf final : public TComCabinet {
public:
    using TComCabinet::TComCabinet;
};

}  // namespace

std::unique_ptr<TCommand> CreateCommand(TComList* owner, uint8_t id)
{
    switch (id) {
    case CI_IF: return std::make_unique<TComIf>(owner, id);
    case CI_ELSEIF: return std::make_unique<TComElseif>(owner, id);
    case CI_ELSE: return std::make_unique<TComElse>(owner, id);
    case CI_LABEL: return std::make_unique<TComLabel>(owner, id);
    case CI_COMMENT: return std::make_unique<TComComment>(owner, id);
    case CI_JUMP: return std::make_unique<TComJump>(owner, id);
    case CI_CALL: return std::make_unique<TComCall>(owner, id);
    case CI_EXIT: return std::make_unique<TComExit>(owner, id);
    case CI_BREAK: return std::make_unique<TComBreak>(owner, id);
    case CI_CONTINUE: return std::make_unique<TComContinue>(owner, id);
    case CI_WHILE: return std::make_unique<TComWhile>(owner, id);
    case CI_WHILEINIT: return std::make_unique<TComWhileInit>(owner, id);
    case CI_WHILELOOP: return std::make_unique<TComWhileLoop>(owner, id);
    case CI_WAIT: return std::make_unique<TComWait>(owner, id);
    case CI_DOEVENT: return std::make_unique<TComDoEvent>(owner, id);
    case CI_PCRESET: return std::make_unique<TComPCReset>(owner, id);
    case CI_RESET: return std::make_unique<TComReset>(owner, id);
    case CI_TERMINATE: return std::make_unique<TComTerminate>(owner, id);
    case CI_CALC: return std::make_unique<TComCalc>(owner, id);
    case CI_VARNEW: return std::make_unique<TComVarNew>(owner, id);
    case CI_VARDEL: return std::make_unique<TComVarDel>(owner, id);
    case CI_GAMESAVE: return std::make_unique<TComGameSave>(owner, id);
    case CI_GAMELOAD: return std::make_unique<TComGameLoad>(owner, id);
    case CI_TEXTINS: return std::make_unique<TComTextIns>(owner, id);
    case CI_TEXTCLR: return std::make_unique<TComTextClr>(owner, id);
    case CI_CLRREAD: return std::make_unique<TComClrRead>(owner, id);
    case CI_CLRHIST: return std::make_unique<TComClrHist>(owner, id);
    case CI_FORMATHIST: return std::make_unique<TComFormatHist>(owner, id);
    case CI_CALLHIST: return std::make_unique<TComCallHist>(owner, id);
    case CI_MOVIESTOP: return std::make_unique<TComMovieStop>(owner, id);
    case CI_FLIP: return std::make_unique<TComFlip>(owner, id);
    case CI_GETPROP: return std::make_unique<TComGetProp>(owner, id);
    case CI_SETPROP: return std::make_unique<TComSetProp>(owner, id);
    case CI_OBJDEL: return std::make_unique<TComObjDel>(owner, id);
    case CI_MENUCLOSE:
    case CI_PROPMOTION:
    case CI_MEDIAPLAY: return std::make_unique<TComOnComponents>(owner, id);
    case CI_TIMER:
    case CI_SOUND: return std::make_unique<TComNonVisualOf>(owner, id);
    case CI_SAVECABINET:
    case CI_LOADCABINET: return std::make_unique<TComCabinetOf>(owner, id);
    default: break;
    }
    if (id >= kCommandCount) return nullptr;
    if (CommandInfoOf(id)->HasProperties()) return std::make_unique<TComComponentOf>(owner, id);
    return std::make_unique<TComInert>(owner, id);
}

}  // namespace mobu
