#include "graphics/fesk_copy_out.h"

#include <cstring>

#include "graphics/dibx.h"

namespace mobu {

void CopyFrameToSurface(const TFeskFrame& frame, TDIBX& surface)
{
    const TDIBSurface& image = frame.Image;
    const int bits = surface.BitCount();
    surface.SetSize(image.Width(), image.Height(), bits);
    TDIBSurface& store = surface.Store();
    if (image.BitCount() == store.BitCount() && image.Format().GreenMask == store.Format().GreenMask) {
        store.SetPalette(image.Palette());
        store.PutImage(0, 0, image);
    } else {
        if (store.BitCount() <= 8) store.SetPalette(image.Palette());
        store.PutConverted(0, 0, -1, image);
    }
    surface.TransparentColor = -1;
    if (frame.TransparentValue != -1) {
        int red = 0, green = 0, blue = 0;
        image.RGBOfValue(static_cast<uint32_t>(frame.TransparentValue), false, red, green, blue);
        surface.TransparentColor = image.BitCount() == store.BitCount()
                                       ? frame.TransparentValue
                                       : static_cast<int32_t>(store.ValueOfRGB(red, green, blue));
    }
}

void CopyAlphaToStore(const TFeskFrame& frame, TDIBSurface& store)
{
    const TDIBSurface& image = frame.Image;
    store.SetSize(image.Width(), image.Height(), 8);
    store.SetGreyPalette();
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* row = store.ScanLine(y);
        if (image.HasAlphaPlane()) std::memcpy(row, image.AlphaPlane()->ScanLine(y), static_cast<size_t>(image.Width()));
        else std::memset(row, 255, static_cast<size_t>(image.Width()));
    }
}

void CopyAlphaToSurface(const TFeskFrame& frame, TDIBX& surface)
{
    surface.SetSize(frame.Image.Width(), frame.Image.Height(), 8);
    CopyAlphaToStore(frame, surface.Store());
}

}  // namespace mobu
