// TCallMan: the interpreter. It runs the commands of the current page once per frame until
// the script gives the frame back, starts the handlers of component events between steps,
// keeps the stack of saved contexts shared by page calls and event handlers, caches the
// loaded pages (most recently used first) and writes its whole state into a game save.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "script/call_man_host.h"
#include "script/page.h"

namespace mobu {

class TCustomParam;
class TParamCollection;
class TSysFuncMan;

// One saved context.
struct TStack {
    std::string PageName;
    int32_t PC = 0;
    bool Entered = false;
    std::string ResultVar;
    std::vector<std::string> CallParams;
    TMobuObject* Sender = nullptr;  // not owned
    bool KeepRunning = false;
    std::optional<std::string> State;  // SaveState of the entered command
    std::unique_ptr<TCustomParam> ResultValue;

    TStack();
    ~TStack();
    TStack(const TStack&) = delete;
    TStack& operator=(const TStack&) = delete;
    // Deep copy (used for LastPopped).
    void CopyFrom(const TStack& other);
};

// The saved contexts, bottom first. Every change sets the variable table's CurrentDepth
// to the new count.
class TStackList {
public:
    explicit TStackList(TParamCollection* table = nullptr) : table_(table) {}
    void SetTable(TParamCollection* table) { table_ = table; }

    TStack& Push();
    // Copies the top frame into LastPopped, removes it and returns LastPopped;
    // "スタックエラー" on an empty stack.
    TStack& Pop();
    void RemoveFrame(int32_t index);
    void Clear();
    int32_t Count() const { return static_cast<int32_t>(frames_.size()); }
    TStack& Item(int32_t index) const { return *frames_[static_cast<size_t>(index)]; }
    TStack& Top() const { return *frames_.back(); }
    TStack LastPopped;

private:
    void SyncDepth();
    std::vector<std::unique_ptr<TStack>> frames_;
    TParamCollection* table_;
};

// What the interpreter is running (TCallMan::Mode; stored as this number in game saves).
namespace call_mode {
// The main script; events of level 1 start between its steps.
inline constexpr int32_t Main = 0;
// A handler of a level-1 event.
inline constexpr int32_t Handler = 1;
// A handler gave the frame back while running: events waiting at the current event level
// start before it goes on.
inline constexpr int32_t HandlerWaiting = 2;
// A handler started while another one waits (event level above 2).
inline constexpr int32_t NestedHandler = 3;
}  // namespace call_mode

// What one step of the interpreter ended in.
enum class TStepResult {
    // The page goes on (or the main script idles).
    Continued,
    // The command gave the frame back.
    Yielded,
    // A handler returned to the main script (the restored context has no sender), or ended
    // with nothing to return to.
    ReturnedToMain,
    // A handler returned into the context of another handler (the restored context has a sender).
    ReturnedToHandler,
};

class TCallMan {
public:
    // Pages kept loaded besides the current one.
    static constexpr int kCachedPages = 10;
    // Deepest call stack (calls and event levels together): a runaway recursion ends the
    // script with a message instead of exhausting memory.
    static constexpr int32_t kMaxStackDepth = 4096;

    // `functions` runs expressions and owns the variable table; without it expressions
    // yield nothing.
    explicit TCallMan(TSysFuncMan* functions = nullptr, TCallManComponents* components = nullptr);
    ~TCallMan();
    TCallMan(const TCallMan&) = delete;
    TCallMan& operator=(const TCallMan&) = delete;

    // ---- state ----
    TPage* CurrentPage = nullptr;
    int32_t PC = 0;
    bool KeepRunning = false;
    bool Entered = false;
    std::vector<std::string> CallParams;
    int32_t Mode = call_mode::Main;
    TMobuObject* Sender = nullptr;
    int32_t EventLevel = 2;
    TStackList Stack;

    // ---- seams ----
    TSysFuncMan* Functions() const { return functions_; }
    TParamCollection* Table() const;
    TCallManComponents& Components() const { return *components_; }
    void SetComponents(TCallManComponents* components);
    // Whether a page file can be read (the project's EnsureAvailable; default: the file
    // manager has it).
    std::function<bool(const std::string&)> EnsureAvailable;
    // Loads a page (default: through the virtual file manager).
    std::function<void(TPage&, const std::string&)> LoadPage;
    // Ask the main window to close (Terminate).
    std::function<void()> RequestClose;
    // Game save and load requests of GameSave and GameLoad.
    std::function<void(int32_t slot, const std::string& page, int32_t index, const std::string& caption)> RequestSave;
    std::function<void(int32_t slot)> RequestLoad;
    // Extra resets of the Reset command (game tables, history formats), run after the
    // component list and the variables are reset.
    std::vector<std::function<void()>> ResetHooks;
    // Trace lines; by default they go to the log when tracing is on (MOBU_TRACE).
    std::function<void(const std::string&)> TraceWriter;
    // The watchdog of one Run: when the script has run SpinLimitMs of wall time (0: never)
    // without giving the frame back, SpinStopAsked gets the place ("start.msb:3 While") and
    // the time; true stops the game (QuitRequested, a close request), false lets it run
    // for another SpinLimitMs. The spin itself is not changed.
    uint32_t SpinLimitMs = 0;
    std::function<bool(const std::string& place, uint64_t ms)> SpinStopAsked;
    // The wall clock the watchdog reads (default: the platform's steady clock).
    std::function<uint64_t()> WallClock;

    // ---- pages ----
    TPage* GetPage(const std::string& name);
    void StartPage(const std::string& name);
    int32_t PageCount() const { return static_cast<int32_t>(pages_.size()); }
    TPage* PageAt(int32_t index) const { return pages_[static_cast<size_t>(index)].get(); }

    // ---- running ----
    bool Run();
    TStepResult Step();
    // Starts the handler of the oldest waiting event at `level`; false when none starts.
    bool StartEvent(int32_t level);

    // ---- the current call ----
    int32_t CallParamCount() const { return static_cast<int32_t>(CallParams.size()); }
    std::string CallParam(int32_t index) const;
    std::string SenderName() const;
    TCustomParam* ResultValue() const;

    // ---- saved form ----
    void SaveToStream(ByteWriter& out) const;
    void LoadFromStream(ByteReader& in, int32_t version);
    // Pushes a frame holding the current context exactly as an event start does.
    TStack& PushCurrentContext();

    // ---- used by commands ----
    // Makes sure the call stack can grow by one; past the cap the script ends with a message.
    bool CheckDepth();
    // Whether tracing is on.
    bool Tracing() const { return static_cast<bool>(TraceWriter); }
    // "start.msb:3 While": the page and command index where the script stands.
    std::string PlaceText() const;

private:
    void ExecOne(TPage*& page, bool& yielded);
    // The watchdog's check, every so many passes of Run; true when the game is to stop.
    bool SpinStops(uint64_t& started);
    void Trace(TPage* page, int32_t pc, bool event);
    void WriteFrame(ByteWriter& out, const TStack& frame) const;
    void ReadFrame(ByteReader& in, int32_t version, TStack& frame);
    std::string LiveSenderName(const TMobuObject* sender) const;

    TSysFuncMan* functions_;
    TCallManComponents default_components_;
    TCallManComponents* components_;
    std::vector<std::unique_ptr<TPage>> pages_;
};

// Splits an event string into the page's file name and the label.
void SplitEventHandler(const std::string& handler, std::string& file_name, std::string& label);

}  // namespace mobu
