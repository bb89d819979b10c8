// The picture components: TMobuCustomImage (a picture with alpha, zoom, rotation, flips and
// a capture mask), TMobuCustomImages (frames with delays and their animation), TMobuImages
// (LT_IMAGES), TMobuTile (LT_TILE), and TMobuImage (the single picture of a film track,
// type code 0). Frames come from the image cache (components/fesk_collection.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/fesk_collection.h"
#include "components/image_steps.h"
#include "components/mobu_object.h"
#include "expr/mobu_parser.h"
#include "graphics/dibx.h"

namespace mobu {

// The elapsed milliseconds of the current frame as the picture components see it.
int32_t ImageFrameElapsedMs();

// A grey level added (b > 0) or taken off (b < 0) a copy of a picture; the copy's key is
// the key colour treated the same way.
void ApplyBrightness(TDIBX& copy, int32_t brightness);

// One frame of an image list: the cache frame and, for a brightness other than 0, the
// brightness-adjusted copy shown instead.
struct TMobuImageData {
    std::unique_ptr<TDIBX> OwnSurface;
    int32_t Brightness = 0;
    TFeskItemFrame* Frame = nullptr;
};

// The frames of one picture taken from the cache. The list holds the cache item for its
// holder until it is cleared or refilled.
class TMobuImageList {
public:
    TMobuImageList() = default;
    ~TMobuImageList() { Clear(); }
    TMobuImageList(const TMobuImageList&) = delete;
    TMobuImageList& operator=(const TMobuImageList&) = delete;

    void Fill(const void* holder, const std::string& path, bool trim, bool mask);
    void Clear();
    int Count() const { return static_cast<int>(frames_.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    TFeskItem* Item() const { return item_; }
    TMobuImageData& Data(int index) { return frames_.at(static_cast<size_t>(index)); }
    std::vector<int32_t> Delays() const;
    // The surface showing frame `index` at `brightness` (the copy is made when needed).
    TDIBX& Surface(int index, int32_t brightness);
    // The key of that surface (pixel value, -1 none).
    int32_t Key(int index, int32_t brightness) { return Surface(index, brightness).TransparentColor; }
    // Drops the brightness copies (around display-mode changes).
    void DropCopies();

    int32_t Index = 0;      // the map image's own frame clock
    int64_t FrameLeft = 0;

private:
    TFeskItem* item_ = nullptr;
    const void* holder_ = nullptr;
    std::vector<TMobuImageData> frames_;
};

class TMobuCustomImage : public TMobuControl {
public:
    TMobuCustomImage(TMobuBaseList* owner, int type_code);
    ~TMobuCustomImage() override;

    // The surface drawn: the lent one when set, else the own one; the same for the mask.
    TDIBX* PictureSurface() { return ImageSurface ? ImageSurface : &OwnSurface; }
    TDIBX* PictureMask() { return ImageMask ? ImageMask : OwnMask.get(); }

    int32_t OwnSurfaceWidth() override { return PictureSurface()->Width(); }
    int32_t OwnSurfaceHeight() override { return PictureSurface()->Height(); }
    // The placement point (Left/Top, zoomed when PosZoomed, the motion position when a
    // motion is attached) on the base, without the anchor.
    int32_t OriginX();
    int32_t OriginY();
    TRect GetBoundsRect() override;
    void Draw(TCustomDIBX& surface) override;
    TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask) override;
    bool Update() override;
    // Whether the point (base coordinates) lies on the picture: rotation and the capture
    // mask taken into account.
    bool PictureHit(int32_t x, int32_t y);
    // Recomputes Width/Height from the surface and the zoom (not for an explicit size).
    void RecomputeSize();
    // Whether a width (height) given to the component stays when the size is derived from
    // the picture and the zoom again.
    virtual bool KeepsGivenWidth() const { return false; }
    virtual bool KeepsGivenHeight() const { return false; }
    // Whether there is a picture to size by (a source or a lent surface).
    virtual bool HasPicture() { return ImageSurface != nullptr; }
    // Whether PR_ANGLE turns the drawn picture (tiles are never turned).
    virtual bool Rotates() const { return true; }

    int32_t ImageKey = -1;
    TDIBX OwnSurface;
    TDIBX* ImageSurface = nullptr;
    std::unique_ptr<TDIBX> OwnMask;
    TDIBX* ImageMask = nullptr;
    int32_t Alpha = 255;
    int32_t ZoomXValue = 256;  // 0: stretched to an explicit width
    int32_t ZoomYValue = 256;
    int32_t Angle = 0;
    bool FlipH = false, FlipV = false;
    bool CaptureMask = false;
    bool SizeDirty = false;
    int32_t BlurSpan = 0, BlurDelay = 0;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
    // Marks the size (and that of every child placed by the zoom) for recomputing.
    void MarkSizeDirty();
    // Afterimages: called by Update with the elapsed time.
    void BlurStep(int32_t elapsed);
    bool BlurSnapshotChanged();
    void TakeBlurSnapshot();

    int32_t blur_timer_ = 0;
    struct TImageSnapshot {
        int32_t Index = 0, Left = 0, Top = 0, Angle = 0, ZoomX = 0, ZoomY = 0, ScrollX = 0, ScrollY = 0;
        bool operator==(const TImageSnapshot&) const = default;
    } snapshot_;
    TImageSnapshot CurrentSnapshot();
};

class TMobuCustomImages : public TMobuCustomImage {
public:
    TMobuCustomImages(TMobuBaseList* owner, int type_code) : TMobuCustomImage(owner, type_code) {}

