// The tracks of a motion or cinema film: TCustomFrameList with its frames, and one class per
// track kind. A track holds its record as read from the file (printed and written back as
// it is) and, after loading, the live values it plays with: start values taken from the
// parent track, times and sizes of its pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mobu {

// Track kinds as stored (the high bit of the stored byte is ignored).
inline constexpr int FK_IMAGE = 0;
inline constexpr int FK_LABEL = 1;
inline constexpr int FK_BOX = 2;
inline constexpr int FK_WIPE = 3;
inline constexpr int FK_SOUND = 4;
inline constexpr int FK_TILE = 5;
inline constexpr int FK_PARTICLE = 6;
inline constexpr int FK_FIRE = 7;
inline constexpr int kFrameListKinds = 8;

struct TFilmPoint {
    int32_t X = 0, Y = 0;
    bool operator==(const TFilmPoint&) const = default;
};

// Origin and size of the visible part, start and end, with their easings. A size below 1
// in either direction shows the whole frame.
struct TCropBlock {
    TFilmPoint OriginStart, SizeStart, OriginEnd, SizeEnd;
    uint8_t EaseOrigin = 0, EaseSize = 0;
};

// One frame of a track: its duration in milliseconds and, for pictures, where the trimmed
// frame lies inside the whole picture and its size.
struct TCustomFrame {
    int32_t Duration = 1;
    int32_t OffsetX = 0, OffsetY = 0;
    int32_t Width = 0, Height = 0;
};

class TCustomFrameList {
public:
    explicit TCustomFrameList(int kind) : KindByte(static_cast<uint8_t>(kind)), kind_(kind) {}
    virtual ~TCustomFrameList() = default;
    int Kind() const { return kind_; }

    // The stored kind byte (its high bit kept for writing back).
    uint8_t KindByte = 0;
    int32_t ParentIndex = -1;           // as read
    TCustomFrameList* Parent = nullptr;  // after the link rule: -1 / outside / cycles dropped
    int32_t Length = 0;
    int32_t Unnamed = 0;                // the 32-bit value after Length, kept as read
    int32_t StartTime = 0;
    int32_t LoopLength = 0;
    int32_t Priority = 0;
    uint8_t FlipH = 0, FlipV = 0;
    uint8_t OtherBase = 0;
    std::vector<TCustomFrame> Frames;

    // Set while loading: another track follows this one (its interpolation counts one
    // more step), and the effective start.
    bool Followed = false;
    int32_t EffectiveStart = 0;

    // Takes the parent's end values as this track's start values (same family only).
    virtual void InheritStart(const TCustomFrameList& /*parent*/) {}

private:
    int kind_;
};

// The image-like record shared by picture, label and tile tracks.
struct TImageRecord {
    TFilmPoint Base, PosStart, PosEnd;
    uint8_t EaseX = 0, EaseY = 0;
    int32_t AngleStart = 0, AngleEnd = 0;  // degrees
    double ZoomXStart = 1.0, ZoomXEnd = 1.0;
    uint8_t EaseZoomX = 0;
    int32_t AlphaStart = 255, AlphaEnd = 255;
    uint8_t EaseAngle = 0;
    TCropBlock Crop;
    double ZoomYStart = 1.0, ZoomYEnd = 1.0;
    uint8_t EaseZoomY = 0;
    int32_t AStart = 0, BStart = 0, AEnd = 0, BEnd = 0;
};

class TCustomImageFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
    TImageRecord Stored;  // as read
    TImageRecord Live;    // start values from the parent
    void InheritStart(const TCustomFrameList& parent) override;
};

class TImageFrameList : public TCustomImageFrameList {
public:
    explicit TImageFrameList(int kind = FK_IMAGE) : TCustomImageFrameList(kind) {}
    std::string Source;        // as stored
    std::string ResolvedPath;  // relative to the film's folder unless absolute
    bool PictureFound = false;
};

class TLabelFrameList : public TCustomImageFrameList {
public:
    TLabelFrameList() : TCustomImageFrameList(FK_LABEL) {}
    std::string Text;
    uint8_t Antialias = 0;
    std::string FontName;
    int32_t FontSize = 0;
    int32_t LineSpacing = 1;
    uint8_t FontStyle = 0;
    int32_t Colour = 0;
    uint8_t LastByte = 0;
};

struct TTileRecord {
    int32_t TileWStart = 0, TileHStart = 0, TileWEnd = 0, TileHEnd = 0;
    int32_t ScrollXStart = 0, ScrollYStart = 0, ScrollXEnd = 0, ScrollYEnd = 0;
    uint8_t EaseScrollX = 0, EaseScrollY = 0;
    int32_t DistanceX = 0, DistanceY = 0;
};

