// TMobuMapImage (LT_MAPIMG): a picture divided into named selection regions read from a map
// file. The hovered region shows the hover picture, the rest the normal one; a click, Return
// or Space selects the hovered region, and a right click or Escape may cancel.
#pragma once

#include <string>
#include <vector>

#include "components/map_image_masks.h"
#include "components/map_region.h"
#include "components/mobu_image.h"

namespace mobu {

class TMobuMapImage : public TMobuControl {
public:
    // Closing: 100 asks for it, 101 is closed (removed at the next update).
    static constexpr int32_t kClosing = 100;
    static constexpr int32_t kClosed = 101;

    explicit TMobuMapImage(TMobuBaseList* owner);
    ~TMobuMapImage() override;

    void SetSource(const std::string& path);
    void SetHoverSource(const std::string& path);
    void SetMapSource(const std::string& path);
    const std::vector<TMapRegion>& Regions() const { return regions_; }
    int HoverIndex() const { return hover_index_; }
    // Makes region `index` (-1 none) the hovered one, with the map-out and map-in events.
    void SetHover(int index);
    // Selects the hovered region: @SelStr, @SelIndex and the select event.
    void Select();
    // Leaves without a selection (@SelStr "", @SelIndex -1) and starts closing.
    void Cancel();
    int32_t CloseState() const { return close_state_; }

    bool IsSelecting() const override { return selecting_; }
    bool Update() override;
    void Draw(TCustomDIBX& surface) override;
    void MouseMove() override;
    void MouseOut(TMobuControl* new_target) override;
    void LButtonDown() override;
    bool RightClickScrap() override;
    void KeyStep() override;
    void ReleaseSurfaces() override;
    void RestoreSurfaces() override;

    TMobuImageList Normal;
    TMobuImageList Hover;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void DrawPicture(TCustomDIBX& target, TMobuImageList& list, TMapImageMasks& masks, bool outside);
    void InvalidateRegion(int index);
    bool Animate(TMobuImageList& list, int32_t elapsed);
    // Posts map-in or map-out (name, index) for region `index`.
    void PostRegionEvent(int code, int index);

    std::string source_, hover_source_, map_source_;
    int32_t alpha_ = 255;
    int32_t brightness_ = 0;
    bool auto_scrap_ = false, rclick_scrap_ = false, paused_ = false;
    std::vector<TMapRegion> regions_;
    int hover_index_ = -1;
    TMapImageMasks normal_masks_, hover_masks_;
    int32_t close_state_ = 0;
    bool selecting_ = false;
};

}  // namespace mobu
