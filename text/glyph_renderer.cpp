#include "text/glyph_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/font_lookup.h"
#include "platform/text_encoding.h"
#include "text/font_style.h"
#include "text/glyph_coverage.h"
#include "text/glyph_sampler.h"

namespace mobu {
namespace {

// Largest cell height rendered; larger requests are drawn at this size.
constexpr int kLargestSize = 1024;
// Monochrome rows are rendered in bands of at most this many bytes, so huge glyphs stay cheap.
constexpr size_t kBandBytes = 256 * 1024;
// Shear of synthetic italics (about 12 degrees), as FreeType's oblique transform.
constexpr FT_Fixed kItalicShear = 0x0366A;

long FloorPixel(FT_Pos value) { return static_cast<long>(std::floor(value / 64.0)); }
long CeilPixel(FT_Pos value) { return static_cast<long>(std::ceil(value / 64.0)); }
int RoundScaled(long value, int numerator, int denominator)
{
    if (denominator <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

std::string DefaultFontName() { return SysText(u8"ＭＳ ゴシック"); }

}  // namespace

uint32_t CharCodeToUnicode(uint16_t code)
{
    std::string bytes;
    if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    std::string utf8 = Cp932ToUtf8(bytes);
    if (utf8.empty()) return 0;
    const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
    uint32_t point = 0;
    size_t length = 1;
    if (u[0] < 0x80) point = u[0];
    else if ((u[0] & 0xE0) == 0xC0) point = u[0] & 0x1F, length = 2;
    else if ((u[0] & 0xF0) == 0xE0) point = u[0] & 0x0F, length = 3;
    else point = u[0] & 0x07, length = 4;
    if (utf8.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) point = (point << 6) | (u[i] & 0x3F);
    if (point == 0xFFFD) return 0;
    return point;
}

TGlyphRenderer::TGlyphRenderer()
{
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return;
    }
    FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library_, "truetype", "interpreter-version", &interpreter);
}

TGlyphRenderer::~TGlyphRenderer()
{
    for (auto& [key, face] : faces_) FT_Done_Face(face);
    if (library_ != nullptr) FT_Done_FreeType(library_);
}

FT_Face TGlyphRenderer::OpenFace(const std::string& path, int index)
{
    auto key = std::make_pair(path, index);
    auto found = faces_.find(key);
    if (found != faces_.end()) return found->second;
    FT_Face face = nullptr;
    if (library_ == nullptr || FT_New_Face(library_, path.c_str(), index, &face) != 0 || !FT_IS_SCALABLE(face)) {
        if (face != nullptr) FT_Done_Face(face);
        face = nullptr;
    }
    faces_.emplace(key, face);
    return face;
}

bool TGlyphRenderer::SelectFont(const std::string& cp932_name, int size, int style)
{
    face_ = nullptr;
    std::optional<TFontFile> file = LookupFont(cp932_name);
    if (!file) file = LookupFont(DefaultFontName());
    if (!file) file = LookupAnyFont();
    if (file) face_ = OpenFace(file->path, file->index);
    if (face_ == nullptr) {
        metrics_ = TFontMetrics{};
        family_.clear();
        return false;
    }
    family_ = file->family;
    style_ = style;

    // The requested size is the cell height: ascent plus descent of the font's Windows
    // metrics, not the em size.
    const int cell = std::clamp(size, 1, kLargestSize);
    long ascent_units = face_->ascender;
    long descent_units = -face_->descender;
    long strike_position = face_->units_per_EM * 22 / 100;
    long strike_size = face_->underline_thickness;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); os2 != nullptr && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent_units = os2->usWinAscent;
            descent_units = os2->usWinDescent;
        }
        strike_position = os2->yStrikeoutPosition;
        strike_size = os2->yStrikeoutSize;
    }
    long cell_units = std::max(1L, ascent_units + descent_units);
    const int upem = std::max<int>(1, face_->units_per_EM);

    metrics_ = TFontMetrics{};
    metrics_.size = cell;
    metrics_.ppem = std::max(1, RoundScaled(cell, upem, static_cast<int>(cell_units)));
    metrics_.ascent = RoundScaled(ascent_units, cell, static_cast<int>(cell_units));
    metrics_.descent = cell - metrics_.ascent;
    metrics_.underline_thickness = std::max(1, RoundScaled(face_->underline_thickness, metrics_.ppem, upem));
    metrics_.strikeout_position = RoundScaled(strike_position, metrics_.ppem, upem);
    metrics_.strikeout_thickness = std::max(1, RoundScaled(strike_size, metrics_.ppem, upem));
    return FT_Set_Pixel_Sizes(face_, 0, metrics_.ppem) == 0;
}

