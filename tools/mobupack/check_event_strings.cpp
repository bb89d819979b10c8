// Check: event strings ("page.msb:label" in PR_ON... properties) name a page of the game and
// a label of that page, read the way the player splits them. A string without a colon is a
// page name: when no such page exists it is most likely a label written without its page.
#include "expr/param_types.h"
#include "platform/text_encoding.h"
#include "script/call_man.h"
#include "script/property_names.h"
#include "tools/mobupack/checked_game.h"
#include "core/nearest_name.h"
#include "tools/mobupack/property_uses.h"

namespace mobu::mobupack {
namespace {

bool IsEventProperty(int id)
{
    const TPropertyName* property = PropertyNameOf(id);
    return property && property->type == PT_STR && std::string_view(property->name).starts_with("PR_ON");
}

std::vector<std::string> LabelsOf(const TPage& page)
{
    std::vector<std::string> labels;
    for (int32_t index = 0; index < page.Count(); ++index) {
        const TCommand& command = *page.Command(index);
        if (command.CommandId() == CI_LABEL) labels.push_back(command.Text(0));
    }
    return labels;
}

void CheckEventStrings(const TCheckedGame& game, TCheckReport& report)
{
    for (const TCheckedPage& checked : game.pages) {
        for (const TPropertyUse& use : PropertyUses(*checked.page)) {
            std::string handler;
            if (!IsEventProperty(use.property) || !ConstantText(use.value, handler) || handler.empty()) continue;
            std::string file_name, label;
            SplitEventHandler(handler, file_name, label);
            const std::string quoted = "event string \"" + Cp932ToUtf8(handler) + "\"";
            const TCheckedPage* target = game.FindPage(file_name);
            if (!target && game.HasEntry(file_name)) continue;  // reported as a page that cannot be loaded
            const bool has_colon = handler.find(':') != std::string::npos;
            if (!has_colon) {
                if (target) continue;
                report.Warning(checked.file, LineOf(*use.command),
                               quoted + " names no page; did you mean \"" + Cp932ToUtf8(checked.name) + ":" +
                                   Cp932ToUtf8(handler) + "\"?");
                continue;
            }
            if (!target) {
                report.Error(checked.file, LineOf(*use.command),
                             quoted + ": no page \"" + Cp932ToUtf8(file_name) + "\" in the game");
                continue;
            }
            if (label.empty() || target->page->FindLabel(label) >= 0) continue;
            std::string message = quoted + ": " + Cp932ToUtf8(file_name) + " has no label \"" + Cp932ToUtf8(label) + "\"";
            const std::string nearest = NearestName(label, LabelsOf(*target->page));
            if (!nearest.empty()) message += " (nearest: \"" + Cp932ToUtf8(nearest) + "\")";
            report.Error(checked.file, LineOf(*use.command), message);
        }
    }
}

const TGameCheckRegistration registration({"event strings", CheckEventStrings});

}  // namespace
}  // namespace mobu::mobupack
