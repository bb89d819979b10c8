// The preview menu (TMobuPrevMenu, LT_PREVMENU): picture buttons laid out by a preview-menu
// file (".mmt"), each a TMobuPrevImages child with pictures for its states (normal, hover,
// leave, click, disabled, checked) and overlay films, in radio (> 0) or toggle (< 0)
// groups; chosen with the mouse and the keys.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/mobu_image.h"
#include "components/prev_menu_file.h"

namespace mobu {

class TMobuPrevMenu;

// A button or overlay of a preview menu (reports LT_IMAGES). A new source first resets
// alpha, angle, zoom, flips, brightness and the capture mask; a picture that has finished
// playing tells its menu.
class TMobuPrevImages : public TMobuImages {
public:
    TMobuPrevImages(TMobuBaseList* owner, TMobuPrevMenu* menu) : TMobuImages(owner), Menu(menu) {}
    void SetPreviewSource(const std::string& path, bool loop);
    bool Update() override;
    bool Finished() const { return finished_; }

    TMobuPrevMenu* Menu;  // not owned; none once the menu lets go

private:
    bool finished_ = false;
};

// The buttons of a preview menu: the components, their records, their overlays and the
// cache items of every picture the menu can show.
struct TPrevMenuList {
    std::vector<TMobuPrevImages*> Buttons;
    std::vector<TPrevMenuRecord> Data;
    std::vector<TMobuPrevImages*> Overlays;
    std::vector<TFeskItem*> Held;
};

class TMobuPrevMenu : public TMobuControl {
public:
    explicit TMobuPrevMenu(TMobuBaseList* owner);
    ~TMobuPrevMenu() override;

    std::string Source;
    bool PausedFlag = false, AutoScrap = false, RClickScrap = false;
    TPrevMenuList List;
    int32_t HoverIndex = -1;
    int32_t PressIndex = -1;
    int32_t PendingFilms = 0;
    std::vector<uint8_t> Enabled, Visible, Selected;
    int32_t SelectedIndex = -1;  // the button whose selection completes when the films end

    void SetSource(const std::string& path);
    int32_t ButtonCount() const { return static_cast<int32_t>(List.Buttons.size()); }
    // The first button, in index order, hit at the base point; -1 none.
    int32_t ButtonAt(int32_t x, int32_t y);
    void SetHover(int32_t index);
    void Select();
    // The path the button shows now ("" none).
    std::string PictureOf(int32_t index) const;
    // Called by a button or overlay that has finished playing.
    void PictureFinished(TMobuPrevImages* image);
    // Whether the menu asked to be removed (auto-scrap, right click): removed at the end of
    // the update pass, never inside its own call.
    bool Doomed = false;

    // ---- items ----
    int32_t ItemCount() override { return ButtonCount(); }
    std::string ItemText(int32_t index) override;
    bool ItemEnabled(int32_t index) override;
    void SetItemEnabled(int32_t index, bool value) override;
    bool ItemVisible(int32_t index) override;
    void SetItemVisible(int32_t index, bool value) override;
    int32_t ItemGroupIndex(int32_t index) override;
    bool ItemSelected(int32_t index) override;
    void SetItemSelected(int32_t index, bool value) override;
    int32_t EntryIndexOf(const std::string& name) override;

    // ---- behaviour ----
    bool IsSelecting() const override { return Doomed; }
    bool Update() override;
    TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask) override;
    void LButtonDown() override;
    void LButtonUp() override;
    void RButtonDown() override;
    void MouseMove() override;
    void MouseOut(TMobuControl* new_target) override;
    void KeyStep() override;
    bool RightClickScrap() override;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void ClearButtons();
    bool Valid(int32_t i) const { return i >= 0 && i < ButtonCount(); }
    std::string Path(const std::string& stored) const { return ResolvePrevMenuPath(Source, stored); }
    void Show(int32_t i, const std::string& stored, bool loop);
    // Normal, or Disabled when disabled (Normal when it has none).
    void ShowPlain(int32_t i);
    void ShowResting(int32_t i);
    void PlayOverlay(int32_t i, const std::string& stored, bool loop);
    void RemoveOverlay(int32_t i);
    void Complete();
    void Close(bool clear_choice);
    void HoldPicture(const std::string& stored);
    std::vector<std::string> Params(int32_t i) { return {List.Data[static_cast<size_t>(i)].Name, std::to_string(i)}; }
};

}  // namespace mobu
