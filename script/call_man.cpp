#include "script/call_man.h"

#include <cstdio>
#include <cstdlib>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "archive/vr_file_manager.h"
#include "expr/custom_param.h"
#include "expr/expr_quote.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "expr/sys_func_man.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "platform/wall_clock.h"
#include "core/cp932_chars.h"
#include "core/script_log.h"
#include "script/page_messages.h"

namespace mobu {
namespace {

// The command traced last (process-wide), so a command that stays is traced once.
const TCommand* last_traced = nullptr;

// The per-command trace is long: only MOBU_TRACE=script asks for it (any other setting logs
// the start-up and shutdown steps and the script log only).
bool TraceWanted()
{
    const char* setting = std::getenv("MOBU_TRACE");
    return setting && std::string(setting) == "script";
}

void TraceToLog(const std::string& line) { std::fprintf(stderr, "trace: %s\n", Cp932ToUtf8(line).c_str()); }

std::unique_ptr<TCustomParam> CopyOf(const TCustomParam* value)
{
    if (!value) return nullptr;
    std::unique_ptr<TCustomParam> copy = NewParamOfType(value->VarType());
    if (copy) copy->AssignAll(*value);
    return copy;
}

}  // namespace

// ---- TStack ----

TStack::TStack() = default;
TStack::~TStack() = default;

void TStack::CopyFrom(const TStack& other)
{
    PageName = other.PageName;
    PC = other.PC;
    Entered = other.Entered;
    ResultVar = other.ResultVar;
    CallParams = other.CallParams;
    Sender = other.Sender;
    KeepRunning = other.KeepRunning;
    State = other.State;
    ResultValue = CopyOf(other.ResultValue.get());
}

// ---- TStackList ----

void TStackList::SyncDepth()
{
    if (table_) table_->CurrentDepth = Count();
}

TStack& TStackList::Push()
{
    frames_.push_back(std::make_unique<TStack>());
    SyncDepth();
    return *frames_.back();
}

TStack& TStackList::Pop()
{
    if (frames_.empty()) throw EMobuError(page_messages::StackError());
    LastPopped.CopyFrom(*frames_.back());
    frames_.pop_back();
    SyncDepth();
    return LastPopped;
}

void TStackList::RemoveFrame(int32_t index)
{
    if (index < 0 || index >= Count()) return;
    frames_.erase(frames_.begin() + index);
    SyncDepth();
}

void TStackList::Clear()
{
    frames_.clear();
    SyncDepth();
}

// ---- TCallMan ----

TCallMan::TCallMan(TSysFuncMan* functions, TCallManComponents* components)
    : functions_(functions), components_(components ? components : &default_components_)
{
    Stack.SetTable(Table());
    EnsureAvailable = [](const std::string& name) {
        if (name.empty()) return false;
        try {
            return VrFileManager().Exists(name);
        } catch (const EMobuError&) {
            return false;
        }
    };
    LoadPage = [](TPage& page, const std::string& name) { page.Load(name); };
    WallClock = WallClockMs;
    if (TraceWanted()) TraceWriter = TraceToLog;
}

TCallMan::~TCallMan()
{
    last_traced = nullptr;
    Stack.Clear();
}

TParamCollection* TCallMan::Table() const { return functions_ ? &functions_->Table() : nullptr; }

void TCallMan::SetComponents(TCallManComponents* components)
{
    components_ = components ? components : &default_components_;
}

TPage* TCallMan::GetPage(const std::string& name)
{
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i]->PageName == name) {
            std::unique_ptr<TPage> page = std::move(pages_[i]);
            pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
            pages_.insert(pages_.begin(), std::move(page));
            PC = 0;
            return pages_.front().get();
        }
    }
    auto page = std::make_unique<TPage>();
    LoadPage(*page, name);  // a failure frees the new page and leaves PC where it was
    pages_.insert(pages_.begin(), std::move(page));
    // The least recently used pages go, except the current one: the cache holds at most
    // ten pages besides it, even while the current page is the least recently used.
    for (size_t i = pages_.size(); static_cast<int>(pages_.size()) > kCachedPages && i-- > 0;) {
        if (pages_[i].get() == CurrentPage) continue;
        if (last_traced && last_traced->Page() == pages_[i].get()) last_traced = nullptr;
        pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    PC = 0;
    return pages_.front().get();
}

void TCallMan::StartPage(const std::string& name)
{
    CurrentPage = GetPage(name);
    PC = 0;
    Entered = false;
    CallParams.clear();
    Mode = call_mode::Main;
    Stack.Clear();
    Sender = nullptr;
    for (int32_t level = 1; level <= EventLevel; ++level) components_->RemoveEventsOfLevel(level);
    EventLevel = 2;
}

