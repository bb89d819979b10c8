// The picture button (TMobuButton, LT_BUTTON): four picture lists (normal, hover, pressed,
// clicked), each a ".fsk" picture or a ".mmt" film, a centred caption, radio groups among
// the buttons of one parent, and clicks by the mouse or by Return and Space.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "components/mobu_image.h"
#include "text/ks_label_list.h"

namespace mobu {

// Button states.
inline constexpr int32_t kButtonNone = -1;
inline constexpr int32_t kButtonNormal = 0;
inline constexpr int32_t kButtonHover = 1;
inline constexpr int32_t kButtonPressed = 2;
inline constexpr int32_t kButtonClicked = 3;
// Press modes.
inline constexpr int32_t kButtonRemoval = -1;
inline constexpr int32_t kButtonIdle = 0;
inline constexpr int32_t kButtonDown = 1;

class TMobuButton : public TMobuImages {
public:
    static constexpr int kStates = 4;
    // Caption font heights: 0 stands for the default, larger ones are capped.
    static constexpr int32_t kDefaultFontHeight = 16;
    static constexpr int32_t kMaxFontHeight = 512;

    explicit TMobuButton(TMobuBaseList* owner);
    ~TMobuButton() override;

    int32_t ButtonState = kButtonNormal;
    int32_t PendingState = kButtonNormal;
    int32_t PressMode = kButtonIdle;
    int32_t GroupIndex = 0;
    bool Selected = false;
    bool AllowAllUp = false;
    TKsLabelList Caption;

    // The picture list (and film) shown is that of the current state.
    TMobuImageList* ActiveList() override;
    bool HasPicture() override;
    bool Repeats() override { return ButtonState != kButtonClicked; }
    bool Update() override;
    // The picture and the children, then the caption centred over them.
    void Draw(TCustomDIBX& surface) override;

    // The source of state `state` (0-3): a ".fsk" path fills its picture list, a ".mmt" path
    // gives it a film, anything else leaves it empty. The current state is shown anew.
    void SetStateSource(int state, const std::string& path);
    const std::string& StateSource(int state) const { return sources_.at(static_cast<size_t>(state)); }
    // Whether state `state` has a film or a non-empty picture list.
    bool StateHasContent(int state) const;
    // While the clicked picture plays only the pending state changes; otherwise the state
    // changes when it differs and is normal, none, or has something to show.
    void SetState(int32_t state);
    // The notification, then the clicked state (without group) or the selection toggled.
    void Click();
    void SetSelected(bool selected);
    void SetGroupIndex(int32_t index);
    void SetAllowAllUp(bool allow);
    // The buttons of this one's group among the children of its parent, in child order
    // (empty without group).
    std::vector<TMobuButton*> GroupMembers();

    // ---- input ----
    void LButtonDown() override;
    void LButtonUp() override;
    void MouseMove() override;
    void MouseOut(TMobuControl* new_target) override;
    void KeyStep() override;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    // Shows the current state from its start: its film attached (or the film dropped) and
    // its frame 0 lent.
    void ShowState();
    // Selects the group's chosen member and unselects the others.
    void ApplyGroupRule();
    // Sets the selection and its state without the group rule.
    void StoreSelected(bool selected);
    // Whether the control under the pointer (left-click mask) is this button.
    bool PointerOnButton();
    void CaptionChanged();

    std::array<std::string, kStates> sources_;
    std::array<bool, kStates> films_{};
    bool caption_measured_ = false;
};

}  // namespace mobu
