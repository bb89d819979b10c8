// The component root classes: TMobuObject (name, tag, priority, every property by id),
// TMobuComponent (registered in a component list) and TMobuControl (a visual component:
// placement, visibility, parent and children, mouse and key events, drawing).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "components/mobu_motion.h"
#include "components/property_table.h"
#include "graphics/custom_dibx.h"

namespace mobu {

class TMobuBaseList;
class TMobuBase;
class TMobuControl;

// Which mouse input a control lets through.
inline constexpr int IM_NONE = 0;
inline constexpr int IM_ALL = 1;
inline constexpr int IM_CLICK = 2;
inline constexpr int IM_LCLICK = 3;
inline constexpr int IM_RCLICK = 4;
// Play modes of components that play (menus; sounds and videos).
inline constexpr int LP_PLAY = 0;
inline constexpr int LP_PLAYFADE = 1;
inline constexpr int LP_STOP = 2;
inline constexpr int LP_STOPFADE = 3;
// Hit-test masks: bit per IgnoreMouse value.
inline constexpr uint32_t kMaskLeftClick = (1u << IM_NONE) | (1u << IM_RCLICK);
inline constexpr uint32_t kMaskRightClick = (1u << IM_NONE) | (1u << IM_LCLICK);
inline constexpr uint32_t kMaskMove = (1u << IM_NONE) | (1u << IM_CLICK) | (1u << IM_LCLICK) | (1u << IM_RCLICK);

// The newest save-data version (the only one written).
inline constexpr int kComponentSaveVersion = 140;

class TMobuObject {
public:
    // Registers the object in `owner` (none for a top-level list).
    explicit TMobuObject(TMobuBaseList* owner);
    virtual ~TMobuObject();
    TMobuObject(const TMobuObject&) = delete;
    TMobuObject& operator=(const TMobuObject&) = delete;

    TMobuBaseList* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name);
    // Sets the name without the collision rule (loading, dooming).
    void StoreName(std::string name);

    std::string Tag;
    int32_t Priority() const { return priority_; }
    int32_t PriorityOffset() const { return priority_offset_; }
    void SetPriority(int32_t value);
    void SetPriorityOffset(int32_t value);
    int32_t SortPriority() const { return priority_ + priority_offset_; }

    virtual int GetCompoType() const { return LT_NONE; }
    virtual TMobuControl* AsControl() { return nullptr; }
    const TMobuControl* AsControl() const { return const_cast<TMobuObject*>(this)->AsControl(); }
    virtual bool IsBase() const { return false; }
    virtual bool IsCabinet() const { return false; }
    virtual bool WantsAutoName() const { return true; }

    // ---- properties by id ----
    // Whether this object answers the property.
    virtual bool Answers(int id) const;
    // Reads the property (neutral value when not answered), as its declared type.
    TPropValue GetProp(int id);
    // Writes the property; ignored when not answered or read-only.
    void SetProp(int id, const TPropValue& value);
    // The stored event string of an event property ("" when none).
    std::string EventString(int code) { return Answers(code) ? ReadProperty(code).AsText() : std::string(); }
    bool Paused() { return GetProp(PR_PAUSED).AsFlag(); }

    // ---- behaviour ----
    virtual bool IsSelecting() const { return false; }
    virtual bool IsInCabinet() const { return false; }
    // Once per frame; true asks the list to remove the object.
    virtual bool Update() { return false; }
    // Called by a creating command after its last property: the object shows itself.
    virtual void EndCreation() { Invalidate(); }
    // Plays or stops (LP_PLAY ... LP_STOPFADE); components that do not play ignore it.
    virtual void SetPlayMode(int /*mode*/) {}
    // Posts an event record of `code` with the handler of that event property: not when the
    // handler is empty, nor (unless `allow_duplicate`) while one of that code from this
    // object waits in the queue. True when posted.
    bool PostEvent(int code, std::vector<std::string> params = {}, bool allow_duplicate = false);

