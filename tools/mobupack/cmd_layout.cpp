// mobupack layout: converts UTF-8 tagged text as a message box does and prints its rows and
// pages, for authors checking page breaks and for tests.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/game_location.h"
#include "archive/vr_file_manager.h"
#include "components/mes_inline_images.h"
#include "core/mobu_error.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "text/ks_word.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

constexpr const char* kUsage =
    "usage: mobupack layout [--width W] [--height H] [--size PX] [--font NAME] [--line-space N] [--border N] "
    "[--shadow N] [--text-delay MS] [--var NAME=VALUE]... [--game PATH] [--json] (TEXT | --file FILE)\n";

bool ParseInt(const std::string& text, int32_t& out)
{
    try {
        size_t used = 0;
        const long value = std::stol(text, &used, 10);
        if (used != text.size() || value < INT32_MIN || value > INT32_MAX) return false;
        out = static_cast<int32_t>(value);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A row's text in UTF-8: characters in order, U+FFFC for an inline image.
std::string RowTextUtf8(const TWdRow& row)
{
    std::string text;
    for (const TWdGlyph* glyph : row.Glyphs) {
        if (glyph->IsChar()) {
            const uint16_t code = static_cast<const TWdChar*>(glyph)->Code;
            std::string bytes;
            if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
            text += Cp932ToUtf8(bytes);
        } else if (glyph->Kind == TWdKind::Img) {
            text += "\xEF\xBF\xBC";
        }
    }
    return text;
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

int RunLayout(const std::vector<std::string>& arguments)
{
    TKsWord engine;
    engine.FontSize = 16;
    engine.Paging = 0;
    int32_t text_delay = 50;
    bool json = false;
    bool have_text = false;
    std::string text;
    std::string game;  // folder or archive holding the pictures of IMG glyphs
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        auto number = [&](int32_t& out) {
            std::string v;
            return value(v) && ParseInt(v, out);
        };
        std::string v;
        bool ok = true;
        if (a == "--width") ok = number(engine.Width) && engine.Width >= 0;
        else if (a == "--height") {
            ok = number(engine.Height) && engine.Height >= 0;
            engine.Paging = 1;
        } else if (a == "--size") ok = number(engine.FontSize) && engine.FontSize > 0;
        else if (a == "--font") {
            ok = value(v);
            engine.FontName = Utf8ToCp932(v);
        } else if (a == "--line-space") ok = number(engine.LineSpace);
        else if (a == "--border") ok = number(engine.OutlineWidth) && engine.OutlineWidth >= 0;
        else if (a == "--shadow") ok = number(engine.ShadowOffset) && engine.ShadowOffset >= 0;
        else if (a == "--text-delay") ok = number(text_delay);
        else if (a == "--var") {
            ok = value(v) && v.find('=') != std::string::npos;
            engine.FixedValueList.push_back(Utf8ToCp932(v));
        } else if (a == "--game") {
            ok = value(game) && !game.empty();
        } else if (a == "--json") json = true;
        else if (a == "--file") {
            ok = value(v) && !have_text;
            std::ifstream file(v, std::ios::binary);
            if (ok && !file) {
                std::fprintf(stderr, "mobupack layout: cannot read %s\n", v.c_str());
                return 2;
            }
            std::ostringstream content;
            content << file.rdbuf();
            text = content.str();
            have_text = true;
        } else if (!a.empty() && a[0] != '-' && !have_text) {
            text = a;
            have_text = true;
        } else ok = false;
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (!have_text) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // IMG glyphs take the size of their picture's first frame from the game, as a message box
    // does; without a game they are 0 x 0.
    TMesInlineImages images;
    if (!game.empty()) {
        try {
            ResetVrFileManager();
            LocateGameData({game}, ExecutablePath());
        } catch (const EMobuError& error) {
            std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
            return 1;
        }
        engine.ImageSize = [&images](const std::string& source, int& width, int& height) {
            return images.Size(source, width, height);
        };
    }
    try {
        engine.SetText({Utf8ToCp932(text)}, text_delay);
    } catch (const EMobuError& error) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
        return 1;
    }
    engine.ExpandVars(0, -1, false);
    TWdPageList pages;
    engine.Layout(pages);

    if (json) {
        std::string out = "{\"pages\": [";
        for (size_t p = 0; p < pages.size(); ++p) {
            const TWdPage& page = *pages[p];
            out += (p ? ", " : "") + std::string("{\"height\": ") + std::to_string(page.ContentHeight) + ", \"rows\": [";
            for (size_t r = 0; r < page.Rows.size(); ++r) {
                const TWdRow& row = *page.Rows[r];
                out += (r ? ", " : "") + std::string("{\"text\": ") + JsonString(RowTextUtf8(row)) +
                       ", \"x\": " + std::to_string(row.X) + ", \"y\": " + std::to_string(row.Y) +
                       ", \"width\": " + std::to_string(row.Width) + ", \"height\": " + std::to_string(row.Height) + "}";
            }
            out += "]}";
        }
        out += "]}\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    for (size_t p = 0; p < pages.size(); ++p) {
        std::printf("page %zu\n", p + 1);
        for (const auto& row : pages[p]->Rows) std::printf("  %s\n", RowTextUtf8(*row).c_str());
    }
    return 0;
}

const CommandRegistration kRegistration({"layout",
                                         "layout [--width W] [--height H] [--size PX] [--font NAME] [--line-space N] "
                                         "[--border N] [--shadow N] [--text-delay MS] [--var NAME=VALUE]... [--game PATH] [--json] "
                                         "(TEXT | --file FILE)",
                                         "lays out tagged text (UTF-8) as a message box does and prints its rows",
                                         RunLayout});

}  // namespace
}  // namespace mobu::mobupack