void TCallMan::Trace(TPage* page, int32_t pc, bool event)
{
    if (!TraceWriter || !page || pc < 0 || pc >= page->Count()) return;
    const TCommand* command = page->Command(pc);
    if (!event && command == last_traced) return;
    last_traced = command;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%.8x", static_cast<uint32_t>(GameClockMs));
    TraceWriter(std::string(clock) + " : " + (event ? "<Event>" : "") + page->PageName + "(" +
                std::to_string(command->LineNo) + ")");
}

void TCallMan::ExecOne(TPage*& page, bool& yielded)
{
    if (!page || PC < 0 || PC >= page->Count()) {
        page = nullptr;
        return;
    }
    TPage* const start_page = page;
    const int32_t start_pc = PC;
    TCommand* command = page->Command(PC);
    // Failures of the command and its expressions are logged at this place.
    TScriptPlaceScope place(&start_page->PageName, start_pc, command->Info().name);
    try {
        Trace(page, PC, false);
        if (!Entered) {
            if (command->IsDisabled()) {
                ++PC;
                return;
            }
            command->Enter(*this);
            Entered = true;
        }
        KeepRunning = command->ContinuesFrame();
        yielded = command->Yields();
        command->Exec(*this, page, PC);
    } catch (const std::exception& error) {
        // A failing command is abandoned as far as it got; the script goes on, and the
        // author reads the reason in the script log.
        ReportScriptFailure(error.what());
    }
    if (page != start_page || PC != start_pc) Entered = false;
}

TStepResult TCallMan::Step()
{
    TPage* page = CurrentPage;
    const int32_t start_pc = PC;
    const int32_t start_frames = Stack.Count();
    bool yielded = false;
    if (page) ExecOne(page, yielded);
    const TStepResult result = yielded ? TStepResult::Yielded : TStepResult::Continued;
    if (page) {
        // A command that stays on itself in the main script ends the frame: its progress
        // depends on later frames, so stepping it again now would spin.
        if (Mode == call_mode::Main && page == CurrentPage && PC == start_pc && Entered && Stack.Count() == start_frames) {
            KeepRunning = false;
        }
        CurrentPage = page;
        return result;
    }
    if (Stack.Count() == 0 || !CurrentPage) {
        // Nothing is left to run: the script idles, and every later step meets the same end.
        KeepRunning = false;
        if (Mode == call_mode::Main) return result;
        // A handler whose page ended with no context to return to (DeleteStack removed it)
        // ends as if it had returned to an idle main script. Reporting "not finished" would
        // have Run step it again and again without anything changing.
        Sender = nullptr;
        return TStepResult::ReturnedToMain;
    }
    if (TParamCollection* table = Table()) table->DeleteOwned(Stack.Count());
    TStack& frame = Stack.Pop();
    // A frame without a result (its page failed to load) assigns nothing.
    if (!frame.ResultVar.empty() && frame.ResultValue) {
        try {
            TParamCollection* table = Table();
            if (TParamCollectionItem* target = table ? table->Find(frame.ResultVar) : nullptr) {
                TParamCollection::CopyConvert(target, *frame.ResultValue);
            } else if (functions_) {
                // The value goes in as a quoted literal, escaped, so nothing of it runs as code.
                CompileAndRun(*functions_, BuildQuotedAssignment(frame.ResultVar, frame.ResultValue->GetString()));
            }
        } catch (const std::exception&) {
            // A target that cannot take the value fails like a command: silently.
        }
    }
    CurrentPage = GetPage(frame.PageName);
    PC = frame.PC;
    Entered = frame.Entered;
    KeepRunning = frame.KeepRunning;
    CallParams = frame.CallParams;
    Sender = frame.Sender;
    if (frame.State && CurrentPage && PC >= 0 && PC < CurrentPage->Count()) {
        ByteReader state(*frame.State, page_messages::DamagedState());
        CurrentPage->Command(PC)->LoadState(state);
    }
    if (Sender == nullptr) return TStepResult::ReturnedToMain;
    return result == TStepResult::Yielded ? TStepResult::Yielded : TStepResult::ReturnedToHandler;
}

void SplitEventHandler(const std::string& handler, std::string& file_name, std::string& label)
{
    std::string page = handler;
    label.clear();
    for (size_t i = handler.size(); i-- > 1;) {
        const char c = handler[i];
        if (c != '.' && c != '\\' && c != ':') continue;
        // The byte may be the trail byte of a double-byte character.
        if (IsCp932LeadByte(handler[i - 1])) {
            --i;
            continue;
        }
        if (c == ':') {
            page = handler.substr(0, i);
            label = handler.substr(i + 1);
        }
        break;
    }
    file_name = (page.size() >= 3 ? page.substr(0, page.size() - 3) : std::string()) + "msb";
}

TStack& TCallMan::PushCurrentContext()
{
    TStack& frame = Stack.Push();
    frame.PageName = CurrentPage ? CurrentPage->PageName : std::string();
    frame.PC = PC;
    frame.Entered = Entered;
    frame.CallParams = CallParams;
    frame.Sender = Sender;
    frame.KeepRunning = KeepRunning;
    if (CurrentPage && PC >= 0 && PC < CurrentPage->Count() && Entered) {
        ByteWriter state;
        CurrentPage->Command(PC)->SaveState(state);
        frame.State = state.Take();
    }
    return frame;
}

