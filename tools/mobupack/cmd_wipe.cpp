// mobupack wipe: one step of a screen transition between two pictures, for authors choosing
// an effect and for tests. The target is a 32-bit picture holding FROM; the step runs as the
// screen bases run it (SetParam, SetReverse, SetMaskName, Prepare, Position, Step). OUT is
// the target after the step, or TO when there is no transition or the step finished.
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>

#include "app/process_random.h"
#include "graphics/dibx.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/png_file_writer.h"
#include "graphics/wipes/wipe_shadows.h"
#include "graphics/wipes/wipe_table.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

constexpr const char* kUsage =
    "usage: mobupack wipe ID FROM TO OUT [--position P] [--duration D] [--param0 N] [--param1 N] [--reverse] "
    "[--mask FILE] [--seed S]\n";

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t& out)
{
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used, 10);
        if (used != text.size() || value < low || value > high) return false;
        out = value;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The first frame of a PNG, BMP or layered image as a 32-bit surface; false when unreadable.
bool LoadPicture(const std::string& path, TDIBX& out)
{
    TFeskFrameList list(0);
    try {
        const std::string bytes = ReadFileBytes(path);
        list.LoadFromBytes(bytes, PictureKindOf(bytes), false, false, false);
    } catch (const std::exception&) {
        return false;
    }
    if (list.Count() == 0 || list.Frames(0).Image.IsEmpty()) return false;
    // The picture at 32 bits, whatever its own bit count.
    TDIBX picture(&list.Frames(0).Image);
    out.SetSize(picture.Width(), picture.Height(), 32);
    out.Assign(picture);
    return out.BitCount() == 32 && out.Width() == picture.Width() && out.Height() == picture.Height();
}

bool EndsWithBmp(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == ".bmp";
}

int RunWipe(const std::vector<std::string>& arguments)
{
    std::vector<std::string> positional;
    int64_t position = 0, duration = 1000;
    std::optional<int64_t> param0, param1, seed;
    bool reverse = false;
    std::string mask;
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](int64_t low, int64_t high, int64_t& out) {
            return i + 1 < arguments.size() && ParseInt(arguments[++i], low, high, out);
        };
        int64_t number = 0;
        bool ok = true;
        if (a == "--position") ok = value(kMin, kMax, position);
        else if (a == "--duration") ok = value(1, kMax, duration);
        else if (a == "--param0") ok = value(kMin, kMax, number), param0 = number;
        else if (a == "--param1") ok = value(kMin, kMax, number), param1 = number;
        else if (a == "--seed") ok = value(0, std::numeric_limits<uint32_t>::max(), number), seed = number;
        else if (a == "--reverse") reverse = true;
        else if (a == "--mask") ok = i + 1 < arguments.size(), mask = ok ? arguments[++i] : "";
        else if (a.size() > 2 && a.compare(0, 2, "--") == 0) ok = false;
        else positional.push_back(a);
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (positional.size() != 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int id = 0;
    int64_t number = 0;
    if (ParseInt(positional[0], 0, 255, number)) {
        id = static_cast<int>(number);
    } else if (const TWipeKind* kind = FindWipeKindByName(positional[0])) {
        id = kind->Id;
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (seed) SeedProcessRandom(static_cast<uint32_t>(*seed));
    TDIBX from, to, target;
    for (auto [path, picture] : {std::pair{&positional[1], &from}, std::pair{&positional[2], &to}}) {
        if (!LoadPicture(*path, *picture)) {
            std::fprintf(stderr, "mobupack wipe: %s: not a readable picture\n", path->c_str());
            return 1;
        }
    }
    if (from.Width() != to.Width() || from.Height() != to.Height()) {
        std::fprintf(stderr, "mobupack wipe: FROM and TO differ in size\n");
        return 1;
    }
    target.SetSize(from.Width(), from.Height(), 32);
    target.Assign(from);
    SetWipeMaskLoader([](const std::string& name, TWipeMaskPlane& levels) {
        return WipeMaskFromBytes(ReadFileBytes(name), 0, levels);
    });
    std::unique_ptr<TCustomWipe> wipe = CreateWipe(id, &target, &from, &to);
    const TWipeKind* kind = FindWipeKind(id);
    bool finished = true;
    if (wipe) {
        if (param0) wipe->SetParam(0, static_cast<int32_t>(*param0));
        if (param1) wipe->SetParam(1, static_cast<int32_t>(*param1));
        wipe->SetReverse(reverse ? 1 : 0);
        wipe->SetMaskName(mask);
        wipe->Duration = static_cast<int32_t>(duration);
        wipe->Prepare();
        wipe->Position = static_cast<int32_t>(position);
        finished = wipe->Step();
    }
    TDIBX& shown = finished ? to : target;
    const std::string& out = positional[3];
    if (EndsWithBmp(out)) {
        shown.SaveToFile(out);
    } else {
        const std::string bytes = EncodePng(shown.Store());
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::printf("%s %d %d\n", kind ? kind->Name : "WP_NONE", wipe ? wipe->GetParam(0) : 0,
                wipe ? wipe->GetParam(1) : 0);
    return 0;
}

const CommandRegistration kRegistration({"wipe",
                                         "wipe ID FROM TO OUT [--position P] [--duration D] [--param0 N] "
                                         "[--param1 N] [--reverse] [--mask FILE] [--seed S]",
                                         "one step of screen transition ID (0-255 or a WP_ name) from FROM to TO",
                                         RunWipe});

}  // namespace
}  // namespace mobu::mobupack
