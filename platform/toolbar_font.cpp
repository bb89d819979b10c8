#include "platform/toolbar_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace mobu {

struct TToolbarFont::TImpl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int ascender = 0;
    int line_height = 0;
};

namespace {

// The file of the first font matching one of the patterns, via fontconfig.
std::string FindFontFile()
{
    std::string file;
    if (!FcInit()) return file;
    for (const char* name : {"IPAGothic", "IPAPGothic", "sans-serif:lang=ja"}) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
        if (!pattern) continue;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* path = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        if (!file.empty()) break;
    }
    return file;
}

}  // namespace

std::u32string DecodeUtf8(const std::string& utf8)
{
    std::u32string out;
    size_t size = utf8.size();
    for (size_t i = 0; i < size;) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra;
        char32_t code;
        if (lead < 0x80) {
            out += lead;
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        bool valid = i + extra < size;
        for (int k = 1; valid && k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            else code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += code;
        i += extra + 1;
    }
    return out;
}

TToolbarFont::TToolbarFont() : impl_(std::make_unique<TImpl>()) {}

TToolbarFont::~TToolbarFont()
{
    if (impl_->face) FT_Done_Face(impl_->face);
    if (impl_->library) FT_Done_FreeType(impl_->library);
}

bool TToolbarFont::Load(int pixel_size)
{
    std::string file = FindFontFile();
    if (file.empty()) return false;
    if (!impl_->library && FT_Init_FreeType(&impl_->library) != 0) return false;
    if (FT_New_Face(impl_->library, file.c_str(), 0, &impl_->face) != 0) {
        impl_->face = nullptr;
        return false;
    }
    FT_Set_Pixel_Sizes(impl_->face, 0, pixel_size);
    impl_->ascender = static_cast<int>(impl_->face->size->metrics.ascender >> 6);
    impl_->line_height = static_cast<int>((impl_->face->size->metrics.ascender - impl_->face->size->metrics.descender) >> 6);
    return true;
}

int TToolbarFont::TextWidth(const std::string& utf8)
{
    if (!impl_->face) return 0;
    int width = 0;
    for (char32_t code : DecodeUtf8(utf8)) {
        if (FT_Load_Char(impl_->face, code, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(impl_->face->glyph->advance.x >> 6);
    }
    return width;
}

void TToolbarFont::Draw(uint32_t* pixels, int width, int height, int centre_x, int centre_y,
                        const std::string& utf8, uint32_t colour)
{
    FT_Face face = impl_->face;
    if (!face) return;
    int pen_x = centre_x - TextWidth(utf8) / 2;
    int baseline = centre_y - impl_->line_height / 2 + impl_->ascender;
    for (char32_t code : DecodeUtf8(utf8)) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            int y = baseline - glyph->bitmap_top + static_cast<int>(row);
            if (y < 0 || y >= height) continue;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                int x = pen_x + glyph->bitmap_left + static_cast<int>(column);
                if (x < 0 || x >= width) continue;
                unsigned coverage = bitmap.buffer[row * bitmap.pitch + column];
                if (coverage == 0) continue;
                uint32_t& target = pixels[y * width + x];
                uint32_t blended = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    unsigned under = (target >> shift) & 0xFF, over = (colour >> shift) & 0xFF;
                    blended |= ((over * coverage + under * (255 - coverage)) / 255) << shift;
                }
                target = blended;
            }
        }
        pen_x += static_cast<int>(glyph->advance.x >> 6);
    }
}

}  // namespace mobu