bool TCallMan::StartEvent(int32_t level)
{
    if (CurrentPage && PC >= 0 && PC < CurrentPage->Count() && Entered && CurrentPage->Command(PC)->HoldsEvents()) {
        return false;
    }
    const int32_t index = components_->OldestWaitingEvent();
    if (index < 0) return false;
    TCallManComponents::TEvent event = components_->EventAt(index);
    std::string file_name, label;
    SplitEventHandler(event.handler, file_name, label);
    if (!EnsureAvailable(file_name)) return false;
    if (!CheckDepth()) return false;
    PushCurrentContext();
    CurrentPage = GetPage(file_name);
    PC = label.empty() ? 0 : std::max(0, CurrentPage->FindLabel(label));
    Trace(CurrentPage, PC, true);
    Entered = false;
    components_->SetEventLevel(index, level);
    CallParams = event.params;
    Sender = event.sender;
    Mode = call_mode::Handler;
    return true;
}

bool TCallMan::CheckDepth()
{
    if (Stack.Count() < kMaxStackDepth && EventLevel < kMaxStackDepth) return true;
    // A runaway recursion: the script ends here, with a message, instead of exhausting memory.
    QuitRequested = true;
    ShowMessageBox(page_messages::CallTooDeep(), page_messages::WarningCaption(), MessageIcon::Warning,
                   MessageButtons::Ok);
    if (RequestClose) RequestClose();
    return false;
}

std::string TCallMan::PlaceText() const
{
    if (!CurrentPage) return "?";
    std::string place = CurrentPage->PageName + ":" + std::to_string(PC);
    if (PC >= 0 && PC < CurrentPage->Count()) place += std::string(" ") + CurrentPage->Command(PC)->Info().name;
    return place;
}

bool TCallMan::SpinStops(uint64_t& started)
{
    const uint64_t now = WallClock();
    if (now - started < SpinLimitMs) return false;
    if (!SpinStopAsked || !SpinStopAsked(PlaceText(), now - started)) {
        started = WallClock();
        return false;
    }
    QuitRequested = true;
    if (RequestClose) RequestClose();
    return true;
}

bool TCallMan::Run()
{
    if (QuitRequested) return true;
    // The watchdog reads the clock every kSpinCheckPasses passes: cheap, and often enough.
    constexpr uint32_t kSpinCheckPasses = 4096;
    const bool watched = SpinLimitMs > 0 && WallClock;
    uint64_t started = watched ? WallClock() : 0;
    uint32_t passes = 0;
    do {
        if (watched && ++passes % kSpinCheckPasses == 0 && SpinStops(started)) break;
        switch (Mode) {
        case call_mode::Main:
            if (!StartEvent(1)) Step();
            break;
        case call_mode::Handler: {
            const TStepResult r = Step();
            if (r == TStepResult::ReturnedToMain) {
                components_->RemoveEventsOfLevel(1);
                Mode = call_mode::Main;
                KeepRunning = true;
            } else if (r == TStepResult::Yielded) {
                EventLevel = 2;
                Mode = call_mode::HandlerWaiting;
                return true;
            } else if (Mode != call_mode::Handler) {
                KeepRunning = true;
            }
            break;
        }
        case call_mode::HandlerWaiting:
            if (StartEvent(EventLevel)) {
                ++EventLevel;
                Mode = call_mode::NestedHandler;
            } else {
                Mode = EventLevel > 2 ? call_mode::NestedHandler : call_mode::Handler;
            }
            break;
        case call_mode::NestedHandler: {
            const TStepResult r = Step();
            if (r == TStepResult::ReturnedToMain || r == TStepResult::ReturnedToHandler) {
                --EventLevel;
                components_->RemoveEventsOfLevel(EventLevel);
                if (EventLevel <= 2) Mode = call_mode::HandlerWaiting;
            } else if (r == TStepResult::Yielded) {
                Mode = call_mode::HandlerWaiting;
                return true;
            }
            break;
        }
        default:
            Mode = call_mode::Main;
            break;
        }
    } while ((KeepRunning || Mode != call_mode::Main) && !QuitRequested);
    return true;
}

std::string TCallMan::CallParam(int32_t index) const
{
    if (index < 0 || index >= CallParamCount()) return {};
    return CallParams[static_cast<size_t>(index)];
}

std::string TCallMan::LiveSenderName(const TMobuObject* sender) const
{
    if (!sender || !components_->IsRegistered(sender)) return {};
    return components_->NameOf(sender);
}

std::string TCallMan::SenderName() const { return Mode != call_mode::Main ? LiveSenderName(Sender) : std::string(); }

TCustomParam* TCallMan::ResultValue() const
{
    return Stack.Count() > 0 ? Stack.Top().ResultValue.get() : nullptr;
}

}  // namespace mobu
