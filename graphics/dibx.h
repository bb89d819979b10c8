// The memory drawing surface: a TCustomDIBX whose pixels live in a pixel store (TDIBSurface,
// rows bottom-up). Images, masks, off-screen work surfaces and the windowed frame are these.
#pragma once

#include <memory>

#include "graphics/custom_dibx.h"
#include "graphics/dib_surface.h"

namespace mobu {

class TDIBX : public TCustomDIBX {
public:
    // A 1 × 1 store at 15 bits.
    TDIBX();
    // Wraps a store owned elsewhere; the surface never frees it.
    explicit TDIBX(TDIBSurface* borrowed_store);
    ~TDIBX() override;

    bool IsEmpty() const override;
    int BitCount() const override { return store_->BitCount(); }
    // 15 → 5-5-5, 16 → 5-6-5, other → 8-8-8; the pixels are converted.
    void SetBitCount(int bits) override;
    uint32_t RedMask() const override { return store_->RedMask(); }
    uint32_t GreenMask() const override { return store_->GreenMask(); }
    uint32_t BlueMask() const override { return store_->BlueMask(); }
    ptrdiff_t Pitch() const override { return store_->Pitch(); }
    uint32_t GetPixel(int x, int y) override { return store_->GetPixel(x, y); }
    void SetPixel(int x, int y, uint32_t value) override { store_->SetPixel(x, y, value); }
    int BlueShift() const override { return store_->Format().BlueShift; }
    int GreenShift() const override { return store_->Format().GreenShift; }
    int RedShift() const override { return store_->Format().RedShift; }
    int StoreBitCount() const override { return store_->StoreBitCount(); }
    void SetSize(int width, int height, int bits) override;
    uint8_t* PixelAddress(int x, int y) override;
    const uint8_t* ReadPixelAddress(int x, int y) override;

    void Clear(uint32_t pixel) override;
    void Assign(TCustomDIBX& source) override;
    // Size 0 × 0; the store shrinks to 8 × 8.
    void Release() override;
    void Compact() override { store_->Compress(); }
    void GetPaletteEntries(uint32_t* entries, int index, int count) override;
    void SetPaletteEntries(const uint32_t* entries, int index, int count) override;

    TDIBSurface& Store() { return *store_; }
    const TDIBSurface& Store() const { return *store_; }

private:
    std::unique_ptr<TDIBSurface> owned_;
    TDIBSurface* store_;
};

}  // namespace mobu
