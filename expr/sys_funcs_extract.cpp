// ExtractFile(files [, confirm] [, folder]): copies game files out of the archives into a
// folder below the base folder (or one the user picks), never outside it.
#include <optional>
#include <string>
#include <vector>

#include "archive/vr_file_manager.h"
#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"
#include "platform/durable_files.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Matches name against pattern from the given byte positions; "*" any run of characters,
// "?" one character (a two-byte character is one), ASCII letters without case.
bool Matches(std::string_view pattern, size_t p, std::string_view name, size_t n)
{
    while (p < pattern.size()) {
        if (pattern[p] == '*') {
            ++p;
            for (size_t at = n;; at += CharByteLength(name, at)) {
                if (Matches(pattern, p, name, at)) return true;
                if (at >= name.size()) return false;
            }
        }
        if (n >= name.size()) return false;
        const size_t name_length = CharByteLength(name, n);
        if (pattern[p] == '?') {
            ++p;
            n += name_length;
            continue;
        }
        const size_t pattern_length = CharByteLength(pattern, p);
        if (pattern_length != name_length) return false;
        if (pattern_length == 1) {
            if (Folded(pattern[p]) != Folded(name[n])) return false;
        } else if (pattern.substr(p, 2) != name.substr(n, 2)) {
            return false;
        }
        p += pattern_length;
        n += name_length;
    }
    return n == name.size();
}

std::string NamePart(const std::string& path)
{
    return path.substr(TVrFileManager::FolderOf(path).size());
}

// The folder argument below the base folder: one holding "..", ":" or a leading separator
// is replaced by the base folder itself.
std::string TargetFolderArgument(const std::string& folder)
{
    if (folder.empty() || folder[0] == '\\' || folder[0] == '/' || !IsSafeVirtualPath(folder)) return std::string();
    return folder;
}

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) { return Matches(pattern, 0, name, 0); }

namespace sys_funcs {

void ExtractFile(TSysFuncCall& c)
{
    c.result.SetFlag(false);
    std::vector<std::string> entries;
    const TCustomParam& files_argument = c.Arg(0);
    if (files_argument.Count() > 1) {
        for (int32_t i = 0; i < files_argument.Count(); ++i) entries.push_back(files_argument.GetStringAt(i));
    } else {
        entries = script_text::SplitLines(files_argument.GetString());
    }
    const bool confirm = c.Has(1) ? c.Flag(1) : true;

    TVrFileManager& files = VrFileManager();
    std::string target;
    if (c.Has(2)) {
        const std::string& base = files.BaseFolder();
        if (base.empty() || !RealFolderExists(base)) return;
        const std::string folder = TargetFolderArgument(c.Str(2));
        target = folder.empty() ? base : MapRealPath(base, folder);
        if (target.empty()) return;
        // The deepest folder that exists already must lie inside the base folder before any
        // folder is made, so no link leads the new folders out of the game.
        std::string existing = target;
        while (!RealFolderExists(existing)) {
            while (!existing.empty() && existing.back() == '/') existing.pop_back();
            const size_t cut = existing.rfind('/');
            if (cut == std::string::npos) return;
            existing.resize(cut + 1);
        }
        if (!RealFolderLiesInside(existing, base)) return;
        if (!CreateRealFolders(target) || !RealFolderLiesInside(target, base)) return;
    } else {
        if (!c.manager.DialogsAllowed) return;
        std::optional<std::string> chosen = ShowFileDialog(TFileDialogKind::Folder, "");
        if (!chosen || !RealFolderExists(*chosen)) return;
        target = *chosen;
    }
    if (target.back() != '/') target += '/';

    struct TMatch {
        std::string virtual_path;
        std::string name;
    };
    std::vector<TMatch> matches;
    for (const std::string& entry : entries) {
        if (entry.empty()) continue;
        const std::string folder = TVrFileManager::FolderOf(entry);
        const std::string pattern = NamePart(entry);
        std::vector<std::string> listed;
        try {
            files.ListFiles(folder, listed);
        } catch (const EMobuError&) {
            continue;
        }
        for (const std::string& path : listed) {
            const std::string name = NamePart(path);
            if (!IsSafeVirtualPath(path) || !IsSafeVirtualPath(name) || !WildcardMatches(pattern, name)) continue;
            matches.push_back({path, name});
        }
    }

    const bool several = entries.size() > 1 || matches.size() > 1;
    bool ask = confirm, skip_existing = false, wrote = false;
    for (const TMatch& match : matches) {
        const std::string real = target + Cp932ToUtf8(match.name);
        if (RealFileExists(real)) {
            if (skip_existing) continue;
            if (ask) {
                const MessageResult answer =
                    ShowMessageBox(expr_messages::ReplaceExistingFileQuestion(match.name), "", MessageIcon::Question,
                                   several ? MessageButtons::YesNoCancelAll : MessageButtons::YesNo);
                if (answer == MessageResult::Cancel) break;
                if (answer == MessageResult::No) continue;
                if (answer == MessageResult::NoToAll) {
                    skip_existing = true;
                    continue;
                }
                if (answer == MessageResult::YesToAll) ask = false;
            }
        }
        std::string bytes;
        try {
            bytes = files.ReadFile(match.virtual_path);
        } catch (const EMobuError&) {
            continue;
        }
        if (ReplaceFileAtomically(real, bytes)) wrote = true;
    }
    c.result.SetFlag(wrote);
}

}  // namespace sys_funcs
}  // namespace mobu
