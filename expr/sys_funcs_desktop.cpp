// Built-in functions that reach the desktop: OpenUrl, the file dialogs and SetWallPaper.
#include <optional>
#include <string>

#include "core/cp932_chars.h"
#include "expr/expr_messages.h"
#include "expr/param_var.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"
#include "platform/desktop_open.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu::sys_funcs {
namespace {

// A chosen real path as the script sees it: cp932 with "\" between the parts. Nothing for a
// path cp932 cannot hold or one that holds "\" itself.
std::optional<std::string> ScriptPath(const std::string& utf8)
{
    if (utf8.find('\\') != std::string::npos) return std::nullopt;
    std::optional<std::string> cp932 = Utf8ToCp932Exact(utf8);
    if (!cp932) return std::nullopt;
    for (size_t i = 0; i < cp932->size(); i += CharByteLength(*cp932, i)) {
        if ((*cp932)[i] == '/') (*cp932)[i] = '\\';
    }
    return cp932;
}

void Select(TSysFuncCall& c, TFileDialogKind kind)
{
    c.result.SetFlag(false);
    TParamVar* var = c.Reference(0);
    if (!var || !c.manager.DialogsAllowed) return;
    const std::string filter = c.Has(1) ? Cp932ToUtf8(c.Str(1)) : std::string();
    bool asked_overwrite = false;
    std::optional<std::string> chosen = ShowFileDialog(kind, filter, &asked_overwrite);
    if (!chosen) return;
    std::optional<std::string> path = ScriptPath(*chosen);
    if (!path) return;
    // A save dialog that let an existing file be chosen without asking: the player asks.
    if (kind == TFileDialogKind::Save && !asked_overwrite && RealFileExists(*chosen) &&
        ShowMessageBox(expr_messages::ReplaceExistingFileQuestion(*path), "", MessageIcon::Question,
                       MessageButtons::YesNo) != MessageResult::Yes) {
        return;
    }
    if (kind == TFileDialogKind::Folder && (path->empty() || path->back() != '\\')) *path += '\\';
    var->SetString(*path);
    c.result.SetFlag(true);
}

}  // namespace

// OpenUrl(target): web and mail addresses only, opened with xdg-open; the result is unset.
void OpenUrl(TSysFuncCall& c) { OpenUrlWithDesktop(Cp932ToUtf8(c.Str(0))); }

void SelectOpenFile(TSysFuncCall& c) { Select(c, TFileDialogKind::Open); }
void SelectSaveFile(TSysFuncCall& c) { Select(c, TFileDialogKind::Save); }
void SelectDirectory(TSysFuncCall& c) { Select(c, TFileDialogKind::Folder); }

// The desktop is never changed on this platform.
void SetWallPaper(TSysFuncCall& c) { c.result.SetFlag(false); }

}  // namespace mobu::sys_funcs
