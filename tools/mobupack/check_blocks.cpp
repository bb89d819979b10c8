// Check: blocks hold together the way the player runs them. A While leaves to the command
// after its WhileLoop and a WhileLoop goes back to its While (stored indexes); Break and
// Continue outside a loop end the page; an Elseif or Else is tried only when, skipping the
// deeper commands before it, it follows an If or Elseif of its own depth.
#include "tools/mobupack/checked_game.h"

namespace mobu::mobupack {
namespace {

bool IsId(const TPage& page, int32_t index, uint8_t id)
{
    return index >= 0 && index < page.Count() && page.Command(index)->CommandId() == id;
}

// The command an Elseif or Else at `index` continues: the nearest earlier command no deeper
// than it, or -1.
int32_t ChainBefore(const TPage& page, int32_t index)
{
    const int32_t depth = page.Command(index)->Depth;
    for (int32_t at = index - 1; at >= 0; --at) {
        if (page.Command(at)->Depth <= depth) return at;
    }
    return -1;
}

void CheckPage(const TCheckedPage& checked, TCheckReport& report)
{
    const TPage& page = *checked.page;
    for (int32_t index = 0; index < page.Count(); ++index) {
        const TCommand& command = *page.Command(index);
        const int line = LineOf(command);
        switch (command.CommandId()) {
        case CI_WHILE: {
            const int32_t end = command.Number(1) - 1;
            if (!IsId(page, end, CI_WHILELOOP) || page.Command(end)->Number(1) != index) {
                report.Error(checked.file, line, "While without WhileLoop: the loop has no end");
            }
            break;
        }
        case CI_WHILELOOP: {
            const int32_t head = command.Number(1);
            if (!IsId(page, head, CI_WHILE) || page.Command(head)->Number(1) != index + 1) {
                report.Error(checked.file, line, "WhileLoop without While");
            }
            break;
        }
        case CI_BREAK:
        case CI_CONTINUE:
            if (command.Number(1) < 0 || command.Number(1) > page.Count()) {
                report.Error(checked.file, line,
                             std::string(command.Info().name) + " outside a loop: it would end the page");
            }
            break;
        case CI_ELSEIF:
        case CI_ELSE: {
            const int32_t before = ChainBefore(page, index);
            const bool chained = before >= 0 && page.Command(before)->Depth == command.Depth &&
                                 (IsId(page, before, CI_IF) || IsId(page, before, CI_ELSEIF));
            if (!chained) {
                std::string message = std::string(command.Info().name) + " without If";
                if (before >= 0 && IsId(page, before, CI_ELSE) && page.Command(before)->Depth == command.Depth) {
                    message += ": it follows an Else, so it is never reached";
                } else {
                    message += " at the same depth before it";
                }
                report.Error(checked.file, line, message);
            }
            break;
        }
        default: break;
        }
    }
}

void CheckBlocks(const TCheckedGame& game, TCheckReport& report)
{
    for (const TCheckedPage& checked : game.pages) CheckPage(checked, report);
}

const TGameCheckRegistration registration({"blocks", CheckBlocks});

}  // namespace
}  // namespace mobu::mobupack