    // The compiled PR_DELAY expression of the creation command: its integer value is added
    // to the time of the last frame (of a list of more than one frame) each time that frame
    // is entered, so it is evaluated anew every time. An empty expression adds nothing.
    void SetDelayExpression(const TMobuParser& expression) { LastFrameWait.Assign(expression); }
    // How the expression is evaluated; the default runs it against the process-wide
    // function manager and takes its integer result. Tests replace it.
    using TDelayEvaluator = std::function<int32_t(TMobuParser&)>;
    static void SetDelayEvaluator(TDelayEvaluator evaluator);
    int32_t LastFrameWaitValue();

    // The list frames come from.
    virtual TMobuImageList* ActiveList() = 0;
    int32_t Index() const { return clock_.Index; }
    int64_t FrameLeft() const { return clock_.FrameLeft; }
    void SetIndex(int32_t index);
    bool Update() override;
    bool HasPicture() override;
    virtual bool Repeats() { return GetProp(PR_REPEAT).AsFlag(); }
    virtual bool AutoScraps() { return GetProp(PR_AUTOSCRAP).AsFlag(); }
    bool Playing();
    void ReleaseSurfaces() override;
    void RestoreSurfaces() override;

    int32_t Brightness = 0;
    bool PausedFlag = false;
    TMobuParser LastFrameWait;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
    // Lends the surface of the current frame (after a brightness change too).
    void LendFrame();
    // Drops the lent surfaces and the list, index -1.
    void ResetPicture();

    TFrameClock clock_;
};

class TMobuImages : public TMobuCustomImages {
public:
    explicit TMobuImages(TMobuBaseList* owner, int type_code = LT_IMAGES);

    TMobuImageList* ActiveList() override { return Lists[0].get(); }
    void SetSource(const std::string& path);
    const std::string& Source() const { return source_; }
    bool HasPicture() override;

    // One list for an image (the buttons built on it use more).
    std::vector<std::unique_ptr<TMobuImageList>> Lists;
    bool Repeat = false;
    bool AutoScrap = false;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

    std::string source_;
};

class TMobuTile : public TMobuCustomImages {
public:
    explicit TMobuTile(TMobuBaseList* owner, int type_code = LT_TILE);

    TMobuImageList* ActiveList() override { return &List; }
    void SetSource(const std::string& path);
    const std::string& Source() const { return source_; }
    bool HasPicture() override;
    // The drawn origin ignores the anchor: parent's origin + Left - the parent's scroll.
    int32_t GetAbsLeft() override;
    int32_t GetAbsTop() override;
    TRect GetBoundsRect() override { return TMobuControl::GetBoundsRect(); }
    bool Rotates() const override { return false; }
    void Draw(TCustomDIBX& surface) override;

    TMobuImageList List;
    int32_t ScrollX = 0, ScrollY = 0;
    int32_t DistanceX = 0, DistanceY = 0;

    // A tile repeats its picture over the area it is given: PR_WIDTH and PR_HEIGHT size that
    // area and keep the zoom, which scales the cells. (Were the zoom dropped to 0 as for
    // other pictures, the tile would draw nothing, and its area could never be more than one
    // picture.)
    bool KeepsGivenWidth() const override { return given_width_; }
    bool KeepsGivenHeight() const override { return given_height_; }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

    std::string source_;
    bool given_width_ = false, given_height_ = false;
};

// The single picture of a film track: frame 0 copied into its own surface.
class TMobuImage : public TMobuCustomImage {
public:
    explicit TMobuImage(TMobuBaseList* owner) : TMobuCustomImage(owner, LT_NONE) {}

    // Answers what a multi-frame image answers.
    bool Answers(int id) const override;
    void SetSource(const std::string& path);
    const std::string& Source() const { return source_; }
    // 0-255; 255 shows the picture as it is, lower values darken it.
    void SetBrightness(int32_t brightness);
    int32_t Brightness() const { return brightness_; }
    bool HasPicture() override { return !source_.empty() || !OwnSurface.IsEmpty() || TMobuCustomImage::HasPicture(); }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;

private:
    void LoadPicture();

    std::string source_;
    int32_t brightness_ = 255;
};

// Whether a path ends in the extension (compared without regard to letter case).
bool HasExtension(const std::string& path, const char* extension);

}  // namespace mobu