    // ---- items of list components (menus and preview menus answer these) ----
    // Every other component has no items: reads give 0 or FALSE, writes are ignored.
    virtual int32_t ItemCount() { return 0; }
    virtual std::string ItemText(int32_t) { return std::string(); }
    virtual bool ItemChecked(int32_t) { return false; }
    virtual void SetItemChecked(int32_t, bool) {}
    virtual bool ItemEnabled(int32_t) { return false; }
    virtual void SetItemEnabled(int32_t, bool) {}
    virtual bool ItemVisible(int32_t) { return false; }
    virtual void SetItemVisible(int32_t, bool) {}
    virtual int32_t ItemGroupIndex(int32_t) { return 0; }
    virtual bool ItemSelected(int32_t) { return false; }
    virtual void SetItemSelected(int32_t, bool) {}
    // Position of the preview-menu entry whose name is exactly `name`, -1 when none.
    virtual int32_t EntryIndexOf(const std::string&) { return -1; }

    // ---- saved form ----
    virtual void SaveToStream(ByteWriter& out);
    virtual void LoadFromStream(ByteReader& in, int version);

protected:
    // Accessors of the answered properties; the base keeps values in a table filled with
    // the creation defaults.
    virtual TPropValue ReadProperty(int id);
    virtual void WriteProperty(int id, const TPropValue& value);
    // The type-specific part of the saved form (after the children for controls).
    virtual void SaveTypePart(ByteWriter&) {}
    virtual void LoadTypePart(ByteReader&, int /*version*/) {}
    virtual void Invalidate() {}
    void ResortInParent();

    TMobuBaseList* owner_;
    std::string name_;
    int32_t priority_ = 0;
    int32_t priority_offset_ = 0;
    std::map<int, TPropValue> values_;  // answered properties without a field of their own
};

// A component registered in a component list; the non-visual components are these.
class TMobuComponent : public TMobuObject {
public:
    TMobuComponent(TMobuBaseList* owner, int type_code = LT_NONE) : TMobuObject(owner), type_code_(type_code) {}
    int GetCompoType() const override { return type_code_; }

private:
    int type_code_;
};

class TMobuControl : public TMobuComponent {
public:
    TMobuControl(TMobuBaseList* owner, int type_code = LT_NONE) : TMobuComponent(owner, type_code) {}
    ~TMobuControl() override;

    TMobuControl* AsControl() override { return this; }
    bool Answers(int id) const override;
    void SetName(const std::string& name) override;
    // Ticks the attached film. When it finishes: true (removal) with PR_AUTOSCRAP, else the
    // play-end event is posted.
    bool Update() override;

    // ---- tree ----
    TMobuControl* Parent() const { return parent_; }
    // Ignored for the current parent, the control itself or one of its descendants.
    void SetParent(TMobuControl* parent);
    const std::vector<TMobuControl*>& Children() const { return children_; }
    void AddChild(TMobuControl* child);
    void RemoveChild(TMobuControl* child);
    void SortChildren();
    bool HasDescendant(const TMobuObject* object) const;
    // The screen base the control lies on (itself for a base), or none.
    virtual TMobuBase* GetBase();
    bool IsInCabinet() const override;
    // Visible, on the active base, and every ancestor visible.
    bool IsShown();

    // ---- placement ----
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    int32_t OffsetX = 0, OffsetY = 0;
    int32_t Color = -1;
    int32_t ReservedRect[4] = {0, 0, 1, 1};
    uint8_t IgnoreMouse = IM_NONE;
    std::string Cursor;
    bool PosZoomed = false;
    int32_t ClipLeft = 0, ClipTop = 0, ClipWidth = 0, ClipHeight = 0;
    int32_t MotionX = 0, MotionY = 0;
    int32_t PlusX = 0, PlusY = 0;
    bool AniPaused = false;
    bool HandleKey = false;
    // The attached film player, or none; while attached, MotionX/MotionY replace Left/Top.
    std::unique_ptr<TMobuMotion> Motion;
    // Placed by a film: the attached player's, or (for an afterimage) its owner's, whose
    // MotionX/MotionY the copy took over.
    bool HasMotion() const { return Motion != nullptr || MotionPlaced; }
    bool MotionPlaced = false;
    // Places the control where its film puts it (MotionX/MotionY), invalidating the old and
    // the new place.
    void SetMotionPosition(int32_t x, int32_t y);
    // Attaches a new player for the film at `path` (dropping the old one); without a film
    // for the path the control is left without a motion.
    void SetMotion(const std::string& path);
    // Plays the attached film from its start again.
    void RestartMotion();
    // The name of the control this one is an afterimage of ("" for ordinary controls).
    std::string AfterimageOwner;
    // Afterimages of one owner are ordered by this (their alpha within its blend mode).
    virtual int32_t AfterimageOrder() { return 0; }

