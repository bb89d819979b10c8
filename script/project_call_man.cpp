#include "script/project_call_man.h"

#include "core/globals.h"
#include "core/script_log.h"
#include "platform/message_box.h"
#include "script/call_man.h"
#include "script/call_system_variables.h"
#include "script/delete_stack_function.h"
#include "script/media_system_variables.h"
#include "script/page_messages.h"
#include "script/project.h"
#include "expr/dbs/db_manager.h"
#include "expr/sys_func_man.h"

namespace mobu {
namespace {

TCallMan* current_call_man = nullptr;

class TProjectCallManOfCallMan : public TProjectCallMan {
public:
    explicit TProjectCallManOfCallMan(TCallManComponents* components)
        : calls_(GlobalSysFuncMan(), components)
    {
        if (TSysFuncMan* functions = GlobalSysFuncMan()) {
            media_variables_ = std::make_unique<TMediaSystemVariables>(functions->Table());
            call_variables_ = std::make_unique<TCallSystemVariables>(functions->Table(), calls_);
            InstallDeleteStack(*functions, calls_);
        }
        // The Reset command removes the game tables (the status tables stay).
        calls_.ResetHooks.push_back([] {
            if (TDBManager* database = GlobalDBManager()) database->ResetGameTables();
        });
        calls_.EnsureAvailable = [](const std::string& name) {
            TProject* project = Project();
            return project ? project->EnsureAvailable(name) : false;
        };
        calls_.RequestClose = [] {
            if (ProjectParts().request_close) ProjectParts().request_close();
        };
        // Without the save data part a request would write or read nothing: it is not
        // recorded (so nothing reports a saved slot) and the log says so.
        calls_.RequestSave = [](int32_t slot, const std::string& page, int32_t index, const std::string& caption) {
            TProject* project = Project();
            if (project && project->CanSaveGames()) project->PendingSave = TProject::TSaveRequest{slot, page, caption, index};
            else ReportNotAvailable();
        };
        calls_.RequestLoad = [](int32_t slot) {
            TProject* project = Project();
            if (project && project->CanSaveGames()) project->PendingLoadSlot = slot;
            else ReportNotAvailable();
        };
        // A frame that never ends: the player is asked (the headless runner answers yes)
        // whether to stop, with the page and command where the script spins; the line also
        // goes to the script log.
        calls_.SpinLimitMs = ProjectParts().spin_limit_ms;
        calls_.SpinStopAsked = [](const std::string& place, uint64_t ms) {
            const std::string line = page_messages::ScriptSpins(place, ms);
            ReportScriptFailure(line);
            const bool stop = ShowMessageBox(line + "\r\n" + page_messages::StopTheGameQuestion(),
                                             page_messages::WarningCaption(), MessageIcon::Warning,
                                             MessageButtons::YesNo) == MessageResult::Yes;
            if (stop) ProjectParts().spin_stopped = true;
            return stop;
        };
        current_call_man = &calls_;
    }
    ~TProjectCallManOfCallMan() override
    {
        if (TSysFuncMan* functions = GlobalSysFuncMan()) RemoveDeleteStack(*functions);
        if (current_call_man == &calls_) current_call_man = nullptr;
    }

    void StartPage(const std::string& page) override { calls_.StartPage(page); }

    void Run() override
    {
        try {
            calls_.Run();
        } catch (const std::exception& error) {
            // A page of an event handler or a return target that cannot be loaded, or a
            // damaged command state: nothing can continue the script sensibly.
            QuitRequested = true;
            ShowMessageBox(error.what(), page_messages::WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
            if (ProjectParts().request_close) ProjectParts().request_close();
        }
    }

private:
    TCallMan calls_;
    std::unique_ptr<TMediaSystemVariables> media_variables_;  // under the call's variables
    std::unique_ptr<TCallSystemVariables> call_variables_;
};

}  // namespace

void UseCallManForProject(TCallManComponents* components)
{
    ProjectParts().make_call_man = [components]() -> std::unique_ptr<TProjectCallMan> {
        return std::make_unique<TProjectCallManOfCallMan>(components);
    };
}

TCallMan* ProjectCallMan() { return current_call_man; }

}  // namespace mobu
