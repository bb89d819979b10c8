#include "tools/mobupack/build_pipeline.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
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

// Why code page 932 cannot hold a UTF-8 name: its first character without a counterpart, or
// bytes that are not UTF-8 at all.
std::string UnholdableCharacter(const std::string& utf8_name)
{
    if (!IsUtf8(utf8_name)) return "the name is not UTF-8; game file names must be";
    size_t at = 0;
    while (at < utf8_name.size()) {
        const auto lead = static_cast<uint8_t>(utf8_name[at]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string character = utf8_name.substr(at, length);
        std::optional<std::string> held = Utf8ToCp932Exact(character);
        if (!held || Cp932ToUtf8(*held) != character) {
            return "code page 932 (the game's file names) cannot hold the character \"" + character + "\"; rename the file";
        }
        at += length;
    }
    return "code page 932 (the game's file names) cannot hold this name; rename the file";
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

std::string TBuildContext::ReadSourceText(const std::string& relative_path) const
{
    std::optional<std::string> bytes = ReadRealFile(source_folder + relative_path);
    if (!bytes) throw EMobuError(Utf8ToCp932(relative_path + ": cannot be read"));
    return SourceTextOf(relative_path, std::move(*bytes), source_encoding);
}

void TBuildContext::Stop()
{
    std::fputs(report.Text().c_str(), stderr);
    const int errors = report.ErrorCount();
    const int warnings = report.WarningCount();
    std::string summary = std::to_string(errors) + (errors == 1 ? " error" : " errors");
    if (warnings > 0) summary += ", " + std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
    if (warnings_are_errors && warnings > 0) summary += " (warnings count as errors)";
    throw EMobuError(summary);
}

void AddLocatedError(TCheckReport& report, const std::string& file, const std::string& utf8_message)
{
    // "NAME:LINE: what" or "line LINE: what" (the page assembler's form).
    size_t colon = utf8_message.find(':');
    std::string place = colon == std::string::npos ? std::string() : utf8_message.substr(0, colon);
    std::string name = file;
    if (place.rfind("line ", 0) == 0) {
        place = place.substr(5);
    } else if (colon != std::string::npos) {
        size_t second = utf8_message.find(':', colon + 1);
        if (second != std::string::npos) {
            name = place;
            place = utf8_message.substr(colon + 1, second - colon - 1);
            colon = second;
        }
    }
    const bool numbered = !place.empty() && place.size() < 10 && place.find_first_not_of("0123456789") == std::string::npos;
    if (!numbered) {
        report.Error(file, 0, utf8_message);
        return;
    }
    size_t start = colon + 1;
    while (start < utf8_message.size() && utf8_message[start] == ' ') ++start;
    report.Error(name, std::stoi(place), utf8_message.substr(start));
}

std::string ArchiveNameOf(const std::string& relative_path)
{
    std::optional<std::string> exact = Utf8ToCp932Exact(relative_path);
    if (!exact || Cp932ToUtf8(*exact) != relative_path) {
        // Said in UTF-8 (not through a cp932 message, which could not show the name).
        throw std::runtime_error(relative_path + ": " + UnholdableCharacter(relative_path));
    }
    std::string name = std::move(*exact);
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
