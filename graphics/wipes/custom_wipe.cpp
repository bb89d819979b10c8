#include "graphics/wipes/custom_wipe.h"

#include <algorithm>

namespace mobu {

int32_t TCustomWipe::GetParam(int index) const
{
    return index >= 0 && index < static_cast<int>(Params.size()) ? Params[static_cast<size_t>(index)] : 0;
}

void TCustomWipe::SetParam(int index, int32_t value)
{
    if (index >= 0 && index < static_cast<int>(Params.size())) Params[static_cast<size_t>(index)] = value;
}

void TCustomWipe::Create(TCustomDIBX* target, TCustomDIBX* to_image, TCustomDIBX* from_image)
{
    Target = target;
    ToImage = to_image;
    FromImage = from_image;
}

bool TCustomWipe::SurfacesUsable() const
{
    if (!Target || !FromImage || !ToImage) return false;
    for (const TCustomDIBX* s : {Target, FromImage, ToImage}) {
        if (s->BitCount() != 32 || s->Width() != Target->Width() || s->Height() != Target->Height()) return false;
    }
    return !Target->IsEmpty();
}

int64_t TCustomWipe::Pos() const { return std::clamp<int64_t>(Position, 0, Dur()); }

int64_t TCustomWipe::Progress(int64_t span) const
{
    // Pos() <= Dur(), so the quotient is no larger in size than span itself.
    return static_cast<int64_t>(static_cast<__int128>(span) * Pos() / Dur());
}

bool TCustomWipe::Step()
{
    if (Duration < 1 || Position >= Duration) return true;
    if (!SurfacesUsable()) return true;
    Target->IncludeClip(Target->SurfaceRect());
    DrawState();
    return false;
}

}  // namespace mobu
