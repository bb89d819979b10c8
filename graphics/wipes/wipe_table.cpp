#include "graphics/wipes/wipe_table.h"

#include <array>
#include <cctype>

#include "graphics/wipes/wipe_blurs.h"
#include "graphics/wipes/wipe_crack.h"
#include "graphics/wipes/wipe_fades.h"
#include "graphics/wipes/wipe_mask_shapes.h"
#include "graphics/wipes/wipe_rings.h"
#include "graphics/wipes/wipe_shadows.h"
#include "graphics/wipes/wipe_zooms.h"
#include "graphics/wipes/wipe_mask_bands.h"
#include "graphics/wipes/wipe_mask_blocks.h"
#include "graphics/wipes/wipe_slides.h"

namespace mobu {
namespace {

template <class T>
std::unique_ptr<TCustomWipe> Make()
{
    return std::make_unique<T>();
}

// Effects whose class is not built have no maker: the factory gives nothing for them and
// the caller says so.
constexpr std::unique_ptr<TCustomWipe> (*kNotBuilt)() = nullptr;

const std::array<TWipeKind, kWipeLastId + 1> kKinds{{
    {0, "WP_NONE", u8"なし", "", 0, 0, kNotBuilt},
    {1, "WP_FADE", u8"フェード", "TWipeFade", 0, 0, Make<TWipeFade>},
    {2, "WP_BLINDH", u8"ブラインド横", "TWipeBlindH", 20, 1, Make<TWipeBlindH>},
    {3, "WP_BLINDV", u8"ブラインド縦", "TWipeBlindV", 20, 1, Make<TWipeBlindV>},
    {4, "WP_CURTAINH", u8"カーテン横", "TWipeCurtainH", 30, 1, Make<TWipeCurtainH>},
    {5, "WP_CURTAINV", u8"カーテン縦", "TWipeCurtainV", 30, 1, Make<TWipeCurtainV>},
    {6, "WP_SCROLLH", u8"スクロール横", "TWipeScrollH", 0, 0, Make<TWipeScrollH>},
    {7, "WP_SCROLLV", u8"スクロール縦", "TWipeScrollV", 0, 0, Make<TWipeScrollV>},
    {8, "WP_GRID", u8"格子", "TWipeGrid", 80, 30, Make<TWipeGrid>},
    {9, "WP_GRIDH", u8"格子(横)", "TWipeGridH", 80, 30, Make<TWipeGridH>},
    {10, "WP_GRIDV", u8"格子(縦)", "TWipeGridV", 80, 30, Make<TWipeGridV>},
    {11, "WP_DITHER", u8"ディザ", "TWipeDither", 0, 0, Make<TWipeDither>},
    {12, "WP_WHITE", u8"ホワイト", "TWipeWhite", 0, 0, Make<TWipeWhite>},
    {13, "WP_BLACK", u8"ブラック", "TWipeBlack", 0, 0, Make<TWipeBlack>},
    {14, "WP_FLASH", u8"フラッシュ", "TWipeFlash", 0, 0, Make<TWipeFlash>},
    {15, "WP_MOSAIC", u8"モザイク", "TWipeMosaic", 0, 0, Make<TWipeMosaic>},
    {16, "WP_SUDAREH", u8"すだれ横", "TWipeSudareH", 0, 0, Make<TWipeSudareH>},
    {17, "WP_SUDAREV", u8"すだれ縦", "TWipeSudareV", 0, 0, Make<TWipeSudareV>},
    {18, "WP_SPOT", u8"スポットライト", "TWipeSpot", 0, 0, Make<TWipeSpot>},
    {19, "WP_MASKFADE", u8"マスクフェード", "TWipeShadow", 0, 0, Make<TWipeShadow>},
    {20, "WP_MASKWHITE", u8"マスクホワイト", "TWipeShadowWhite", 0, 0, Make<TWipeShadowWhite>},
    {21, "WP_MASKBLACK", u8"マスクブラック", "TWipeShadowBlack", 0, 0, Make<TWipeShadowBlack>},
    {22, "WP_SMALL", u8"表画面縮小", "TWipeSmall", 0, 0, Make<TWipeSmall>},
    {23, "WP_BIG", u8"裏画面拡大", "TWipeBig", 0, 0, Make<TWipeBig>},
    {24, "WP_RIPPLE", u8"波紋", "TWipeRipple", 5, 0, Make<TWipeRipple>},
    {25, "WP_BLURWHITE", u8"白ぼかし", "TWipeBlurWhite", 0, 0, Make<TWipeBlurWhite>},
    {26, "WP_BLURBLACK", u8"黒ぼかし", "TWipeBlurBlack", 0, 0, Make<TWipeBlurBlack>},
    {27, "WP_TWISTH", u8"ひねり横", "TWipeTwistH", 0, 0, Make<TWipeTwistH>},
    {28, "WP_TWISTV", u8"ひねり縦", "TWipeTwistV", 0, 0, Make<TWipeTwistV>},
    {29, "WP_CRACK", u8"チップ落下", "TWipeCrack", 64, 3, Make<TWipeCrack>},
    {30, "WP_ZOOMIN", u8"ズームイン", "TWipeZoomin", 0, 0, Make<TWipeZoomin>},
    {31, "WP_CLOCKHAND", u8"時計の針", "TWipeClockhand", 0, 0, Make<TWipeClockhand>},
    {32, "WP_RUBBERH", u8"ゴム(横)", "TWipeRubberH", 0, 0, Make<TWipeRubberH>},
    {33, "WP_RUBBERV", u8"ゴム(縦)", "TWipeRubberV", 0, 0, Make<TWipeRubberV>},
    {34, "WP_FAN", u8"扇", "TWipeFan", 0, 0, Make<TWipeFan>},
    {35, "WP_WFAN", u8"扇(両側)", "TWipeWFan", 0, 0, Make<TWipeWFan>},
    {36, "WP_CIRCLE", u8"円", "TWipeCircle", 0, 0, Make<TWipeCircle>},
    {37, "WP_BLOCKCOIL", u8"ブロック(とぐろ)", "TWipeBlockCoil", 60, 0, Make<TWipeBlockCoil>},
    {38, "WP_BLOCKRANDOM", u8"ブロック(ランダム)", "TWipeBlockRandom", 60, 0, Make<TWipeBlockRandom>},
}};

const std::array<TFlipMode, 2> kFlipModes{{
    {FL_OUT, "FL_OUT", u8"指定サーフェスを裏に"},
    {FL_STAY, "FL_STAY", u8"指定サーフェスを表に"},
}};

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::span<const TWipeKind> WipeKinds() { return kKinds; }
std::span<const TFlipMode> FlipModes() { return kFlipModes; }

const TWipeKind* FindWipeKind(int id)
{
    return id >= 0 && id <= kWipeLastId ? &kKinds[static_cast<size_t>(id)] : nullptr;
}

const TWipeKind* FindWipeKindByName(std::string_view name)
{
    for (const TWipeKind& kind : kKinds)
        if (SameNameIgnoringCase(kind.Name, name)) return &kind;
    return nullptr;
}

std::unique_ptr<TCustomWipe> CreateWipe(int id, TCustomDIBX* target, TCustomDIBX* from_image, TCustomDIBX* to_image)
{
    const TWipeKind* kind = FindWipeKind(id);
    if (!kind || !kind->Make) return nullptr;
    std::unique_ptr<TCustomWipe> wipe = kind->Make();
    wipe->Create(target, to_image, from_image);
    wipe->SetParam(0, kind->Param0);
    wipe->SetParam(1, kind->Param1);
    return wipe;
}

}  // namespace mobu
