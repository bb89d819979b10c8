// Frames and the list's own operations: alpha planes from transparent values, trimming,
// the conversions after loading, and loading by file kind.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"

namespace mobu {

TFeskLayer& TFeskFrame::AddLayer()
{
    layers_.push_back(std::make_unique<TFeskLayer>(this));
    return *layers_.back();
}

int TFeskFrame::Width() const { return layers_.empty() ? Image.Width() : layers_[0]->Image.Width(); }
int TFeskFrame::Height() const { return layers_.empty() ? Image.Height() : layers_[0]->Image.Height(); }
int TFeskFrame::BitCount() const { return layers_.empty() ? Image.BitCount() : layers_[0]->Image.BitCount(); }

int32_t TFeskFrame::ColorOfValue(int32_t value) const
{
    if (value == -1) return -1;
    int red = 0, green = 0, blue = 0;
    Image.RGBOfValue(static_cast<uint32_t>(value), false, red, green, blue);
    return red | green << 8 | blue << 16;
}

namespace {

// Opaque alpha plane with the pixels equal to `value` made transparent.
void AlphaFromValue(TDIBSurface& image, int32_t value)
{
    if (image.IsEmpty()) return;
    image.MakeAlphaPlane();
    image.OpaqueAlphaPlane();
    if (value == -1) return;
    TDIBSurface& alpha = *image.AlphaPlane();
    const uint32_t key = static_cast<uint32_t>(value);
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* row = alpha.ScanLine(y);
        const uint8_t* pixels = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x)
            if (image.RowPixel(pixels, x) == key) row[x] = 0;
    }
}

// The first pixel (rows from the top, left to right) with the raw value, or (-1, -1).
// Rows are walked whole: a large picture whose key never occurs is searched to its end.
std::pair<int, int> FirstPixelOf(const TDIBSurface& image, int32_t value)
{
    if (value < 0) return {-1, -1};
    const uint32_t wanted = static_cast<uint32_t>(value);
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x)
            if (image.RowPixel(row, x) == wanted) return {x, y};
    }
    return {-1, -1};
}

// The store converted to another bit count, the alpha plane kept; towards 15 and 16 bits
// true-colour pixels are dithered (error diffusion) rather than cut to their top bits.
void ConvertStore(TDIBSurface& image, int bits)
{
    if (image.IsEmpty()) {
        image.SetSize(0, 0, bits);
        return;
    }
    image.ChangeBitCount(bits, 0, true);
}

}  // namespace

void TFeskFrame::BuildAlpha(bool with_layers)
{
    AlphaFromValue(Image, TransparentValue);
    if (!with_layers) return;
    for (auto& layer : layers_)
        AlphaFromValue(layer->Image, layer->TransparentColor != -1 ? layer->TransparentColor : TransparentValue);
}

bool TFeskFrame::Trim(TRect& bounds)
{
    TRect box;
    if (Image.HasAlphaPlane()) box = Image.AlphaPlane()->OpaqueBounds(0);
    else if (TransparentValue != -1) box = Image.OpaqueBounds(TransparentValue);
    else return false;
    if (box.IsEmpty() || box == Image.Bounds()) return false;
    Image.CropTo(box);
    for (auto& layer : layers_) layer->Image.CropTo(box);
    auto clip = [&](std::vector<TRect>& areas) {
        std::vector<TRect> kept;
        for (const TRect& area : areas) {
            TRect r = IntersectRects(area, box);
            if (!r.IsEmpty()) kept.push_back(r);
        }
        areas = std::move(kept);
    };
    clip(Areas1);
    clip(Areas2);
    bounds = box;
    return true;
}

TFeskFrame& TFeskFrameList::Add()
{
    frames_.push_back(std::make_unique<TFeskFrame>());
    return *frames_.back();
}

void TFeskFrameList::BuildAlphaAll(bool with_layers)
{
    for (auto& frame : frames_) frame->BuildAlpha(with_layers);
}

void TFeskFrameList::ConvertFrames(bool keep_layers)
{
    for (auto& frame_pointer : frames_) {
        TFeskFrame& frame = *frame_pointer;
        if (frame.TransparentValue >= 0) frame.BuildAlpha(keep_layers);
        if (TargetBitCount <= 0 && frame.Image.BitCount() <= 8) {
            auto [x, y] = FirstPixelOf(frame.Image, frame.TransparentValue);
            ConvertStore(frame.Image, 24);
            if (keep_layers)
                for (int i = 0; i < frame.LayerCount(); ++i) ConvertStore(frame.Layers(i).Image, 24);
            if (frame.TransparentValue >= 0)
                frame.TransparentValue = x >= 0 ? static_cast<int32_t>(frame.Image.GetPixel(x, y)) : -1;
        } else if (TargetBitCount > 0 && (frame.HasAlpha() || frame.TransparentValue < 0) &&
                   frame.Image.BitCount() != TargetBitCount) {
            ConvertStore(frame.Image, TargetBitCount);
            if (keep_layers)
                for (int i = 0; i < frame.LayerCount(); ++i) ConvertStore(frame.Layers(i).Image, TargetBitCount);
        }
    }
}

void TFeskFrameList::LoadFromBytes(std::string_view data, std::string_view kind, bool first_frame_only,
                                   bool keep_layers, bool convert)
{
    if (kind == "fsk") {
        LoadFromStream(data, first_frame_only, keep_layers, convert);
        return;
    }
    if (kind != "png" && kind != "bmp" && kind != "dib") return;
    Clear();
    try {
        if (kind == "png") LoadPng(data);
        else LoadBitmap(data);
    } catch (...) {
        Clear();  // no half-read frame
        throw;
    }
}

void TFeskFrameList::LoadFromFile(const std::string& file_name, bool first_frame_only, bool keep_layers, bool convert)
{
    const size_t dot = file_name.find_last_of('.');
    const size_t slash = file_name.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return;
    std::string kind = file_name.substr(dot + 1);
    for (char& c : kind)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (kind != "fsk" && kind != "png" && kind != "bmp" && kind != "dib") return;
    std::ifstream file(file_name, std::ios::binary);
    if (!file) throw EMobuError(SysText(u8"%s:ファイルがありません").replace(0, 2, Utf8ToCp932(file_name)));
    std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LoadFromBytes(data, kind, first_frame_only, keep_layers, convert);
}

}  // namespace mobu
