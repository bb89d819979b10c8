#include "components/mobu_blur.h"

#include <cmath>

#include "components/mobu_base_list.h"

namespace mobu {

int32_t AfterimageStartAlpha(int32_t alpha) { return alpha / 256 * 256 + (alpha % 256) / 2; }

int32_t AfterimageAlpha(int32_t start, int32_t elapsed, int32_t delay)
{
    if (delay < 1) return start;
    const double share = static_cast<double>(elapsed) / delay * (start % 256);
    return start - static_cast<int32_t>(std::nearbyint(share));
}

template <typename TCopy>
bool TAfterimageFade::Step(int32_t elapsed, TCopy& copy)
{
    Elapsed += elapsed;
    if (Elapsed >= Delay) return false;
    const int32_t alpha = AfterimageAlpha(Start, Elapsed, Delay);
    if (alpha != copy.Alpha) {
        copy.Alpha = alpha;
        copy.Invalidate();
    }
    return true;
}

bool TMobuBlurBox::Update()
{
    return !Fade.Step(ImageFrameElapsedMs(), *this);
}

bool TMobuBlurImage::Update()
{
    return !Fade.Step(ImageFrameElapsedMs(), *this);
}

bool TMobuBlurTile::Update()
{
    return !Fade.Step(ImageFrameElapsedMs(), *this);
}

namespace {

// The owner's name followed by the smallest number that is free.
std::string AfterimageName(TMobuBaseList& list, const std::string& owner)
{
    for (int64_t n = 0;; ++n) {
        std::string name = owner + std::to_string(n);
        if (!list.FindByName(name)) return name;
    }
}

// What every copy takes over from its owner: name, parent, priority, placement, colour, clip.
void PlaceCopy(TMobuControl& copy, TMobuControl& owner)
{
    TMobuBaseList& list = *owner.Owner();
    copy.StoreName(AfterimageName(list, owner.Name()));
    copy.AfterimageOwner = owner.Name();
    copy.SetPriority(owner.Priority() - 1);
    copy.Left = owner.Left, copy.Top = owner.Top, copy.Width = owner.Width, copy.Height = owner.Height;
    copy.OffsetX = owner.OffsetX, copy.OffsetY = owner.OffsetY;
    copy.MotionX = owner.MotionX, copy.MotionY = owner.MotionY, copy.MotionPlaced = owner.HasMotion();
    copy.PlusX = owner.PlusX, copy.PlusY = owner.PlusY, copy.PosZoomed = owner.PosZoomed;
    copy.ClipLeft = owner.ClipLeft, copy.ClipTop = owner.ClipTop;
    copy.ClipWidth = owner.ClipWidth, copy.ClipHeight = owner.ClipHeight;
    copy.Color = owner.Color;
    // Afterimages never take the mouse.
    copy.IgnoreMouse = IM_ALL;
    copy.SetParent(owner.Parent() ? owner.Parent() : list.ActiveBase());
}

void CopyPicture(TMobuCustomImage& copy, TMobuCustomImage& owner)
{
    TDIBX& picture = *owner.PictureSurface();
    copy.OwnSurface.SetSize(picture.Width(), picture.Height(), picture.BitCount());
    copy.OwnSurface.Assign(picture);
    copy.OwnSurface.TransparentColor = picture.TransparentColor;
    copy.ImageKey = picture.TransparentColor;
    if (TDIBX* mask = owner.PictureMask()) {
        copy.OwnMask = std::make_unique<TDIBX>();
        copy.OwnMask->SetSize(mask->Width(), mask->Height(), 8);
        copy.OwnMask->Store() = mask->Store();
    }
    copy.ZoomXValue = owner.ZoomXValue, copy.ZoomYValue = owner.ZoomYValue;
    copy.Angle = owner.Angle;
    copy.FlipH = owner.FlipH, copy.FlipV = owner.FlipV;
}

template <typename TCopy>
void StartFade(TCopy& copy, int32_t owner_alpha, int32_t delay)
{
    copy.Fade.Start = AfterimageStartAlpha(owner_alpha);
    copy.Fade.Delay = delay;
    copy.Alpha = copy.Fade.Start;
}

}  // namespace

TMobuControl* CreateAfterimage(TMobuBox& owner)
{
    if (!owner.Owner()) return nullptr;
    auto* copy = new TMobuBlurBox(owner.Owner());
    copy->BorderWidth = owner.BorderWidth;
    copy->BorderColor = owner.BorderColor;
    StartFade(*copy, owner.Alpha, owner.BlurDelay);
    PlaceCopy(*copy, owner);
    copy->Invalidate();
    return copy;
}

TMobuControl* CreateAfterimage(TMobuCustomImage& owner)
{
    if (!owner.Owner()) return nullptr;
    TMobuCustomImage* made = nullptr;
    if (auto* tile = dynamic_cast<TMobuTile*>(&owner)) {
        auto* copy = new TMobuBlurTile(owner.Owner());
        copy->ScrollX = tile->ScrollX, copy->ScrollY = tile->ScrollY;
        copy->DistanceX = tile->DistanceX, copy->DistanceY = tile->DistanceY;
        StartFade(*copy, owner.Alpha, owner.BlurDelay);
        made = copy;
    } else {
        auto* copy = new TMobuBlurImage(owner.Owner());
        StartFade(*copy, owner.Alpha, owner.BlurDelay);
        made = copy;
    }
    CopyPicture(*made, owner);
    PlaceCopy(*made, owner);
    made->Invalidate();
    return made;
}

}  // namespace mobu
