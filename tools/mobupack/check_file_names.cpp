// Check: pictures, sounds, films and other files named by a constant property value (PR_SOURCE
// and the other ...SOURCE properties, PR_CURSOR) or by Flip's mask picture are files of the
// game, and their paths are written with "\" as the game's virtual paths are.
#include "core/cp932_chars.h"
#include "platform/text_encoding.h"
#include "script/property_names.h"
#include "tools/mobupack/checked_game.h"
#include "core/nearest_name.h"
#include "tools/mobupack/property_uses.h"

namespace mobu::mobupack {
namespace {

constexpr int kFlipMaskField = 8;

bool NamesFile(int id)
{
    const TPropertyName* property = PropertyNameOf(id);
    if (!property) return false;
    const std::string_view name = property->name;
    return name.find("SOURCE") != std::string_view::npos || name == "PR_CURSOR";
}

void CheckName(const TCheckedGame& game, TCheckReport& report, const TCheckedPage& checked, const TCommand& command,
               const std::string& what, const std::string& path)
{
    const std::string shown = what + " \"" + Cp932ToUtf8(path) + "\"";
    bool slash = false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsCp932LeadByte(path[i])) ++i;
        else if (path[i] == '/') slash = true;
    }
    if (slash) {
        report.Warning(checked.file, LineOf(command), shown + " is written with \"/\"; the game's paths use \"\\\"");
    }
    if (game.HasEntry(path)) return;
    std::string message = shown + ": no such file in the game";
    const std::string nearest = NearestName(path, game.entries, FoldedPath);
    if (!nearest.empty()) message += " (nearest: \"" + Cp932ToUtf8(nearest) + "\")";
    report.Warning(checked.file, LineOf(command), message);
}

void CheckFileNames(const TCheckedGame& game, TCheckReport& report)
{
    for (const TCheckedPage& checked : game.pages) {
        for (const TPropertyUse& use : PropertyUses(*checked.page)) {
            std::string path;
            if (!NamesFile(use.property) || !ConstantText(use.value, path) || path.empty()) continue;
            // A cursor may be a built-in one named without an extension.
            if (std::string_view(PropertyNameOf(use.property)->name) == "PR_CURSOR" && path.find('.') == std::string::npos) {
                continue;
            }
            CheckName(game, report, checked, *use.command, PropertyNameOf(use.property)->name, path);
        }
        for (int32_t index = 0; index < checked.page->Count(); ++index) {
            const TCommand& command = *checked.page->Command(index);
            if (command.Disabled || command.CommandId() != CI_FLIP || !command.Fields()[kFlipMaskField].present) continue;
            std::string path;
            if (ConstantText(command.Expr(kFlipMaskField), path) && !path.empty()) {
                CheckName(game, report, checked, command, "Flip text", path);
            }
        }
    }
}

const TGameCheckRegistration registration({"file names", CheckFileNames});

}  // namespace
}  // namespace mobu::mobupack
