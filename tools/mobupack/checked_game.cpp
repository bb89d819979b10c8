#include "tools/mobupack/checked_game.h"


#include "archive/vr_file.h"
#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"

namespace mobu::mobupack {
namespace {

std::vector<TGameCheck>& Registry()
{
    static std::vector<TGameCheck> checks;
    return checks;
}

bool IsPageName(const std::string& name)
{
    return name.size() > 4 && Cp932Lower(name.substr(name.size() - 4)) == ".msb";
}

int32_t StoredVersion(const std::string& bytes)
{
    if (bytes.size() < 4) return -1;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
    return static_cast<int32_t>(value);
}

// An entry of a folder being packed: the file of the folder itself.
bool ReadFromFolder(const TVrFileCollection& archive, const std::string& name, std::string& bytes)
{
    if (archive.Folder().empty()) return false;
    std::string relative = Cp932ToUtf8(name);
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    std::optional<std::string> text = ReadRealFile(archive.Folder() + relative);
    if (!text) return false;
    bytes = std::move(*text);
    return true;
}

}  // namespace

std::string FoldedPath(const std::string& cp932_name)
{
    std::string folded;
    folded.reserve(cp932_name.size());
    for (size_t i = 0; i < cp932_name.size(); ++i) {
        char c = cp932_name[i];
        if (IsCp932LeadByte(c) && i + 1 < cp932_name.size()) {
            folded += c;
            folded += cp932_name[++i];
            continue;
        }
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        folded += c;
    }
    return folded;
}

const TCheckedPage* TCheckedGame::FindPage(const std::string& name) const
{
    const std::string folded = FoldedPath(name);
    for (const TCheckedPage& page : pages) {
        if (FoldedPath(page.name) == folded) return &page;
    }
    return nullptr;
}

bool TCheckedGame::HasEntry(const std::string& name) const
{
    const std::string folded = FoldedPath(name);
    for (const std::string& entry : entries) {
        if (FoldedPath(entry) == folded) return true;
    }
    return false;
}

int TCheckedGame::ProjectLine(std::initializer_list<const char*> keys) const
{
    for (const char* key : keys) {
        auto found = project_lines.find(key);
        if (found != project_lines.end()) return found->second;
    }
    return 0;
}

std::map<std::string, int> ProjectKeyLines(const std::string& utf8_text)
{
    std::map<std::string, int> lines;
    int number = 0;
    size_t start = 0;
    while (start <= utf8_text.size()) {
        size_t end = utf8_text.find('\n', start);
        if (end == std::string::npos) end = utf8_text.size();
        std::string line = utf8_text.substr(start, end - start);
        start = end + 1;
        ++number;
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        size_t first = key.find_first_not_of(" \t\xEF\xBB\xBF");
        size_t last = key.find_last_not_of(" \t");
        if (first == std::string::npos) continue;
        key = key.substr(first, last - first + 1);
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        lines.emplace(key, number);
    }
    return lines;
}

TCheckedGame ReadCheckedGame(const TVrFileCollection& archive, const TProjectSetting& project,
                             const std::map<std::string, std::string>& page_files, TCheckReport& report)
{
    TCheckedGame game;
    game.project = project;
    for (int i = 0; i < archive.Count(); ++i) {
        const TVrFile& entry = *archive.Item(i);
        if (entry.Name() == kEofEntryName) continue;
        game.entries.push_back(entry.Name());
        if (!IsPageName(entry.Name())) continue;
        auto source = page_files.find(entry.Name());
        TCheckedPage checked{entry.Name(), source != page_files.end() ? source->second : Cp932ToUtf8(entry.Name()),
                             std::make_unique<TPage>()};
        std::string bytes;
        if (!archive.ReadEntry(entry, bytes) && !ReadFromFolder(archive, entry.Name(), bytes)) {
            report.Error(checked.file, 0, "cannot be read");
            continue;
        }
        const int32_t version = StoredVersion(bytes);
        if (version < kOldestPageVersion || version > kNewestPageVersion) {
            report.Error(checked.file, 0,
                         "page version " + std::to_string(version) + ": the player runs versions " +
                             std::to_string(kOldestPageVersion) + "-" + std::to_string(kNewestPageVersion));
            continue;
        }
        try {
            checked.page->LoadFromBytes(entry.Name(), bytes);
        } catch (const EMobuError& error) {
            report.Error(checked.file, 0, Cp932ToUtf8(error.what()));
            continue;
        }
        game.pages.push_back(std::move(checked));
    }
    return game;
}

TGameCheckRegistration::TGameCheckRegistration(TGameCheck check) { Registry().push_back(std::move(check)); }

void RunGameChecks(const TCheckedGame& game, TCheckReport& report)
{
    for (const TGameCheck& check : Registry()) check.run(game, report);
}

}  // namespace mobu::mobupack
