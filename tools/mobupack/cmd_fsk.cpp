// mobupack fsk: converts a PNG, BMP or DIB file into a layered image (".fsk"), or the first
// frame of a layered image back into a PNG.
#include <cstdio>
#include <fstream>

#include "graphics/fesk_frame_list.h"
#include "graphics/png_file_writer.h"
#include "platform/durable_files.h"
#include "tools/mobupack/command_registry.h"
#include "tools/mobupack/fsk_ident_check.h"

namespace mobu::mobupack {
namespace {

std::string LowerExtension(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    std::string out = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

int RunFsk(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: mobupack fsk IN OUT  (IN .png/.bmp/.dib -> OUT .fsk, or IN .fsk -> OUT .png)\n");
        return 2;
    }
    const std::string& in = arguments[0];
    const std::string& out = arguments[1];
    const int32_t ident_code = arguments.size() >= 3 ? static_cast<int32_t>(std::stol(arguments[2])) : 0;
    TFeskFrameList list(ident_code);
    const std::string in_kind = LowerExtension(in);
    if (in_kind != "fsk" && in_kind != "png" && in_kind != "bmp" && in_kind != "dib") {
        std::fprintf(stderr, "mobupack fsk: %s: not a .fsk, .png, .bmp or .dib file\n", in.c_str());
        return 1;
    }
    if (in_kind == "fsk" && LowerExtension(out) == "png") {
        std::optional<std::string> bytes = ReadRealFile(in);
        const std::string fault = bytes ? IdentCodeFault(*bytes, ident_code) : std::string();
        if (!fault.empty()) {
            std::fprintf(stderr, "mobupack fsk: %s: %s\n", in.c_str(), fault.c_str());
            return 1;
        }
    }
    list.LoadFromFile(in, false, false, false);
    if (list.Count() == 0) {
        std::fprintf(stderr, "mobupack fsk: %s: no image\n", in.c_str());
        return 1;
    }
    if (LowerExtension(out) == "png") {
        std::string bytes = EncodePng(list.Frames(0).Image);
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "mobupack fsk: %s: cannot write\n", out.c_str());
            return 1;
        }
        return 0;
    }
    list.SaveToFile(out);
    return 0;
}

const CommandRegistration kRegistration({"fsk", "fsk IN OUT [IDENTCODE]",
                                         "convert a PNG/BMP/DIB image to a layered image (.fsk; protected with IDENTCODE), or .fsk to PNG "
                                         "(a protected one needs its IDENTCODE: a missing or wrong code is refused)",
                                         RunFsk});

}  // namespace
}  // namespace mobu::mobupack
