// Build step: images marked for conversion become layered images. A source file named
// NAME.fsk.png, NAME.fsk.bmp or NAME.fsk.dib (any letter case) is read as a one-frame
// image and packed as NAME.fsk (the name the game loads), written in the default
// compression or, when the project has an identification code, scrambled with it; the
// source itself is not packed.
//
// A folder named NAME.fsk.d holds the frames of an animation, one picture each, named
// NUMBER.png (or .bmp/.dib) and played in the order of the numbers; NUMBER-DELAYms.png gives
// that frame a delay of DELAY milliseconds instead of 100. The folder becomes the
// multi-frame layered image NAME.fsk; its pictures are not packed.
#include <algorithm>
#include <map>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

// "png", "bmp" or "dib" when the name ends in ".fsk.png" (and the like), else empty.
std::string MarkedImageKind(const std::string& relative)
{
    static const char* const kKinds[] = {"png", "bmp", "dib"};
    const std::string marker = ".fsk.";
    if (relative.size() < marker.size() + 3) return {};
    std::string tail = relative.substr(relative.size() - marker.size() - 3);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* kind : kKinds)
        if (tail == marker + kind) return kind;
    return {};
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool IsFrameFolder(const std::string& folder)
{
    const std::string marker = ".fsk.d";
    return folder.size() > marker.size() && Lower(folder.substr(folder.size() - marker.size())) == marker;
}

// The frame folder holding `relative` somewhere above it, or empty.
std::string EnclosingFrameFolder(const std::string& relative)
{
    for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1))
        if (IsFrameFolder(relative.substr(0, slash))) return relative.substr(0, slash);
    return {};
}

struct TFramePicture {
    long number = 0;
    int32_t delay = 100;
    std::string kind;      // "png", "bmp" or "dib"
    std::string relative;  // UTF-8, relative to the source folder
};

// Reads NUMBER[-DELAYms].EXT; false when the name does not have that form.
bool ParseFrameName(const std::string& name, TFramePicture& picture)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    picture.kind = Lower(name.substr(dot + 1));
    if (picture.kind != "png" && picture.kind != "bmp" && picture.kind != "dib") return false;
    const std::string stem = Lower(name.substr(0, dot));
    size_t digits = 0;
    while (digits < stem.size() && stem[digits] >= '0' && stem[digits] <= '9') ++digits;
    if (digits == 0 || digits > 9) return false;
    picture.number = std::stol(stem.substr(0, digits));
    if (digits == stem.size()) return true;
    const std::string rest = stem.substr(digits);  // "-250ms"
    if (rest.size() < 4 || rest.size() > 12 || rest.front() != '-' || rest.substr(rest.size() - 2) != "ms") return false;
    const std::string delay = rest.substr(1, rest.size() - 3);
    if (!std::all_of(delay.begin(), delay.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    picture.delay = static_cast<int32_t>(std::stol(delay));
    return true;
}

void ConvertFrameFolder(TBuildContext& context, const std::string& folder, std::vector<TFramePicture>& pictures)
{
    const std::string folder_name = ArchiveNameOf(folder);
    std::sort(pictures.begin(), pictures.end(),
              [](const TFramePicture& a, const TFramePicture& b) { return a.number < b.number; });
    TFeskFrameList list(context.project.ident_code);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const TFramePicture& picture = pictures[i];
        const std::string source_name = ArchiveNameOf(picture.relative);
        if (i > 0 && pictures[i - 1].number == picture.number)
            throw EMobuError(source_name + ": frame " + std::to_string(picture.number) + " is given twice");
        std::optional<std::string> bytes = ReadRealFile(context.source_folder + picture.relative);
        if (!bytes) throw EMobuError(source_name + ": cannot be read");
        TFeskFrameList single;
        try {
            single.LoadFromBytes(*bytes, picture.kind, false, false, false);
        } catch (const EMobuError& error) {
            throw EMobuError(source_name + ": " + error.what());
        }
        if (single.Count() != 1) throw EMobuError(source_name + ": no image");
        if (i > 0 && (single.Frames(0).Width() != list.Frames(0).Width() ||
                      single.Frames(0).Height() != list.Frames(0).Height()))
            throw EMobuError(source_name + ": the frame is not the size of the first frame");
        TFeskFrame& frame = list.Add();
        frame = std::move(single.Frames(0));
        frame.Delay = picture.delay;
        context.Claim(picture.relative);
    }
    // "cg\sprite.fsk.d" is loaded as "cg\sprite.fsk".
    context.AddGeneratedFile(folder_name.substr(0, folder_name.size() - 2),
                             list.SaveToStream(kFeskDefaultCompression, 70));
}

void ConvertImages(TBuildContext& context)
{
    std::map<std::string, std::vector<TFramePicture>> frame_folders;
    for (const std::string& relative : SourceFiles(context)) {
        if (context.IsClaimed(relative)) continue;
        const std::string folder = EnclosingFrameFolder(relative);
        if (folder.empty()) continue;
        TFramePicture picture;
        picture.relative = relative;
        const std::string name = relative.substr(folder.size() + 1);
        if (name.find('/') != std::string::npos || !ParseFrameName(name, picture))
            throw EMobuError(ArchiveNameOf(relative) + ": a frame folder holds only pictures named "
                                                       "NUMBER.png or NUMBER-DELAYms.png (.bmp, .dib)");
        frame_folders[folder].push_back(std::move(picture));
    }
    for (auto& [folder, pictures] : frame_folders) ConvertFrameFolder(context, folder, pictures);

    for (const std::string& relative : SourceFiles(context)) {
        const std::string kind = MarkedImageKind(relative);
        if (kind.empty() || context.IsClaimed(relative)) continue;
        const std::string source_name = ArchiveNameOf(relative);
        const std::string target_name = source_name.substr(0, source_name.size() - 4);  // drops ".png"
        std::optional<std::string> bytes = ReadRealFile(context.source_folder + relative);
        if (!bytes) throw EMobuError(source_name + ": cannot be read");
        TFeskFrameList list(context.project.ident_code);
        try {
            list.LoadFromBytes(*bytes, kind, false, false, false);
        } catch (const EMobuError& error) {
            throw EMobuError(source_name + ": " + error.what());
        }
        if (list.Count() == 0) throw EMobuError(source_name + ": no image");
        context.AddGeneratedFile(target_name, list.SaveToStream(kFeskDefaultCompression, 70));
        context.Claim(relative);
    }
}

const TBuildStepRegistration registration({400, "images", ConvertImages});

}  // namespace
}  // namespace mobu::mobupack
