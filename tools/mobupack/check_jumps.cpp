// Check: Jump, Call, PCReset and Reset name a page of the game and a command index inside it
// (a label of the source becomes that index). A Jump or Call without a page does nothing
// when it runs, so it is an error too.
#include "platform/text_encoding.h"
#include "tools/mobupack/checked_game.h"
#include "core/nearest_name.h"

namespace mobu::mobupack {
namespace {

bool IsJump(uint8_t id) { return id == CI_JUMP || id == CI_CALL || id == CI_PCRESET || id == CI_RESET; }

void CheckJumps(const TCheckedGame& game, TCheckReport& report)
{
    std::vector<std::string> names;
    for (const TCheckedPage& page : game.pages) names.push_back(page.name);
    for (const TCheckedPage& checked : game.pages) {
        for (int32_t index = 0; index < checked.page->Count(); ++index) {
            const TCommand& command = *checked.page->Command(index);
            if (command.Disabled || !IsJump(command.CommandId())) continue;
            const std::string name = command.Info().name;
            const std::string& target_page = command.Text(0);
            if (target_page.empty()) {
                report.Error(checked.file, LineOf(command), name + " names no page, so it never goes anywhere (give page: NAME.msb)");
                continue;
            }
            const TCheckedPage* target = game.FindPage(target_page);
            if (!target && game.HasEntry(target_page)) continue;  // reported as a page that cannot be loaded
            if (!target) {
                std::string message = name + " to \"" + Cp932ToUtf8(target_page) + "\": no such page in the game";
                const std::string nearest = NearestName(target_page, names, FoldedPath);
                if (!nearest.empty()) message += " (nearest: \"" + Cp932ToUtf8(nearest) + "\")";
                report.Error(checked.file, LineOf(command), message);
                continue;
            }
            const int32_t at = command.Number(1);
            if (at < 0 || at > target->page->Count()) {
                report.Error(checked.file, LineOf(command),
                             name + " target " + std::to_string(at) + " is outside " + Cp932ToUtf8(target_page) +
                                 " (0.." + std::to_string(target->page->Count()) + ")");
            }
        }
    }
}

const TGameCheckRegistration registration({"jumps", CheckJumps});

}  // namespace
}  // namespace mobu::mobupack
