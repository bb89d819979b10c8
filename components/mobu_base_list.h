// TMobuBaseList: the component list. It owns the two screen bases and every registered
// component, runs the three passes of a frame (input, update, draw), keeps the event queue,
// the keyboard state and focus, switches the active base, and saves and loads itself.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "components/mobu_base.h"
#include "components/panel_pointer.h"
#include "components/timer_list.h"

namespace mobu {

// A running screen transition between the two bases. The list creates it through the
// transition factory when a flip asks for one, hands it the flip's parameters and mask name,
// prepares it before its first step, sets its position (in the caller's time unit) and lets
// it draw one step per frame; it ends when a step reports completion.
class TBaseTransition {
public:
    virtual ~TBaseTransition() = default;
    virtual void SetParam(int index, int32_t value) = 0;
    virtual void SetMaskName(const std::string& name) = 0;
    virtual void Prepare() = 0;
    virtual void SetPosition(int32_t position) = 0;
    virtual int32_t Duration() const = 0;
    // The part of the target the transition draws.
    virtual TRect TargetRect() const = 0;
    // Draws the step at the position into the target; true (nothing drawn) when finished,
    // also when the surfaces no longer match the target's size.
    virtual bool Step() = 0;
};
// Makes the transition of `id` from `from` to `to` drawn into `target`, its duration and
// reverse flag set; nil when the id has no transition.
using TTransitionFactory = std::function<std::unique_ptr<TBaseTransition>(
    int id, TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to, bool reverse, int32_t duration)>;

class TMobuBaseList : public TMobuComponent {
public:
    static constexpr int32_t kFirstRepeatMs = 300;
    static constexpr int32_t kRepeatMs = 50;
    // Deepest nesting of controls a saved game may hold.
    static constexpr int kMaxSavedDepth = 64;
    // Largest screen a saved list may ask for. A save holds the project's screen size, which
    // is the size the list already has; beyond that it may have up to four times the list's
    // pixels (a list not yet sized takes up to a full-HD screen), and no side over 4096.
    static constexpr int32_t kMaxSavedSide = 4096;
    static constexpr int64_t kMinSavedPixelLimit = int64_t{1920} * 1080;
    // Whether a saved list of that size may be loaded into this one.
    bool AcceptsSavedSize(int32_t width, int32_t height) const;

    TMobuBaseList();
    ~TMobuBaseList() override;

    // ---- registration and lookup ----
    void Register(TMobuObject* object);
    void Unregister(TMobuObject* object);
    void Doom(TMobuObject* object);
    bool IsDoomed(const TMobuObject* object) const;
    bool IsRegistered(const TMobuObject* object) const;
    int32_t GetCount() const { return static_cast<int32_t>(all_.size()); }
    TMobuObject* GetItem(int32_t index) const { return all_[static_cast<size_t>(index)]; }
    TMobuObject* FindComponent(const std::string& name);
    TMobuControl* FindControl(const std::string& name);
    // Any registered object of exactly that name (doomed ones are unnamed).
    TMobuObject* FindByName(const std::string& name) const;
    // Called whenever an object is registered, removed or renamed: the index of names is
    // rebuilt at the next lookup.
    void NamesChanged() { ++names_version_; }
    // An object of the list took a new name. The common case (a name no other object
    // carries) is entered into the index as it stands, so naming many new objects in a row
    // does not rebuild the index each time; any other case rebuilds it at the next lookup.
    void Renamed(TMobuObject* object, const std::string& old_name);
    std::string AutoName() const;
    TMobuBase* GetBase(int index) { return bases_[index & 1]; }
    TMobuBase* ActiveBase() { return bases_[active_index_]; }
    TMobuBase* InactiveBase() { return bases_[active_index_ ^ 1]; }
    int ActiveIndex() const { return active_index_; }
    // Destroys an object now (its children first).
    void Destroy(TMobuObject* object);

    // Creates a component of a type code (null when the code is not creatable), registered
    // and auto-named; a control gets `parent` (the active base when none).
    TMobuObject* CreateComponent(int type_code, TMobuControl* parent = nullptr);
    // Replaces how components are created (the concrete component kinds install theirs).
    using TFactory = std::function<TMobuObject*(TMobuBaseList&, int type_code)>;
    static void SetFactory(TFactory factory);

    // ---- size and surfaces ----
    int32_t ScreenWidth() const { return width_; }
    int32_t ScreenHeight() const { return height_; }
    void SetSize(int32_t width, int32_t height);
    // The frame surface the active base draws on (32 bits, owned here).
    TDIBX& FrameSurface() { return frame_; }
    void MarkAllDirty();
    // Around a display-mode change: every control lets go of the cache's surfaces, the cache
    // empties them; afterwards the cache reloads (with `recreate`, into new surfaces), the
    // controls take them again and both bases are redrawn whole.
    void ReleaseSurfaces();
    void RestoreSurfaces(bool recreate);
    // The background colour of both bases (0x00BBGGRR, -1 none): both are redrawn.
    void SetColor(int32_t colour);
    // Dithering of the image cache (@CGDither): the pictures are reloaded in place, the
    // controls rebuild what they made from them and both bases are redrawn whole.
    void SetImageDither(bool flag);

