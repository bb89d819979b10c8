#include "tools/mobupack/build_pipeline.h"

#include <algorithm>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/text_encoding.h"

namespace mobu::mobupack {
namespace {

std::vector<TBuildStep>& Registry()
{
    static std::vector<TBuildStep> steps;
    return steps;
}

std::string FoldCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

void CollectFolder(const TBuildContext& context, const std::filesystem::path& folder, const std::string& prefix,
                   std::vector<std::string>& files)
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
            CollectFolder(context, item.path(), relative + "/", files);
        } else if (item.is_regular_file()) {
            files.push_back(relative);
        }
    }
}

}  // namespace

std::vector<std::string> SourceFiles(const TBuildContext& context)
{
    std::vector<std::string> files;
    CollectFolder(context, context.source_folder, "", files);
    return files;
}

TBuildStepRegistration::TBuildStepRegistration(TBuildStep step) { Registry().push_back(std::move(step)); }

std::vector<TBuildStep> BuildSteps()
{
    std::vector<TBuildStep> steps = Registry();
    std::stable_sort(steps.begin(), steps.end(), [](const TBuildStep& a, const TBuildStep& b) { return a.order < b.order; });
    return steps;
}

std::string ArchiveNameOf(const std::string& relative_path)
{
    std::string name = Utf8ToCp932(relative_path);
    if (Cp932ToUtf8(name) != relative_path) {
        throw EMobuError(Utf8ToCp932(relative_path) + ": the name holds characters that code page 932 cannot hold");
    }
    for (char& c : name) {
        if (c == '/') c = '\\';  // 0x2F is never a trail byte
    }
    return name;
}

void TBuildContext::AddGeneratedFile(const std::string& cp932_name, std::string bytes)
{
    if (archive.Find(cp932_name) != nullptr) {
        throw EMobuError(cp932_name + ": two files of the build have this name");
    }
    archive.AddMemoryFile(cp932_name)->MemData->Data() = std::move(bytes);
}

void TBuildContext::AddSourceFile(const std::string& cp932_name)
{
    if (archive.Find(cp932_name) != nullptr) {
        throw EMobuError(cp932_name + ": two files of the build have this name");
    }
    archive.AddFileEntry(cp932_name);
}

void TBuildContext::Claim(const std::string& relative_path) { claimed_.insert(FoldCase(relative_path)); }

bool TBuildContext::IsClaimed(const std::string& relative_path) const
{
    return claimed_.count(FoldCase(relative_path)) != 0;
}

}  // namespace mobu::mobupack
