// Build step: every file of the source folder that no earlier step claimed, packed as it
// is. Sub-folders are walked in name order; names starting with "." (editor and version
// control files) are left out, and so is the output folder when it lies inside the
// source (the archive being written must not pack itself or an older build).
#include <algorithm>
#include <filesystem>

#include "app/mobu_error.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void CollectFolder(TBuildContext& context, const std::filesystem::path& folder, const std::string& prefix)
{
    std::vector<std::filesystem::directory_entry> items;
    for (const auto& item : std::filesystem::directory_iterator(folder)) items.push_back(item);
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& item : items) {
        std::string name = item.path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::string relative = prefix + name;
        if (item.is_directory()) {
            std::error_code error;
            if (std::filesystem::equivalent(item.path(), context.output_folder, error)) continue;
            CollectFolder(context, item.path(), relative + "/");
        } else if (item.is_regular_file() && !context.IsClaimed(relative)) {
            context.AddSourceFile(ArchiveNameOf(relative));
        }
    }
}

void CollectFiles(TBuildContext& context) { CollectFolder(context, context.source_folder, ""); }

const TBuildStepRegistration registration({800, "files", CollectFiles});

}  // namespace
}  // namespace mobu::mobupack