class TTileFrameList : public TImageFrameList {
public:
    TTileFrameList() : TImageFrameList(FK_TILE) {}
    TTileRecord Tile, LiveTile;
    bool HasSecondCrop = false;
    TCropBlock SecondCrop;  // replaces the image record's crop when present
    void InheritStart(const TCustomFrameList& parent) override;
};

class TRectFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
};

struct TBoxFrame {
    TFilmPoint PosStart, PosEnd;
    uint8_t EaseX = 0, EaseY = 0;
    int32_t AlphaStart = 255, AlphaEnd = 255;
    int32_t WStart = 100, HStart = 100, WEnd = 100, HEnd = 100;
    int32_t ColorStart = 0, ColorEnd = 0;
    int32_t BorderWStart = 0, BorderWEnd = 0;
    int32_t BorderCStart = -1, BorderCEnd = -1;
    TCropBlock Crop;
    int32_t AStart = 0, BStart = 0, AEnd = 0, BEnd = 0;
};

class TBoxFrameList : public TRectFrameList {
public:
    TBoxFrameList() : TRectFrameList(FK_BOX) {}
    TBoxFrame Stored, Live;
    void InheritStart(const TCustomFrameList& parent) override;
};

class TWipeFrameList : public TCustomFrameList {
public:
    TWipeFrameList() : TCustomFrameList(FK_WIPE) {}
    uint8_t TransitionId = 0;
    std::string Mask;
    int32_t Param0 = 0, Param1 = 0;
    uint8_t Reverse = 0;
};

struct TSoundRecord {
    int32_t VolumeStart = 1000, VolumeEnd = 1000;
    int32_t PanStart = 0, PanEnd = 0;
    uint8_t EaseVolume = 0, EasePan = 0;
};

class TSoundFrameList : public TCustomFrameList {
public:
    TSoundFrameList() : TCustomFrameList(FK_SOUND) {}
    std::string Source;
    std::string ResolvedPath;
    TSoundRecord Stored;  // volumes after the conversion of old files
    TSoundRecord Live;
    void InheritStart(const TCustomFrameList& parent) override;
};

struct TParticleRecord {
    uint8_t Motion = 0;
    int32_t WarmUp = 0;
    int32_t IntervalStart = 100, IntervalEnd = 100;
    int32_t SpreadStart = 1, SpreadEnd = 1;
    int32_t XBaseStart = 0, YBaseStart = 0, XBaseEnd = 0, YBaseEnd = 0;
    int32_t XRangeStart = 1, YRangeStart = 1, XRangeEnd = 1, YRangeEnd = 1;
    uint8_t EaseXBase = 0, EaseYBase = 0;
    double ParamStart[3] = {0, 0, 0}, ParamEnd[3] = {0, 0, 0};
    TFilmPoint PosStart, PosEnd;
    uint8_t EaseX = 0, EaseY = 0;
    int32_t WStart = 0, HStart = 0, WEnd = 0, HEnd = 0;
    TCropBlock Crop;
    int32_t AlphaStart = 255, AlphaEnd = 255;
};

class TParticleFrameList : public TRectFrameList {
public:
    TParticleFrameList() : TRectFrameList(FK_PARTICLE) {}
    std::string Source;  // empty: the record ends after the name
    std::string ResolvedPath;
    TParticleRecord Stored, Live;
    void InheritStart(const TCustomFrameList& parent) override;
};

struct TFireRecord {
    TFilmPoint PosStart, PosEnd;
    uint8_t EaseX = 0, EaseY = 0;
    int32_t WStart = 160, HStart = 30, WEnd = 160, HEnd = 30;
    TCropBlock Crop;
    double ZoomXStart = 4.0, ZoomYStart = 4.0, ZoomXEnd = 4.0, ZoomYEnd = 4.0;
    uint8_t EaseZoomX = 0, EaseZoomY = 0;
    int32_t Power = 100;
};

class TFireFrameList : public TRectFrameList {
public:
    TFireFrameList() : TRectFrameList(FK_FIRE) {}
    TFireRecord Stored, Live;
    void InheritStart(const TCustomFrameList& parent) override;
};

// A new empty track of the kind (0-7), none for another kind.
std::unique_ptr<TCustomFrameList> MakeFrameList(int kind);
// "image", "label", "box", "transition", "sound", "tile", "particles", "fire".
const char* FrameListKindName(int kind);

}  // namespace mobu
