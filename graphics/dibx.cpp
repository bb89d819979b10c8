// The memory drawing surface over a pixel store.
#include "graphics/dibx.h"

#include <algorithm>
#include <cstring>

namespace mobu {

TDIBX::TDIBX() : owned_(std::make_unique<TDIBSurface>(1, 1, 15)), store_(owned_.get())
{
    width_ = 1;
    height_ = 1;
}

TDIBX::TDIBX(TDIBSurface* borrowed_store) : store_(borrowed_store)
{
    width_ = store_->Width();
    height_ = store_->Height();
}

TDIBX::~TDIBX() = default;

bool TDIBX::IsEmpty() const { return width_ == 0 || height_ == 0 || store_->IsEmpty(); }

void TDIBX::SetBitCount(int bits)
{
    int target = bits == 15 || bits == 16 || bits == 8 || bits == 24 ? bits : 32;
    if (target == BitCount()) return;
    store_->SetBitCount(target);
}

void TDIBX::SetSize(int width, int height, int bits)
{
    store_->SetSize(width, height, bits);
    width_ = store_->Width();
    height_ = store_->Height();
}

// Address of pixel (x, y); 1- and 4-bit stores address the byte holding it.
uint8_t* TDIBX::PixelAddress(int x, int y)
{
    if (IsEmpty()) return nullptr;
    size_t bits = static_cast<size_t>(store_->StoreBitCount());
    return store_->ScanLine(y) + static_cast<size_t>(x) * bits / 8;
}

const uint8_t* TDIBX::ReadPixelAddress(int x, int y)
{
    if (IsEmpty()) return nullptr;
    const TDIBSurface& store = *store_;
    size_t bits = static_cast<size_t>(store.StoreBitCount());
    return store.ScanLine(y) + static_cast<size_t>(x) * bits / 8;
}

// The raw store written directly: 1-bit bytes of 255 for any nonzero value, 4-bit bytes of
// both nibbles, 8-bit bytes, 16-bit words; 24 and 32 bits through FillRect.
void TDIBX::Clear(uint32_t pixel)
{
    if (IsEmpty()) return;
    int bits = store_->StoreBitCount();
    if (bits == 24 || bits == 32) {
        TCustomDIBX::Clear(pixel);
        return;
    }
    uint8_t* data = store_->Bits();
    size_t size = store_->ImageSize();
    if (bits == 1) {
        std::memset(data, pixel ? 255 : 0, size);
    } else if (bits == 4) {
        std::memset(data, static_cast<uint8_t>((pixel & 15) | (pixel & 15) << 4), size);
    } else if (bits == 8) {
        std::memset(data, static_cast<uint8_t>(pixel), size);
    } else if (bits == 16) {
        std::fill_n(reinterpret_cast<uint16_t*>(data), size / 2, static_cast<uint16_t>(pixel));
    }
}

// One block copy when both are memory surfaces of the same size and layout.
void TDIBX::Assign(TCustomDIBX& source)
{
    if (auto* other = dynamic_cast<TDIBX*>(&source)) {
        if (other == this) return;
        const TDIBSurface& from = *other->store_;
        if (from.Width() == Width() && from.Height() == Height() && from.Pitch() == Pitch() &&
            from.BitCount() == BitCount() && !IsEmpty()) {
            std::memcpy(store_->Bits(), from.Bits(), from.ImageSize());
            if (BitCount() <= 8) store_->SetPalette(from.Palette());
            return;
        }
    }
    TCustomDIBX::Assign(source);
}

void TDIBX::Release()
{
    int bits = BitCount();
    store_->SetSize(8, 8, bits > 0 ? bits : 15);
    width_ = 0;
    height_ = 0;
}

// Entries outside 0..255 are not touched.
void TDIBX::GetPaletteEntries(uint32_t* entries, int index, int count)
{
    const int64_t first = std::clamp<int64_t>(index, 0, 256);
    const int64_t last = std::clamp<int64_t>(static_cast<int64_t>(index) + std::max(count, 0), first, 256);
    for (int64_t i = first; i < last; ++i) entries[i - index] = Store().PaletteEntry(static_cast<int>(i));
}

void TDIBX::SetPaletteEntries(const uint32_t* entries, int index, int count)
{
    const int64_t first = std::clamp<int64_t>(index, 0, 256);
    const int64_t last = std::clamp<int64_t>(static_cast<int64_t>(index) + std::max(count, 0), first, 256);
    for (int64_t i = first; i < last; ++i) Store().SetPaletteEntry(static_cast<int>(i), entries[i - index]);
}


}  // namespace mobu
