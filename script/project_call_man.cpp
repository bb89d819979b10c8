#include "script/project_call_man.h"

#include "core/globals.h"
#include "platform/message_box.h"
#include "script/call_man.h"
#include "script/call_system_variables.h"
#include "script/page_messages.h"
#include "script/project.h"
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
            call_variables_ = std::make_unique<TCallSystemVariables>(functions->Table(), calls_);
        }
        calls_.EnsureAvailable = [](const std::string& name) {
            TProject* project = Project();
            return project ? project->EnsureAvailable(name) : false;
        };
        calls_.RequestClose = [] {
            if (ProjectParts().request_close) ProjectParts().request_close();
        };
        calls_.RequestSave = [](int32_t slot, const std::string& page, int32_t index, const std::string& caption) {
            if (TProject* project = Project()) project->PendingSave = {slot, page, caption, index};
        };
        calls_.RequestLoad = [](int32_t slot) {
            if (TProject* project = Project()) project->PendingLoadSlot = slot;
        };
        current_call_man = &calls_;
    }
    ~TProjectCallManOfCallMan() override
    {
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
