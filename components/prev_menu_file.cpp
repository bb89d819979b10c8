#include "components/prev_menu_file.h"

#include <algorithm>
#include <cstdio>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "platform/text_encoding.h"

namespace mobu {

namespace prev_menu_messages {
std::string BadFormat() { return SysText(u8"MobuPreviewMenu:このファイル形式には対応していません"); }
std::string BadVersion() { return SysText(u8"MobuPreviewMenu:このバージョンのファイル形式には対応していません"); }
}  // namespace prev_menu_messages

namespace {

constexpr std::string_view kMagic = "MobuPrevMenu";

// Smallest record of a version: every string empty.
size_t SmallestRecord(int version)
{
    size_t strings = 1 + 1 + 3 + 3 + 1;  // Normal, name, Hover/Leave/Click, three overlays, cursor
    size_t integers = 4;                 // X, Y, OverlayX, OverlayY
    if (version > 100) strings += 1;
    if (version > 101) strings += 2;
    if (version > 102) strings += 2;
    if (version > 103) strings += 5, integers += 1;
    if (version > 104) strings += 1;
    if (version > 105) strings += 1;
    return 4 * (strings + integers) + 1;
}

// Visits every field of a record in file order for `version`, with the reader or writer.
template <typename Io>
void Fields(TPrevMenuRecord& r, int version, Io& io)
{
    io.Int(r.X);
    io.Int(r.Y);
    io.Text(r.Normal);
    io.Flag(r.CaptureMask);
    io.Text(r.Name);
    io.Text(r.Hover);
    io.Text(r.Leave);
    io.Text(r.Click);
    if (version > 100) io.Text(r.Disabled);
    if (version > 102) {
        io.Text(r.DisabledHover);
        io.Text(r.DisabledLeave);
    }
    io.Text(r.HoverOverlay);
    io.Text(r.LeaveOverlay);
    io.Text(r.ClickOverlay);
    if (version > 101) {
        io.Text(r.DisabledHoverOverlay);
        io.Text(r.DisabledLeaveOverlay);
    }
    io.Int(r.OverlayX);
    io.Int(r.OverlayY);
    io.Text(r.Cursor);
    if (version > 103) {
        io.Text(r.Checked);
        io.Text(r.CheckedHover);
        io.Text(r.CheckedLeave);
        io.Text(r.CheckedHoverOverlay);
        io.Text(r.CheckedLeaveOverlay);
        io.Int(r.Group);
    }
    if (version > 104) io.Text(r.CheckOverlay);
    if (version > 105) io.Text(r.UncheckOverlay);
}

struct TReadFields {
    ByteReader& in;
    void Int(int32_t& v) { v = in.I32(); }
    void Flag(bool& v) { v = in.Flag(); }
    void Text(std::string& v) { v = in.String(); }
};

struct TWriteFields {
    ByteWriter& out;
    void Int(int32_t& v) { out.I32(v); }
    void Flag(bool& v) { out.Flag(v); }
    void Text(std::string& v) { out.String(v); }
};

}  // namespace

TPrevMenuFile ReadPrevMenuFile(std::string_view bytes)
{
    ByteReader in(bytes, prev_menu_messages::BadFormat());
    if (in.Bytes(kMagic.size()) != kMagic) in.Fail();
    const std::string digits = in.Bytes(3);
    int version = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') throw EMobuError(prev_menu_messages::BadVersion());
        version = version * 10 + (c - '0');
    }
    if (version < kPrevMenuFirstVersion || version > kPrevMenuLastVersion)
        throw EMobuError(prev_menu_messages::BadVersion());
    TPrevMenuFile file;
    file.Version = version;
    file.Width = std::max(in.I32(), 0);
    file.Height = std::max(in.I32(), 0);
    const size_t count = in.Count(SmallestRecord(version));
    file.Buttons.resize(count);
    TReadFields io{in};
    for (TPrevMenuRecord& record : file.Buttons) Fields(record, version, io);
    return file;
}

std::string WritePrevMenuFile(const TPrevMenuFile& file)
{
    ByteWriter out;
    out.Raw(kMagic);
    const int version = std::clamp(file.Version, 0, 999);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", version);
    out.Raw(std::string_view(digits, 3));
    out.I32(file.Width);
    out.I32(file.Height);
    out.I32(static_cast<int32_t>(file.Buttons.size()));
    TWriteFields io{out};
    for (TPrevMenuRecord record : file.Buttons) Fields(record, version, io);
    return out.Bytes();
}

std::string DefaultButtonName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "Button%.2d", index);
    return name;
}

std::string ResolvePrevMenuPath(const std::string& file_path, const std::string& path)
{
    if (path.empty()) return path;
    if (path[0] == '\\') return path.substr(1);
    if (path.size() > 1 && path[1] == ':') return path;
    // The folders of the file's path (a cp932 trail byte may be 0x5C, so the separators are
    // found character by character).
    std::vector<std::string> folders;
    std::string current;
    for (size_t i = 0; i < file_path.size(); ++i) {
        const char c = file_path[i];
        if (IsLeadByte(c)) {
            current += file_path[i];
            if (i + 1 < file_path.size()) current += file_path[++i];
        } else if (c == '\\') {
            folders.push_back(current);
            current.clear();
        } else {
            current += file_path[i];
        }
    }
    size_t start = 0;
    while (path.compare(start, 3, "..\\") == 0) {
        if (!folders.empty()) folders.pop_back();
        start += 3;
    }
    std::string joined;
    for (const std::string& folder : folders) joined += folder + "\\";
    return joined + path.substr(start);
}

}  // namespace mobu