bool TGlyphRenderer::LoadOutline(uint16_t code, int level, long& advance)
{
    if (face_ == nullptr) return false;
    FT_UInt index = FT_Get_Char_Index(face_, CharCodeToUnicode(code));
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (level == 0 ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face_, index, flags) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    advance = slot->advance.x;
    if (style_ & kFontBold) {
        FT_Pos strength = FT_MulFix(face_->units_per_EM, face_->size->metrics.y_scale) / 24;
        // Widened sideways only, as the Windows bold simulation does: the line height stays.
        FT_Outline_EmboldenXY(&slot->outline, strength, 0);
        advance += strength;
    }
    if (style_ & kFontItalic) {
        FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    return true;
}

bool TGlyphRenderer::Render(uint16_t code, int level, TRenderedGlyph& out)
{
    out = TRenderedGlyph{};
    if (level != 0 && simulate_gray_failure_) return false;
    long advance = 0;
    if (!LoadOutline(code, level, advance)) return true;  // nothing to draw
    out.advance = static_cast<int>(std::lround(advance / 64.0));
    FT_Outline& outline = face_->glyph->outline;
    if (outline.n_points == 0 || outline.n_contours == 0) return true;

    FT_BBox box;
    FT_Outline_Get_BBox(&outline, &box);
    const long left = FloorPixel(box.xMin), right = CeilPixel(box.xMax);
    const long bottom = FloorPixel(box.yMin), top = CeilPixel(box.yMax);
    if (right <= left || top <= bottom) return true;

    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(top - bottom);
    const int factor = SamplesPerSide(level);
    out.mask.assign(static_cast<size_t>(width) * height, 0);
    if (factor > 1) {
        // Every sample is a point test summed per pixel straight from the outline, so the
        // coverage is an exact count.
        if (!sampler_.Sample(outline, left, top, width, height, factor, OpacityTable(level), out.mask.data()))
            return false;
    } else if (!RenderMonochrome(outline, left, bottom, width, height, out.mask)) {
        out.mask.clear();
        return true;
    }
    out.has_outline = true;
    out.width = width;
    out.height = height;
    out.origin_x = static_cast<int>(left);
    out.origin_y = static_cast<int>(top);
    return true;
}

bool TGlyphRenderer::RenderMonochrome(FT_Outline& outline, long left, long bottom, int width, int height,
                                      std::vector<uint8_t>& mask)
{
    FT_Outline_Translate(&outline, -left * 64, -bottom * 64);
    const int pitch = (width + 31) / 32 * 4;
    const int band_rows = std::max(1, static_cast<int>(kBandBytes / static_cast<size_t>(pitch)));
    std::vector<uint8_t> bits(static_cast<size_t>(pitch) * std::min(band_rows, height));
    // Bands from the top: the band's bottom edge is moved to y = 0 of the bitmap.
    FT_Outline_Translate(&outline, 0, -static_cast<FT_Pos>(height) * 64);
    for (int first = 0; first < height; first += band_rows) {
        const int rows = std::min(band_rows, height - first);
        FT_Outline_Translate(&outline, 0, static_cast<FT_Pos>(rows) * 64);
        std::fill(bits.begin(), bits.end(), 0);
        FT_Bitmap bitmap{};
        bitmap.rows = static_cast<unsigned>(rows);
        bitmap.width = static_cast<unsigned>(width);
        bitmap.pitch = pitch;
        bitmap.buffer = bits.data();
        bitmap.num_grays = 2;
        bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
        if (FT_Outline_Get_Bitmap(library_, &outline, &bitmap) != 0) return false;
        ExpandMonochrome(bits.data(), pitch, width, rows, mask.data() + static_cast<size_t>(first) * width, width);
    }
    return true;
}

int TGlyphRenderer::TextWidth(uint16_t code)
{
    long advance = 0;
    if (!LoadOutline(code, 3, advance)) return 0;
    return static_cast<int>(std::lround(advance / 64.0));
}

std::vector<std::vector<TOutlinePoint>> TGlyphRenderer::FlattenedOutline(uint16_t code, int level)
{
    std::vector<std::vector<TOutlinePoint>> polygons;
    long advance = 0;
    if (!LoadOutline(code, level, advance)) return polygons;
    FT_Outline& outline = face_->glyph->outline;
    FT_BBox box;
    FT_Outline_Get_BBox(&outline, &box);
    const double left = static_cast<double>(FloorPixel(box.xMin));
    const double top = static_cast<double>(CeilPixel(box.yMax));

    struct TWalk {
        std::vector<std::vector<TOutlinePoint>>* polygons;
        double left, top;
        double x = 0, y = 0;  // current point in 26.6 units
        void Add(double px, double py)
        {
            polygons->back().push_back({px / 64.0 - left, top - py / 64.0});
            x = px;
            y = py;
        }
    } walk{&polygons, left, top};
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector* to, void* user) {
        auto* w = static_cast<TWalk*>(user);
        w->polygons->emplace_back();
        w->Add(to->x, to->y);
        return 0;
    };
    funcs.line_to = [](const FT_Vector* to, void* user) {
        static_cast<TWalk*>(user)->Add(to->x, to->y);
        return 0;
    };
    funcs.conic_to = [](const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* w = static_cast<TWalk*>(user);
        const double x0 = w->x, y0 = w->y;
        for (int i = 1; i <= 256; ++i) {
            double t = i / 256.0, u = 1 - t;
            w->Add(u * u * x0 + 2 * u * t * control->x + t * t * to->x, u * u * y0 + 2 * u * t * control->y + t * t * to->y);
        }
        return 0;
    };
    funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* w = static_cast<TWalk*>(user);
        const double x0 = w->x, y0 = w->y;
        for (int i = 1; i <= 256; ++i) {
            double t = i / 256.0, u = 1 - t;
            w->Add(u * u * u * x0 + 3 * u * u * t * c1->x + 3 * u * t * t * c2->x + t * t * t * to->x,
                   u * u * u * y0 + 3 * u * u * t * c1->y + 3 * u * t * t * c2->y + t * t * t * to->y);
        }
        return 0;
    };
    FT_Outline_Decompose(&outline, &funcs, &walk);
    return polygons;
}

}  // namespace mobu
