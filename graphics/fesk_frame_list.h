// Layered images: a list of frames (animation), each a stack of layers with visibility,
// transparent colour, opacity and an optional alpha plane, composed into one image per
// frame when read. Reads the ".fsk" format (versions 0..106), PNG and bitmap files, and
// writes ".fsk" (screen captures).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/dib_surface.h"

namespace mobu {

class TFeskFrame;

// Compression modes of the header.
constexpr int kFeskDefaultCompression = 0;  // zlib planes
constexpr int kFeskNoCompression = 1;       // raw planes
constexpr int kFeskNonreversible = 2;       // JPEG colour planes, zlib alpha planes

constexpr int kFeskNewestVersion = 106;

class TFeskLayer {
public:
    explicit TFeskLayer(TFeskFrame* frame) : Frame(frame) {}

    TFeskFrame* Frame;
    std::string Name;
    TDIBSurface Image;  // same size and bit count as the frame; optional alpha plane
    uint8_t Visible = 1;
    int32_t TransparentColor = -1;  // raw pixel value; -1 none
    int32_t Opacity = 255;
    uint8_t UseAlpha = 0;
};

class TFeskFrame {
public:
    std::string Name;
    int32_t Delay = 100;
    uint8_t Flag = 0;                // stored and written back, not interpreted
    int32_t TransparentValue = -1;   // raw pixel or palette index; -1 none
    int32_t TransparentColor = -1;   // the same as a 0x00BBGGRR colour; -1 none
    TDIBSurface Image;               // the composed image
    std::vector<TRect> Areas1;
    std::vector<TRect> Areas2;

    int LayerCount() const { return static_cast<int>(layers_.size()); }
    TFeskLayer& Layers(int index) { return *layers_.at(static_cast<size_t>(index)); }
    const TFeskLayer& Layers(int index) const { return *layers_.at(static_cast<size_t>(index)); }
    TFeskLayer& AddLayer();
    void ClearLayers() { layers_.clear(); }

    bool HasAlpha() const { return Image.HasAlphaPlane(); }
    // Of layer 0, or of the composed image when there are no layers.
    int Width() const;
    int Height() const;
    int BitCount() const;

    // A new opaque alpha plane with the pixels equal to the transparent value made 0; with
    // layers also each layer, by its own transparent colour or else the frame's.
    void BuildAlpha(bool with_layers);
    // Crops the frame to the bounding box of its non-transparent part. Returns false (and
    // leaves the frame alone) when the box is empty or the whole image.
    bool Trim(TRect& bounds);

    // Colour of a raw pixel value of the composed image (0x00BBGGRR), -1 for -1.
    int32_t ColorOfValue(int32_t value) const;

private:
    std::vector<std::unique_ptr<TFeskLayer>> layers_;
};

class TFeskFrameList {
public:
    explicit TFeskFrameList(int32_t ident_code = 0) : IdentCode(ident_code) {}

    uint32_t BackColor = 0;      // 0x00BBGGRR the composition starts from
    int Version = 0;             // read from the magic; 0 without magic
    int32_t TargetBitCount = 0;  // <= 0 keeps the bit count when converting
    int32_t IdentCode = 0;       // seed of the row and tile scrambling; 0 = none
    bool FirstLayerOpaque = false;

    // Reads layered image bytes (".fsk"). Clears the list first. On failure raises
    // EMobuError; the frames read so far stay in the list.
    void LoadFromStream(std::string_view data, bool first_frame_only, bool keep_layers, bool convert);
    // By the lower-cased extension: ".fsk", ".png", ".bmp"/".dib"; other names load nothing.
    void LoadFromFile(const std::string& file_name, bool first_frame_only, bool keep_layers, bool convert);
    // Reads the bytes of a file of the given kind ("fsk", "png", "bmp").
    void LoadFromBytes(std::string_view data, std::string_view kind, bool first_frame_only, bool keep_layers,
                       bool convert);

    // Writes magic, header and frames (quality: JPEG quality of mode 2).
    std::string SaveToStream(int mode, int quality) const;
    void SaveToFile(const std::string& file_name) const;

    int Count() const { return static_cast<int>(frames_.size()); }
    TFeskFrame& Frames(int index) { return *frames_.at(static_cast<size_t>(index)); }
    const TFeskFrame& Frames(int index) const { return *frames_.at(static_cast<size_t>(index)); }
    TFeskFrame& Add();
    void Clear() { frames_.clear(); }
    void BuildAlphaAll(bool with_layers);

private:
    void LoadPng(std::string_view data);
    void LoadBitmap(std::string_view data);
    void ConvertFrames(bool keep_layers);

    std::vector<std::unique_ptr<TFeskFrame>> frames_;
};

}  // namespace mobu
