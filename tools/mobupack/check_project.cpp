// Check: the project names pages the game has (start page, exit page) and a screen size the
// player can open (1 to 8192 pixels each way).
#include "platform/text_encoding.h"
#include "tools/mobupack/checked_game.h"
#include "core/nearest_name.h"

namespace mobu::mobupack {
namespace {

constexpr int32_t kLargestScreenSide = 8192;

std::vector<std::string> PageNames(const TCheckedGame& game)
{
    std::vector<std::string> names;
    for (const TCheckedPage& page : game.pages) names.push_back(page.name);
    return names;
}

void CheckPage(const TCheckedGame& game, TCheckReport& report, const std::string& page, const char* key, const char* what)
{
    if (game.HasEntry(page)) return;  // a page that cannot be loaded is reported as such
    std::string message = std::string(what) + " \"" + Cp932ToUtf8(page) + "\" is not a page of the game";
    const std::string nearest = NearestName(page, PageNames(game), FoldedPath);
    if (!nearest.empty()) message += " (nearest: \"" + Cp932ToUtf8(nearest) + "\")";
    report.Error(game.project_file, game.ProjectLine({key}), message);
}

void CheckProject(const TCheckedGame& game, TCheckReport& report)
{
    CheckPage(game, report, game.project.start_page, "start_page", "the start page");
    if (!game.project.exit_page.empty()) CheckPage(game, report, game.project.exit_page, "exit_page", "the exit page");
    const int32_t width = game.project.screen_width;
    const int32_t height = game.project.screen_height;
    if (width < 1 || width > kLargestScreenSide || height < 1 || height > kLargestScreenSide) {
        report.Error(game.project_file, game.ProjectLine({"screen", "screen_width", "screen_height"}),
                     "screen size " + std::to_string(width) + "x" + std::to_string(height) +
                         " is outside 1..8192 each way");
    }
}

const TGameCheckRegistration registration({"project", CheckProject});

}  // namespace
}  // namespace mobu::mobupack
