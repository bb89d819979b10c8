// Build step: every page source (*.mss) of the game folder -> the page file of the same
// name with the extension "msb". Jumps and calls into other pages of the build resolve
// their label targets from those pages' sources.
#include <algorithm>
#include <filesystem>
#include <map>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "core/cp932_chars.h"
#include "script/page_source.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void CollectSources(const std::filesystem::path& folder, const std::string& prefix, const std::string& output,
                    std::vector<std::string>& found)
{
    std::vector<std::filesystem::directory_entry> items;
    for (const auto& item : std::filesystem::directory_iterator(folder)) items.push_back(item);
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& item : items) {
        std::string name = item.path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        if (item.is_directory()) {
            std::error_code error;
            if (std::filesystem::equivalent(item.path(), output, error)) continue;
            CollectSources(item.path(), prefix + name + "/", output, found);
        } else if (item.is_regular_file() && name.size() > 4 &&
                   Cp932Lower(name.substr(name.size() - 4)) == ".mss") {
            found.push_back(prefix + name);
        }
    }
}

void CompilePages(TBuildContext& context)
{
    std::vector<std::string> sources;
    CollectSources(context.source_folder, "", context.output_folder, sources);
    // Page file name (cp932, as scripts name it) -> source text.
    std::map<std::string, std::string> texts;
    std::map<std::string, std::string> relative_of;
    for (const auto& relative : sources) {
        const std::optional<std::string> text = context.ReadSourceText(relative);
        std::string page = ArchiveNameOf(relative.substr(0, relative.size() - 3) + "msb");
        texts[page] = *text;
        relative_of[page] = relative;
    }
    std::map<std::string, std::function<int32_t(const std::string&)>> labels;
    for (const auto& [page, relative] : relative_of) {
        const std::string& text = texts[page];
        TPageSourceOptions options;
        options.page_name = page;
        options.resolve_label = [&](const std::string& other, const std::string& label) -> int32_t {
            auto found = texts.find(other);
            if (found == texts.end()) return -1;
            auto index = labels.find(other);
            if (index == labels.end()) index = labels.emplace(other, SourceLabelIndex(found->second)).first;
            return index->second(label);
        };
        std::string bytes;
        try {
            bytes = AssemblePage(text, options);
        } catch (const EMobuError& error) {
            // Every page is tried, so one build shows the faults of all of them.
            AddLocatedError(context.report, relative, Cp932ToUtf8(error.what()));
            continue;
        }
        context.AddGeneratedFile(page, std::move(bytes));
        context.page_sources[page] = relative;
        context.Claim(relative);
    }
    if (context.report.ErrorCount() > 0) context.Stop();
}

const TBuildStepRegistration registration({300, "pages", CompilePages});

}  // namespace
}  // namespace mobu::mobupack