    virtual bool GetVisible() const { return visible_; }
    void SetVisible(bool visible);
    void SetLeft(int32_t v);
    void SetTop(int32_t v);
    void SetWidth(int32_t v);
    void SetHeight(int32_t v);
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    void SetColor(int32_t colour);

    int32_t ZoomX() { return Answers(PR_ZOOMX) ? ReadProperty(PR_ZOOMX).AsInt() : 256; }
    int32_t ZoomY() { return Answers(PR_ZOOMY) ? ReadProperty(PR_ZOOMY).AsInt() : 256; }
    // Width of the control's own image surface (0 when it has none): the PosZoomed rule.
    virtual int32_t OwnSurfaceWidth() { return 0; }
    virtual int32_t OwnSurfaceHeight() { return 0; }
    virtual int32_t GetAbsLeft();
    virtual int32_t GetAbsTop();
    // The drawn rectangle on the base.
    virtual TRect GetBoundsRect();
    bool HasClip() const { return ClipWidth >= 1 && ClipHeight >= 1; }
    TRect ClipRectOnBase();

    // ---- drawing ----
    // Adds the visible rectangle to the base's dirty list.
    void Invalidate() override;
    virtual void WidenDirtyRect(TRect&) {}
    // Paints onto `surface` (clip already set); the base class draws the children.
    virtual void Draw(TCustomDIBX& surface);
    void DrawChildren(TCustomDIBX& surface);

    // ---- input ----
    virtual TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask);
    virtual void LButtonDown();
    virtual void LButtonUp();
    virtual void RButtonDown();
    virtual void RButtonUp();
    virtual void MouseMove();
    virtual void MouseOut(TMobuControl* new_target);
    virtual void MouseIn(TMobuControl* old_target);
    virtual void MouseHold() {}
    virtual void FocusGained() {}
    virtual bool RightClickScrap() { return false; }
    // Keyboard handling of the focused control, once per input pass before its key events
    // are posted (the key state of the component list tells what fired or was clicked).
    virtual void KeyStep() {}
    // Around a display-mode change: drop every surface borrowed from the image cache (and
    // copies made from them), then take them again once the cache has reloaded.
    virtual void ReleaseSurfaces() {}
    virtual void RestoreSurfaces() {}
    virtual void EnteredCabinet() {}
    virtual void LeftCabinet() {}
    virtual void PositionChanged();
    // The frontmost visible descendant (or itself) that takes the focus.
    TMobuControl* FindFocusable();
    // Whether the control can be given the focus now ("@ActiveCompo"): it handles keys and is
    // not paused. Edit fields and buttons answer for themselves.
    virtual bool TakesFocus() { return HandleKey && !Paused(); }

    void SaveToStream(ByteWriter& out) override;
    void LoadFromStream(ByteReader& in, int version) override;
    // Reads the control form of a saved tree at nesting `depth`.
    void LoadControl(ByteReader& in, int version, int depth);

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    std::vector<std::string> MouseParams();

    bool visible_ = true;
    TMobuControl* parent_ = nullptr;
    std::vector<TMobuControl*> children_;
    friend class TMobuBaseList;
};

// Child order: negative when `a` draws before (behind) `b`.
int CompareChildren(TMobuObject* a, TMobuObject* b);

}  // namespace mobu