    // ---- the three passes ----
    void ProcessInput(int32_t elapsed_ms);
    void UpdatePass();
    void DrawPass();
    // The rectangles drawn by the last DrawPass (frame coordinates), for presenting.
    const std::vector<TRect>& FrameDirtyRects() const { return frame_dirty_; }
    // Clears both bases' dirty lists (after presenting).
    void ClearDirty();

    // ---- input from the window layer ----
    void KeyEvent(int code, bool down);
    void KeyClick(int code);
    void ClearKeys();
    void MousePosition(int32_t x, int32_t y);
    void MouseButtonDown(bool left, bool right);
    void MouseButtonUp();
    void Wheel(bool down);
    bool KeyDown(int code) const { return code >= 0 && code < 256 && key_down_[code]; }
    bool KeyClickedLast(int code) const { return code >= 0 && code < 256 && key_clicked_last_[code]; }
    bool KeyFireLast(int code) const { return code >= 0 && code < 256 && key_fire_last_[code]; }

    // ---- focus ----
    TMobuControl* Focus() const { return focus_; }
    void SetFocus(TMobuControl* control);
    void DropFocus() { focus_ = nullptr; }
    void RequestRefocus() { refocus_requested_ = true; }

    // ---- events ----
    TTimerList& Events() { return events_; }

    // ---- active base and transitions ----
    void SwitchBase(int new_active, int transition_id, bool reverse, bool force, int32_t position,
                    int32_t duration);
    void SetTransitionPosition(int32_t ms);
    // The flip's two integer parameters and its text parameter (the mask picture's name).
    void SetTransitionParam(int index, int32_t value);
    void SetTransitionMaskName(const std::string& name);
    int32_t TransitionDuration() const;
    bool TransitionRunning() const { return transition_ != nullptr; }
    int TransitionType() const { return transition_type_; }
    const TRect& TransitionRect() const { return transition_rect_; }
    // Installs the factory; an empty one restores the screen transitions of graphics/wipes.
    static void SetTransitionFactory(TTransitionFactory factory);

    // ---- saved form ----
    void SaveToStream(ByteWriter& out) override;
    void LoadFromStream(ByteReader& in, int version) override;
    // Reads one child or top-level component of a saved tree (type byte, then its form).
    TMobuObject* LoadComponent(ByteReader& in, int version, TMobuControl* parent, int depth);
    // Everything removed, two new bases (the size stays).
    void Reset();

    // ---- the mouse pointer ----
    // The cursor step for the control under the mouse (or none): its cursor file, else the
    // game's default cursor ("@Cursor"), else the system arrow.
    void ChoosePointer(TMobuControl* target);
    TPanelPointer& Pointer() { return pointer_; }

    std::vector<TMobuObject*> RClickList;
    int32_t UpdateIndex() const { return update_index_; }

private:
    void CreateBases();
    void FreeAll();
    void MouseStep(TMobuBase& base);

    std::array<TMobuBase*, 2> bases_{};
    int32_t width_ = 8, height_ = 8;
    int active_index_ = 0;
    TDIBX frame_;
    std::vector<TRect> frame_dirty_;
    std::unique_ptr<TBaseTransition> transition_;
    bool transition_prepared_ = false;
    TRect transition_rect_{};
    int transition_type_ = 0;
    TTimerList events_;
    std::vector<TMobuObject*> all_;
    // The same objects for the membership test, which the update pass asks for every object.
    std::unordered_set<const TMobuObject*> registered_;
    std::vector<TMobuObject*> doomed_;
    // The first registered object of each name, in registration order; valid while
    // index_version_ equals names_version_.
    const std::unordered_map<std::string, TMobuObject*>& NameIndex() const;
    mutable std::unordered_map<std::string, TMobuObject*> name_index_;
    mutable uint64_t index_version_ = 0;
    uint64_t names_version_ = 1;
    int32_t update_index_ = 0;
    bool key_down_[256] = {}, key_clicked_[256] = {}, key_clicked_last_[256] = {};
    bool key_fire_[256] = {}, key_fire_last_[256] = {};
    int32_t key_repeat_left_[256] = {};
    TMobuControl* focus_ = nullptr;
    bool refocus_requested_ = false;
    bool key_down_pending_ = false, key_up_pending_ = false, key_repeat_pending_ = false;
    std::vector<std::string> key_down_codes_, key_up_codes_, key_repeat_codes_;
    bool resetting_ = false;
    TPanelPointer pointer_;
};

}  // namespace mobu
