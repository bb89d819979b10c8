// The script log: failures of the running script that stay silent to the game (a command
// that fails is skipped, a failing expression gives no result) but are told to the author.
// Each line names the place the interpreter stands (page file name, command index, command
// name) and the message: "start.msb:12 Calc: Foo:この関数は使えません". A failure is written
// once per place and message. Lines are cp932 here; the sinks that platform/ and app/
// install turn them into UTF-8 and write them where they belong (standard error, files).
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

class TScriptLogSink {
public:
    virtual ~TScriptLogSink() = default;
    // One finished line, cp932, without line end. `diagnostic` marks a line of
    // ReportDiagnostic, which standard error shows even when script failures are not traced.
    virtual void WriteLine(const std::string& cp932_line, bool diagnostic) = 0;
};

// Sinks are not owned; a sink removes itself before it goes.
void AddScriptLogSink(TScriptLogSink* sink);
void RemoveScriptLogSink(TScriptLogSink* sink);

// Where the interpreter stands while a command runs; the interpreter sets it around each
// step. `page_name` must outlive the scope.
class TScriptPlaceScope {
public:
    TScriptPlaceScope(const std::string* page_name, int32_t index, const char* command_name);
    ~TScriptPlaceScope();
    TScriptPlaceScope(const TScriptPlaceScope&) = delete;
    TScriptPlaceScope& operator=(const TScriptPlaceScope&) = delete;

private:
    const std::string* page_name_;
    int32_t index_;
    const char* command_name_;
};

// "start.msb:12 Calc", or "" outside a command.
std::string ScriptPlaceText();

// Logs a failure of the script at the current place, once per place and message.
void ReportScriptFailure(const std::string& cp932_message);
// Logs that `what` (a component type, a property) is not available yet; "" names the
// command that runs.
void ReportNotAvailable(const std::string& what = {});
// Logs a line as it is, every time, and writes it to standard error even without sinks
// (damaged files: the precise reason behind a short system message).
void ReportDiagnostic(const std::string& cp932_line);
// Forgets which failures were logged (a new game, tests).
void ForgetLoggedFailures();

}  // namespace mobu
