#include "graphics/frame_lists.h"

namespace mobu {
namespace {

void InheritCrop(TCropBlock& own, const TCropBlock& parent)
{
    own.OriginStart = parent.OriginEnd;
    own.SizeStart = parent.SizeEnd;
}

}  // namespace

void TCustomImageFrameList::InheritStart(const TCustomFrameList& parent)
{
    const auto* p = dynamic_cast<const TCustomImageFrameList*>(&parent);
    if (!p) return;
    const TImageRecord& e = p->Live;
    Live.PosStart = e.PosEnd;
    Live.AngleStart = e.AngleEnd;
    Live.ZoomXStart = e.ZoomXEnd;
    Live.ZoomYStart = e.ZoomYEnd;
    Live.AlphaStart = e.AlphaEnd;
    InheritCrop(Live.Crop, e.Crop);
    Live.AStart = e.AEnd;
    Live.BStart = e.BEnd;
}

void TTileFrameList::InheritStart(const TCustomFrameList& parent)
{
    TCustomImageFrameList::InheritStart(parent);
    const auto* p = dynamic_cast<const TTileFrameList*>(&parent);
    if (!p) return;
    const TTileRecord& e = p->LiveTile;
    LiveTile.TileWStart = e.TileWEnd;
    LiveTile.TileHStart = e.TileHEnd;
    LiveTile.ScrollXStart = e.ScrollXEnd;
    LiveTile.ScrollYStart = e.ScrollYEnd;
}

void TBoxFrameList::InheritStart(const TCustomFrameList& parent)
{
    const auto* p = dynamic_cast<const TBoxFrameList*>(&parent);
    if (!p) return;
    const TBoxFrame& e = p->Live;
    Live.PosStart = e.PosEnd;
    Live.AlphaStart = e.AlphaEnd;
    Live.WStart = e.WEnd;
    Live.HStart = e.HEnd;
    Live.ColorStart = e.ColorEnd;
    Live.BorderWStart = e.BorderWEnd;
    Live.BorderCStart = e.BorderCEnd;
    InheritCrop(Live.Crop, e.Crop);
    Live.AStart = e.AEnd;
    Live.BStart = e.BEnd;
}

void TSoundFrameList::InheritStart(const TCustomFrameList& parent)
{
    const auto* p = dynamic_cast<const TSoundFrameList*>(&parent);
    if (!p) return;
    Live.VolumeStart = p->Live.VolumeEnd;
    Live.PanStart = p->Live.PanEnd;
}

void TParticleFrameList::InheritStart(const TCustomFrameList& parent)
{
    const auto* p = dynamic_cast<const TParticleFrameList*>(&parent);
    if (!p) return;
    const TParticleRecord& e = p->Live;
    Live.IntervalStart = e.IntervalEnd;
    Live.SpreadStart = e.SpreadEnd;
    Live.XBaseStart = e.XBaseEnd;
    Live.YBaseStart = e.YBaseEnd;
    Live.XRangeStart = e.XRangeEnd;
    Live.YRangeStart = e.YRangeEnd;
    for (int i = 0; i < 3; ++i) Live.ParamStart[i] = e.ParamEnd[i];
    Live.PosStart = e.PosEnd;
    Live.WStart = e.WEnd;
    Live.HStart = e.HEnd;
    InheritCrop(Live.Crop, e.Crop);
    Live.AlphaStart = e.AlphaEnd;
}

void TFireFrameList::InheritStart(const TCustomFrameList& parent)
{
    const auto* p = dynamic_cast<const TFireFrameList*>(&parent);
    if (!p) return;
    const TFireRecord& e = p->Live;
    Live.PosStart = e.PosEnd;
    Live.WStart = e.WEnd;
    Live.HStart = e.HEnd;
    InheritCrop(Live.Crop, e.Crop);
    Live.ZoomXStart = e.ZoomXEnd;
    Live.ZoomYStart = e.ZoomYEnd;
}

std::unique_ptr<TCustomFrameList> MakeFrameList(int kind)
{
    switch (kind) {
        case FK_IMAGE: return std::make_unique<TImageFrameList>();
        case FK_LABEL: return std::make_unique<TLabelFrameList>();
        case FK_BOX: return std::make_unique<TBoxFrameList>();
        case FK_WIPE: return std::make_unique<TWipeFrameList>();
        case FK_SOUND: return std::make_unique<TSoundFrameList>();
        case FK_TILE: return std::make_unique<TTileFrameList>();
        case FK_PARTICLE: return std::make_unique<TParticleFrameList>();
        case FK_FIRE: return std::make_unique<TFireFrameList>();
        default: return nullptr;
    }
}

const char* FrameListKindName(int kind)
{
    static const char* const kNames[kFrameListKinds] = {"image", "label", "box", "transition",
                                                        "sound", "tile",  "particles", "fire"};
    return kind >= 0 && kind < kFrameListKinds ? kNames[kind] : "unknown";
}

}  // namespace mobu
