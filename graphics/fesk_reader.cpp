// Reading the ".fsk" layered image format into frames and layers, composing each frame.
#include <algorithm>
#include <cstring>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "archive/ks_random.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"
#include "graphics/fesk_planes.h"
#include "graphics/image_decoder_limits.h"

namespace mobu {
namespace {

// Largest side and largest total of pixel bytes one load may allocate: far above any game
// image, small enough that a hostile header cannot exhaust memory.
constexpr int kLargestSide = 16384;
constexpr uint64_t kLoadByteBudget = uint64_t{1} << 29;
// Deflate never shrinks data by more than about 1032:1.
constexpr uint64_t kLargestDeflateRatio = 1032;

bool ValidBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

class TFeskReader {
public:
    TFeskReader(TFeskFrameList& list, std::vector<std::unique_ptr<TFeskFrame>>& frames, std::string_view data)
        : list_(list), frames_(frames), in_(data, MsgBrokenImage())
    {
    }

    void Read(bool first_frame_only)
    {
        ReadMagic();
        ReadHeader();
        const int count = first_frame_only ? std::min(frame_count_, 1) : frame_count_;
        for (int i = 0; i < count; ++i) {
            try {
                ReadFrame(i);
            } catch (...) {
                // The frames read completely stay; the one cut short is dropped.
                if (frames_.size() > static_cast<size_t>(i)) frames_.pop_back();
                throw;
            }
        }
    }

private:
    void ReadMagic()
    {
        list_.Version = 0;
        if (in_.Size() >= 4 && std::memcmp(in_.Data(), "Fesk", 4) == 0) {
            in_.Skip(4);
            std::string digits = in_.Bytes(3);
            int version = 0;
            for (char c : digits) {
                if (c < '0' || c > '9') in_.Fail();
                version = version * 10 + (c - '0');
            }
            if (version > kFeskNewestVersion) in_.Fail();
            list_.Version = version;
        }
        version_ = list_.Version;
    }

    void ReadHeader()
    {
        if (version_ >= 103) {
            const int32_t size = in_.I32();
            if (size < 40 || static_cast<size_t>(size) > in_.Remaining()) in_.Fail();
            ByteReader header(in_.Data() + in_.Position(), static_cast<size_t>(size), MsgBrokenImage());
            in_.Skip(static_cast<size_t>(size));
            header.Skip(16);  // version, width, height and bit count of frame 0
            frame_count_ = header.I32();
            header.Skip(1);
            scrambled_ = header.U8() != 0;
            mode_ = header.U8();
            header.Skip(1);
            list_.BackColor = header.U32();
            tile_width_ = header.I32();
            tile_height_ = header.I32();
            const uint8_t first_layer_opaque = header.U8();
            if (version_ >= 105) list_.FirstLayerOpaque = first_layer_opaque != 0;
            if (mode_ > kFeskNonreversible || tile_width_ < 0 || tile_height_ < 0) in_.Fail();
        } else {
            frame_count_ = in_.I32();
            in_.Skip(1);
            if (version_ >= 102) list_.BackColor = in_.U32();
        }
        // A frame takes at least 33 bytes: refuse counts the data cannot hold.
        if (frame_count_ < 0 || static_cast<size_t>(frame_count_) > in_.Remaining() / 33 + 1) in_.Fail();
    }

    void Spend(int width, int height, int bits)
    {
        spent_ += static_cast<uint64_t>(DibRowBytes(width, bits)) * static_cast<uint64_t>(height);
        if (spent_ > kLoadByteBudget) in_.Fail();
    }

