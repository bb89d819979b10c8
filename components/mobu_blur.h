// Afterimages: fading copies left behind by a box, image or tile whose PR_BLURSPAN and
// PR_BLURDELAY are both positive. Each copy starts at half its owner's alpha (within the
// same blend mode), fades linearly over BlurDelay milliseconds and then removes itself.
//
// A copy keeps its own duplicate of the owner's picture and mask: the owner may change frame,
// brightness or source, or be destroyed, while its afterimages still fade.
#pragma once

#include "components/mobu_box.h"
#include "components/mobu_image.h"

namespace mobu {

// The afterimage alpha: half of the owner's within the same mode.
int32_t AfterimageStartAlpha(int32_t alpha);
// The alpha `elapsed` ms into a fade of `delay` ms from `start`.
int32_t AfterimageAlpha(int32_t start, int32_t elapsed, int32_t delay);

// The fading part shared by the copies.
struct TAfterimageFade {
    int32_t Start = 0;
    int32_t Delay = 1;
    int32_t Elapsed = 0;
    // Advances the fade and sets the copy's alpha; false when the fade is over.
    template <typename TCopy>
    bool Step(int32_t elapsed, TCopy& copy);
};

class TMobuBlurBox : public TMobuBox {
public:
    explicit TMobuBlurBox(TMobuBaseList* owner) : TMobuBox(owner) {}
    bool Update() override;
    int32_t AfterimageOrder() override { return Alpha % 256; }
    TAfterimageFade Fade;
};

class TMobuBlurImage : public TMobuCustomImage {
public:
    explicit TMobuBlurImage(TMobuBaseList* owner) : TMobuCustomImage(owner, LT_NONE) {}
    bool Update() override;
    int32_t AfterimageOrder() override { return Alpha % 256; }
    bool HasPicture() override { return true; }
    TAfterimageFade Fade;
};

class TMobuBlurTile : public TMobuTile {
public:
    explicit TMobuBlurTile(TMobuBaseList* owner) : TMobuTile(owner) {}
    bool Update() override;
    int32_t AfterimageOrder() override { return Alpha % 256; }
    bool HasPicture() override { return true; }
    TAfterimageFade Fade;
};

// Creates the afterimage of an owner now (on the owner's parent, one priority below it).
TMobuControl* CreateAfterimage(TMobuBox& owner);
TMobuControl* CreateAfterimage(TMobuCustomImage& owner);

}  // namespace mobu
