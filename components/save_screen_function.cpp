// SaveScreen(path [, width] [, height] [, other base] [, record]): the shown screen base (or
// the other one) composed now as the frame draw would, scaled with smoothing and written as a
// one-frame layered image: a memory file for "mem:", also the save file for "save:", else the
// file below the base folder, written atomically. The image cache forgets the path.
#include <string>

#include "archive/save_entry_writer.h"
#include "archive/vr_file_manager.h"
#include "components/component_functions.h"
#include "components/fesk_collection.h"
#include "components/mobu_base.h"
#include "core/globals.h"
#include "expr/custom_param.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"
#include "graphics/dibx.h"
#include "graphics/fesk_frame_list.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/install_data.h"

namespace mobu {
namespace {

bool EndsWithFsk(const std::string& path)
{
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == ".fsk";
}

}  // namespace

std::string EncodeScreenImage(TMobuBaseList& list, bool other_base, int32_t width, int32_t height)
{
    TMobuBase* base = other_base ? list.InactiveBase() : list.ActiveBase();
    TDIBX composed;
    composed.SetSize(list.ScreenWidth(), list.ScreenHeight(), 32);
    base->DrawWhole(composed);
    TFeskFrameList image;
    TFeskFrame& frame = image.Add();
    frame.Image.Duplicate(composed.Store());
    // Smooth resampling works on 24 bits and leaves a 32-bit store at 24 bits.
    if (width != frame.Image.Width() || height != frame.Image.Height()) frame.Image.Resample(width, height, true, -1, true);
    if (frame.Image.BitCount() != 24) frame.Image.ChangeBitCount(24, 0, false);
    return image.SaveToStream(kFeskDefaultCompression, 70);
}

bool SaveScreen(TMobuBaseList* list, const std::string& path, int32_t width, int32_t height, bool other_base,
                int32_t record)
{
    if (!list || !EndsWithFsk(path)) return false;
    TVrFileManager& files = VrFileManager();
    const std::string& base_folder = files.BaseFolder();
    if (base_folder.empty() || !RealFolderExists(base_folder)) return false;
    if (width == 0) width = list->ScreenWidth();
    if (height == 0) height = list->ScreenHeight();
    if (width < 1 || height < 1 || width > kMaxScreenShotSide || height > kMaxScreenShotSide) return false;

    const bool memory = IsMemoryFileName(path) || IsSaveFileName(path);
    std::string real_path;
    if (!memory) {
        if (!IsSafeVirtualPath(path)) return false;
        real_path = MapRealPath(base_folder, path);
        if (real_path.empty() || !RealFolderLiesInside(RealFolderOf(real_path), base_folder)) return false;
    }
    const std::string bytes = EncodeScreenImage(*list, other_base, width, height);
    bool written = memory ? WriteMemoryFile(path, bytes) : ReplaceFileAtomically(real_path, bytes);
    if (!written) return false;
    FeskCollection().Forget(path);
    if (!memory && record == 1) TempFileList.push_back(real_path);
    if (!memory && record == 2) {
        if (auto install = FindRealSibling(base_folder, "install.dat")) {
            try {
                RecordCreatedFile(*install, path);
            } catch (const std::exception&) {
                // An install file that cannot be read stays as it is; the picture is written.
            }
        }
    }
    return true;
}

void InstallSaveScreen(TSysFuncMan& functions)
{
    functions.SetHandler(kSysFuncSaveScreen, [](TCustomParam& result, const TSysFuncMan::Arguments& a) {
        result.SetFlag(false);
        if (a.empty()) return;
        auto integer = [&](size_t i) { return i < a.size() ? a[i]->GetInteger() : 0; };
        const bool other = a.size() > 3 && a[3]->GetFlag();
        result.SetFlag(SaveScreen(GlobalBaseList(), a[0]->GetString(), integer(1), integer(2), other, integer(4)));
    });
}

}  // namespace mobu