    void ReadFrame(int frame_index)
    {
        frames_.push_back(std::make_unique<TFeskFrame>());
        TFeskFrame& frame = *frames_.back();
        frame.Name = in_.String();
        frame.TransparentValue = in_.I32();
        frame.Delay = in_.I32();
        frame.Flag = in_.U8();
        in_.Skip(4);
        const size_t layer_count = in_.Count(25);
        const int32_t width = in_.I32();
        const int32_t height = in_.I32();
        const int32_t bits = in_.I32();
        if (width < 0 || height < 0 || width > kLargestSide || height > kLargestSide || !ValidBitCount(bits) ||
            !WithinPixelBudget(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
            in_.Fail();

        frame_width_ = width;
        frame_height_ = height;
        Spend(width, height, bits);
        // The composed image gets its pixels when the background is filled or the first
        // layer is taken over; until then it only carries the format and palette.
        frame.Image.SetSize(1, 1, bits);
        if (bits <= 8) {
            const int entries = 1 << bits;
            for (int i = 0; i < entries; ++i) {
                const uint8_t blue = in_.U8(), green = in_.U8(), red = in_.U8();
                in_.U8();
                frame.Image.SetPaletteEntry(i, static_cast<uint32_t>(red) << 16 | green << 8 | blue);
            }
        }
        frame.TransparentColor = frame.ColorOfValue(frame.TransparentValue);
        // The background is filled when something is drawn over it, or at the end; a first
        // layer copied whole replaces it and is taken over without a copy.
        bool filled = false;
        auto fill = [&] {
            if (filled) return;
            frame.Image.SetSize(width, height, bits);
            FillBackground(frame.Image);
            filled = true;
        };

        bool first_visible = true;
        for (size_t i = 0; i < layer_count; ++i) {
            TFeskLayer& layer = frame.AddLayer();
            ReadLayer(frame, layer, frame_index, static_cast<int>(i));
            if (!layer.Visible || width == 0 || height == 0) continue;
            const bool alpha = layer.Image.HasAlphaPlane() && layer.UseAlpha;
            if (alpha && i > 0) {
                fill();
                frame.Image.PutMasked(0, 0, layer.Image.Bounds(), layer.Image);
            } else if ((layer.TransparentColor == -1 || (first_visible && list_.FirstLayerOpaque)) &&
                       layer.Opacity > 254) {
                if (!filled) {
                    frame.Image = layer.Image;  // pixels shared until one side changes them
                    if (!(first_visible && alpha)) frame.Image.DropAlphaPlane();
                    filled = true;
                } else {
                    frame.Image.PutImage(0, 0, layer.Image);
                }
            } else {
                fill();
                frame.Image.PutBlended(0, 0, layer.Opacity, layer.TransparentColor, layer.Image.Bounds(), layer.Image);
            }
            // The first visible layer's alpha plane becomes the frame's.
            if (first_visible && alpha && !frame.Image.HasAlphaPlane()) frame.Image.CopyAlphaPlane(*layer.Image.AlphaPlane());
            first_visible = false;
        }
        fill();

        if (version_ >= 104) {
            ReadAreas(frame.Areas1);
            ReadAreas(frame.Areas2);
        }
    }

    void FillBackground(TDIBSurface& image) const
    {
        const uint32_t back = list_.BackColor;
        const uint32_t value = image.ValueOfRGB(back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF);
        if (image.StoreBitCount() != 24 || image.IsEmpty()) {
            image.FillValue(image.Bounds(), value);
            return;
        }
        uint8_t* first = image.ScanLine(0);
        for (int x = 0; x < image.Width(); ++x) {
            first[3 * x] = static_cast<uint8_t>(value);
            first[3 * x + 1] = static_cast<uint8_t>(value >> 8);
            first[3 * x + 2] = static_cast<uint8_t>(value >> 16);
        }
        for (int y = 1; y < image.Height(); ++y) std::memcpy(image.ScanLine(y), first, image.RowBytes());
    }

    void ReadAreas(std::vector<TRect>& areas)
    {
        const int32_t count = in_.I32();
        if (count < 0) return;  // none
        if (static_cast<size_t>(count) > in_.Remaining() / 16) in_.Fail();
        areas.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            TRect r;
            r.Left = in_.I32();
            r.Top = in_.I32();
            r.Right = in_.I32();
            r.Bottom = in_.I32();
            areas.push_back(r);
        }
    }

    void ReadLayer(TFeskFrame& frame, TFeskLayer& layer, int frame_index, int layer_index)
    {
        in_.Skip(8);
        layer.Visible = in_.U8();
        layer.TransparentColor = in_.I32();
        layer.Opacity = in_.I32();
        if (version_ > 100) layer.UseAlpha = in_.U8();
        layer.Name = in_.String();

        const int width = frame_width_, height = frame_height_;
        const std::string_view colour = Plane();
        Spend(width, height, frame.Image.BitCount());
        CheckPlaneCanHold(colour, width, height, frame.Image.StoreBitCount(), false);
        layer.Image.SetSize(width, height, frame.Image.BitCount());
        layer.Image.SetPalette(frame.Image.Palette());
        DecodePlane(colour, layer.Image, false, frame_index, layer_index);

        if (version_ > 99) {
            const std::string_view alpha = Plane();
            if (!alpha.empty()) {
                Spend(width, height, 8);
                CheckPlaneCanHold(alpha, width, height, 8, true);
                layer.Image.MakeAlphaPlane();
                DecodePlane(alpha, *layer.Image.AlphaPlane(), true, frame_index, layer_index);
            }
        }
        if (layer.Image.HasAlphaPlane() && layer.UseAlpha) layer.TransparentColor = -1;
    }

    std::string_view Plane()
    {
        const int32_t size = in_.I32();
        if (size < 0 || static_cast<size_t>(size) > in_.Remaining()) in_.Fail();
        std::string_view bytes(reinterpret_cast<const char*>(in_.Data() + in_.Position()), static_cast<size_t>(size));
        in_.Skip(static_cast<size_t>(size));
        return bytes;
    }

    bool Tiled() const { return version_ >= 103 && tile_width_ > 0 && tile_height_ > 0; }

    void DecodePlane(std::string_view stored, TDIBSurface& image, bool alpha, int frame_index, int layer_index)
    {
        const int width = image.Width(), height = image.Height();
        if (width == 0 || height == 0) return;  // an empty layer has no pixels to read
        if (mode_ == kFeskNonreversible && !alpha) {
            if (stored.empty()) return;
            DecodeJpegPlane(stored, image);  // of the layer's size, as CheckPlaneCanHold found
            return;
        }
        const size_t row_bytes = image.RowBytes();
        const uint64_t expected = PlaneBytes(width, height, StoredBits(image));
        std::string inflated;
        std::string_view plane = stored;
        if (mode_ != kFeskNoCompression) {
            inflated = InflatePlane(stored, static_cast<size_t>(expected));
            plane = inflated;
        }
        if (Tiled()) {
            DecodeTiles(plane, image, alpha, frame_index, layer_index);
            return;
        }
        if (plane.size() < row_bytes * static_cast<size_t>(height)) in_.Fail();
        // Version 103 and later may store the rows in the order of the scrambling sequence.
        const bool scrambled = version_ >= 103 && scrambled_;
        TKsRandom order(scrambled ? list_.IdentCode : 0);
        order.FillPool(scrambled ? height : 0);
        for (int i = 0; i < height; ++i) {
            const int row = scrambled ? order.Pick() : i;
            std::memcpy(image.ScanLine(row), plane.data() + static_cast<size_t>(i) * row_bytes, row_bytes);
        }
    }

    // Largest stored size of a plane of width × height pixels of `store_bits` (tiles with
    // their 8-byte references when tiled).
    uint64_t PlaneBytes(int width, int height, int store_bits) const
    {
        if (!Tiled()) return static_cast<uint64_t>(DibRowBytes(width, store_bits)) * static_cast<uint64_t>(height);
        const uint64_t tiles = TileCount(width, height);
        const uint64_t tile_bytes =
            (static_cast<uint64_t>(store_bits) * std::min(tile_width_, width) + 7) / 8 * std::min(tile_height_, height);
        return tiles * 8 + tiles * tile_bytes;
    }

    // Refuses a stored plane that cannot describe a picture of its layer's size, before the
    // layer's pixels are allocated: a JPEG of another size, raw rows that are not all there,
    // or more output than deflate can give from the stored bytes.
    void CheckPlaneCanHold(std::string_view stored, int width, int height, int store_bits, bool alpha)
    {
        if (width == 0 || height == 0) return;
        if (mode_ == kFeskNonreversible && !alpha) {
            if (stored.empty()) return;
            int jpeg_width = 0, jpeg_height = 0;
            // A JPEG of another size than its layer is refused before it is decoded.
            if (!JpegSize(stored, jpeg_width, jpeg_height) || jpeg_width != width || jpeg_height != height) in_.Fail();
            return;
        }
        const uint64_t expected = PlaneBytes(width, height, store_bits);
        if (mode_ == kFeskNoCompression) {
            if (!Tiled() && stored.size() < expected) in_.Fail();
            return;
        }
        if (expected > static_cast<uint64_t>(stored.size()) * kLargestDeflateRatio + 64) in_.Fail();
    }

    uint64_t TileCount(int width, int height) const
    {
        const uint64_t across = (static_cast<uint64_t>(width) + tile_width_ - 1) / tile_width_;
        const uint64_t down = (static_cast<uint64_t>(height) + tile_height_ - 1) / tile_height_;
        return across * down;
    }

    void DecodeTiles(std::string_view plane, TDIBSurface& image, bool alpha, int frame_index, int layer_index)
    {
        const int width = image.Width(), height = image.Height();
        const int across = static_cast<int>((static_cast<int64_t>(width) + tile_width_ - 1) / tile_width_);
        const size_t count = static_cast<size_t>(TileCount(width, height));
        ByteReader data(plane, MsgBrokenImage());
        if (count > data.Remaining() / 8) data.Fail();

        struct TTile {
            int32_t source = 0;
            int32_t value = 0;
        };
        std::vector<TTile> table(count);
        TKsRandom order(list_.IdentCode);
        if (scrambled_) order.FillPool(static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            const size_t position = scrambled_ ? static_cast<size_t>(order.Pick()) : i;
            table[position].source = data.I32();
            table[position].value = data.I32();
        }

        auto tile_rect = [&](size_t index) {
            const int x = static_cast<int>(index % across) * tile_width_;
            const int y = static_cast<int>(index / across) * tile_height_;
            return TRect{x, y, std::min(width, x + tile_width_), std::min(height, y + tile_height_)};
        };
        for (size_t t = 0; t < count; ++t) {
            const TRect r = tile_rect(t);
            const TTile tile = table[t];
            if (tile.source == -1) {
                const size_t row_bytes = (static_cast<size_t>(StoredBits(image)) * r.Width() + 7) / 8;
                for (int y = r.Top; y < r.Bottom; ++y) {
                    std::string row = data.Bytes(row_bytes);
                    PutPackedPixels(image, r.Left, y, r.Width(), reinterpret_cast<const uint8_t*>(row.data()));
                }
            } else if (tile.source == -2) {
                // Only a tile already decoded, of the same size, can be repeated.
                if (tile.value < 0 || static_cast<size_t>(tile.value) >= t) data.Fail();
                const TRect from = tile_rect(static_cast<size_t>(tile.value));
                if (from.Width() != r.Width() || from.Height() != r.Height()) data.Fail();
                CopyPixelRect(image, r.Left, r.Top, image, from.Left, from.Top, r.Width(), r.Height());
            } else if (tile.source >= 0) {
                const TDIBSurface& from = ReferencedPlane(tile.source, tile.value, alpha, frame_index, layer_index, data);
                if (from.Width() != width || from.Height() != height || from.StoreBitCount() != image.StoreBitCount())
                    data.Fail();
                CopyPixelRect(image, r.Left, r.Top, from, r.Left, r.Top, r.Width(), r.Height());
            } else {
                data.Fail();
            }
        }
    }

    // The plane of an earlier layer a tile repeats: an earlier frame, or an earlier layer of
    // this frame.
    const TDIBSurface& ReferencedPlane(int32_t frame, int32_t layer, bool alpha, int frame_index, int layer_index,
                                       const ByteReader& data)
    {
        if (frame > frame_index || layer < 0 || (frame == frame_index && layer >= layer_index)) data.Fail();
        TFeskFrame& source = *frames_[static_cast<size_t>(frame)];
        if (layer >= source.LayerCount()) data.Fail();
        const TDIBSurface& image = source.Layers(layer).Image;
        if (!alpha) return image;
        if (!image.HasAlphaPlane()) data.Fail();
        return *image.AlphaPlane();
    }

    TFeskFrameList& list_;
    std::vector<std::unique_ptr<TFeskFrame>>& frames_;
    ByteReader in_;
    int version_ = 0;
    int frame_count_ = 0;
    bool scrambled_ = false;
    int mode_ = kFeskDefaultCompression;
    int tile_width_ = 0;
    int tile_height_ = 0;
    uint64_t spent_ = 0;
    int frame_width_ = 0;
    int frame_height_ = 0;
};

}  // namespace

void TFeskFrameList::LoadFromStream(std::string_view data, bool first_frame_only, bool keep_layers, bool convert)
{
    Clear();
    FirstLayerOpaque = false;
    BackColor = 0;
    TFeskReader reader(*this, frames_, data);
    reader.Read(first_frame_only);
    if (convert) ConvertFrames(keep_layers);
    if (!keep_layers)
        for (auto& frame : frames_) frame->ClearLayers();
}

}  // namespace mobu
