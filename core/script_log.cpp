#include "core/script_log.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "core/script_log_messages.h"

namespace mobu {
namespace {

struct TScriptLogState {
    std::vector<TScriptLogSink*> sinks;
    std::unordered_set<std::string> logged;
};

// The place of the running command: set and restored around every command the interpreter
// runs, so it is plain data initialised before any code runs (no guard to check each time).
struct TScriptPlace {
    const std::string* page_name = nullptr;
    int32_t index = -1;
    const char* command_name = nullptr;
};
constinit TScriptPlace place;

TScriptLogState& State()
{
    static TScriptLogState state;
    return state;
}

// A script that fails in a loop over changing texts must not grow the memory for ever.
constexpr size_t kMaxRemembered = 65536;

void WriteToSinks(const std::string& line, bool diagnostic)
{
    for (TScriptLogSink* sink : State().sinks) sink->WriteLine(line, diagnostic);
}

}  // namespace

void AddScriptLogSink(TScriptLogSink* sink)
{
    if (sink && std::find(State().sinks.begin(), State().sinks.end(), sink) == State().sinks.end()) {
        State().sinks.push_back(sink);
    }
}

void RemoveScriptLogSink(TScriptLogSink* sink)
{
    auto& sinks = State().sinks;
    sinks.erase(std::remove(sinks.begin(), sinks.end(), sink), sinks.end());
}

TScriptPlaceScope::TScriptPlaceScope(const std::string* page_name, int32_t index, const char* command_name)
    : page_name_(place.page_name), index_(place.index), command_name_(place.command_name)
{
    place.page_name = page_name;
    place.index = index;
    place.command_name = command_name;
}

TScriptPlaceScope::~TScriptPlaceScope()
{
    place.page_name = page_name_;
    place.index = index_;
    place.command_name = command_name_;
}

std::string ScriptPlaceText()
{
    if (!place.page_name) return {};
    return *place.page_name + ":" + std::to_string(place.index) + " " + (place.command_name ? place.command_name : "?");
}

void ReportScriptFailure(const std::string& cp932_message)
{
    TScriptLogState& state = State();
    if (state.sinks.empty()) return;
    std::string place = ScriptPlaceText();
    std::string line = place.empty() ? cp932_message : place + ": " + cp932_message;
    if (state.logged.size() >= kMaxRemembered) state.logged.clear();
    if (!state.logged.insert(line).second) return;
    WriteToSinks(line, false);
}

void ReportNotAvailable(const std::string& what) { ReportScriptFailure(script_log_messages::NotAvailableYet(what)); }

void ReportDiagnostic(const std::string& cp932_line)
{
    if (State().sinks.empty()) {
        // Without a sink nothing converts the text: the bytes go out as they are (the
        // reasons are ASCII apart from names).
        std::fprintf(stderr, "%s\n", cp932_line.c_str());
        return;
    }
    WriteToSinks(cp932_line, true);
}

void ForgetLoggedFailures() { State().logged.clear(); }

}  // namespace mobu
