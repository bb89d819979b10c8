#include "tools/mobupack/build_pipeline.h"

#include <algorithm>

#include "app/mobu_error.h"
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

}  // namespace

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
