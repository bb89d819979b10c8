// TMobuMes: the message box. It owns a text engine and the pages of its current text,
// reveals the shown page glyph by glyph and reports only through events (play start,
// playing, play end, link, notification); scripts turn pages with PR_INDEX and clear it
// with TextClr. Script messages are read back from their TextIns command and feed the read
// list and, through its seam, the message history.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/mes_inline_images.h"
#include "components/mobu_mes_data.h"
#include "components/mobu_object.h"
#include "text/ks_word.h"

namespace mobu {

// Event codes of a message box (its event properties).
inline constexpr int kMesEventPlaying = PR_ONPLAYING;      // 32
inline constexpr int kMesEventNotify = PR_ONNOTIFY;        // 33
inline constexpr int kMesEventPlayEnd = PR_ONPLAYEND;      // 43
inline constexpr int kMesEventLink = PR_ONLINK;            // 46
inline constexpr int kMesEventPlayStart = PR_ONPLAYSTART;  // 101

class TMobuMes : public TMobuControl {
public:
    explicit TMobuMes(TMobuBaseList* owner);
    ~TMobuMes() override;

    // Before the engine, so the pictures outlive the glyphs that draw them.
    TMesInlineImages InlineImages;
    TKsWord Engine;
    TWdPageList Pages;
    int32_t PageIndex = -1;
    int32_t ScrollY = 0;
    int32_t Reserved = 0;
    std::string ReservedText[3];
    std::string OnPlaying, OnPlayStart, OnPlayEnd, OnLink, OnNotify;
    bool PausedFlag = false;
    bool TextPaused = false;
    int32_t TextDelay = 0;
    uint8_t TrackMode = 0;  // 0 plain, 1 tracked script message, 2 history display
    int32_t SourceCommand = 0;
    std::string SourcePage;
    TMobuNewMesData MesData;
    std::string Text;
    int32_t StartSkip = 0;
    std::string OnIdle;
    uint8_t HistoryFlag = 0;
    bool RenderPending = false;
    bool RenderFull = false;
    int32_t HistoryOffset = 0;
    bool CaptureLink = false;
    std::unique_ptr<std::string> PendingPageStates;

    // A waiting TextIns holds a script on this box (it asked in this or the last frame).
    bool Held = false;
    void MarkHeld()
    {
        Held = true;
        held_updates_ = 2;
    }
    // A page display has given its finished signal (read mark, play-end event).
    bool Finished() const { return finished_; }

    bool Update() override;
    void Draw(TCustomDIBX& surface) override;
    TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask) override;
    void MouseMove() override;
    void MouseOut(TMobuControl* new_target) override;
    void LButtonDown() override;
    void EndCreation() override;
    // After a display-mode change the shown page is rendered again (not from nothing).
    void RestoreSurfaces() override
    {
        if (CurrentPage() != nullptr) RenderPending = true;
        Invalidate();
    }

    void SetText(const std::string& text);
    void AppendText(const std::string& text) { SetText(text); }
    void LoadScriptMessage(const std::string& page_name, int32_t command_index, bool tracked);
    void ClearText();
    void ReloadPages(bool post_start, bool history_glyphs);
    void SelectPage(int32_t index);
    void RestoreAfterLoad();
    // The play state the media commands query: 2 without a page or when done, 0 while displaying.
    int32_t PlayState() const;
    TWdPage* CurrentPage();
    const TWdPage* CurrentPage() const { return const_cast<TMobuMes*>(this)->CurrentPage(); }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void ApplyCreationDefaults();
    void PostPlayStart();
    void FreePages();
    void SetPendingForCurrentPage();
    void CommitHistory();
    void MarkRender();
    void AddChangedRects();
    bool finished_ = false;
    int held_updates_ = 0;
};

}  // namespace mobu
