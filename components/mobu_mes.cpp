#include "components/mobu_mes.h"

#include <algorithm>

#include "components/image_steps.h"
#include "components/message_history_seam.h"
#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "components/mobu_image.h"
#include "components/mobu_read_list.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"

namespace mobu {

namespace {

TMessageHistoryRecorder* g_recorder = nullptr;

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

int32_t TextDelayBase()
{
    TSysFuncMan* functions = GlobalSysFuncMan();
    return functions != nullptr ? functions->Table().TextDelay : 50;
}

}  // namespace

TMessageHistoryRecorder* MessageHistoryRecorder() { return g_recorder; }
void InstallMessageHistoryRecorder(TMessageHistoryRecorder* recorder) { g_recorder = recorder; }

TMobuMes::TMobuMes(TMobuBaseList* owner) : TMobuControl(owner, LT_MES)
{
    Engine.Antialias = 3;
    Engine.Paging = 1;
    Engine.OnNotify = [this](TKsWord&, const std::string& text) {
        if (OnNotify.empty()) return;
        PostEvent(kMesEventNotify, SplitLines(text), true);
    };
    Engine.ImageSize = [this](const std::string& source, int& width, int& height) {
        return InlineImages.Size(source, width, height);
    };
    // The engine passes the blended opacity, or the added amount when its own opacity lies
    // above 255 (where an amount of 0 adds nothing).
    Engine.DrawImage = [this](const TWdImg& image, TCustomDIBX& target, int x, int y, int opacity, int amount) {
        InlineImages.Draw(image.Source, target, x, y, opacity, Engine.Opacity > 255, amount);
    };
    Engine.Evaluate = [](const std::string& name, std::string& value) {
        TSysFuncMan* functions = GlobalSysFuncMan();
        if (functions == nullptr) return false;
        std::unique_ptr<TCustomParam> result;
        try {
            if (!CompileAndRun(*functions, name, &result) || !result) return false;
        } catch (const EMobuError&) {
            return false;
        }
        value = result->GetString();
        return true;
    };
    Engine.EvaluateCompiled = [](TMobuParser& expression, std::string& value) {
        TSysFuncMan* functions = GlobalSysFuncMan();
        if (functions == nullptr) return false;
        expression.Execute(*functions);
        const TCustomParam* result = expression.Result();
        if (!expression.LastError().empty() || result == nullptr) return false;
        value = result->GetString();
        return true;
    };
    ApplyCreationDefaults();
}

TMobuMes::~TMobuMes() = default;

void TMobuMes::ApplyCreationDefaults()
{
    // The settings a new box reads are the property table's creation defaults.
    for (int id : {PR_FONTNAME, PR_FONTHEIGHT, PR_FONTCOLOR, PR_FONTLINKCOLOR, PR_FONTBORDERCOLOR, PR_FONTHOVERCOLOR,
                   PR_FONTSHADOWCOLOR, PR_FONTBORDER, PR_FONTSHADOW, PR_LINESPACE, PR_ANTIALIAS, PR_DELAY,
                   PR_TEXTDELAY})
        WriteProperty(id, DefaultValue(id).As(PropertyInfo(id).type));
    RenderPending = false;
}

void TMobuMes::EndCreation()
{
    TextDelay = 256;
    Engine.TextDelayRate = 256;
    TMobuControl::EndCreation();
}

TWdPage* TMobuMes::CurrentPage()
{
    if (PageIndex < 0 || PageIndex >= static_cast<int32_t>(Pages.size())) return nullptr;
    return Pages[static_cast<size_t>(PageIndex)].get();
}

void TMobuMes::FreePages()
{
    Pages.clear();
    finished_ = false;
}

void TMobuMes::CommitHistory()
{
    if (g_recorder != nullptr) g_recorder->CommitPending(Name());
}

void TMobuMes::MarkRender()
{
    RenderPending = true;
    RenderFull = true;
}

void TMobuMes::PostPlayStart()
{
    if (OnPlayStart.empty()) return;
    const bool read = TrackMode == 1 && !SourcePage.empty() && ReadList().IsRead(SourcePage, SourceCommand, PageIndex);
    PostEvent(kMesEventPlayStart, {read ? "1" : "0"}, true);
    StartSkip = 1;
}

void TMobuMes::SetPendingForCurrentPage()
{
    TWdPage* page = CurrentPage();
    if (TrackMode != 1 || SourcePage.empty() || page == nullptr) return;
    Engine.CaptureFixedValues(*page);
    if (g_recorder != nullptr) {
        // The page's first and last glyphs, in display units of the stored text.
        int first = -1, last = -1;
        for (auto& row : page->Rows)
            for (TWdGlyph* glyph : row->Glyphs) {
                if (glyph->Kind == TWdKind::Space) continue;
                const int index = Engine.IndexOf(glyph);
                if (first < 0) first = index;
                last = index;
            }
        g_recorder->SetPending(Name(), SourcePage, page->FixedValues, PageIndex, Engine.CharCount(std::max(0, last)),
                               Engine.CharCount(std::max(0, first)), SourceCommand);
    }
    ReadList().SetPending(Name(), SourcePage, PageIndex, SourceCommand);
}

void TMobuMes::SetText(const std::string& text)
{
    Invalidate();
    MesData.Refs.Clear();
    Text = text;
    CommitHistory();
    HistoryOffset = 0;
    FreePages();
    PageIndex = -1;
    try {
        Engine.SetText(SplitLines(text), TextDelayBase());
    } catch (const EMobuError&) {
        // A text that cannot be converted leaves the box empty: no pages, no events.
        ScrollY = 0;
        throw;
    }
    Engine.ExpandVars(0, -1, false);
    Engine.Layout(Pages);
    PageIndex = Pages.empty() ? -1 : 0;
    ScrollY = 0;
    if (!Pages.empty()) {
        Engine.ResetDisplay(*Pages[0]);
        MarkRender();
        PostPlayStart();
    }
}

void TMobuMes::ClearText()
{
    TrackMode = 0;
    SetText("");
}

void TMobuMes::LoadScriptMessage(const std::string& page_name, int32_t command_index, bool tracked)
{
    TrackMode = 0;
    HistoryOffset = 0;
    if (tracked) {
        TrackMode = 1;
        SourcePage = page_name;
        SourceCommand = command_index;
    }
    MesData.Refs.Clear();
    MesData.Refs.Add(page_name, command_index, 0, -1, 0, "");
    HistoryFlag = 0;
    ReloadPages(false, false);
    if (!Pages.empty()) {
        PageIndex = -1;
        SelectPage(0);
    }
}

void TMobuMes::ReloadPages(bool post_start, bool history_glyphs)
{
    Invalidate();
    Text.clear();
    CommitHistory();
    SetPendingForCurrentPage();
    FreePages();
    PageIndex = -1;
    MesData.BuildPages(Engine, Pages, history_glyphs, HistoryFlag != 0, HistoryOffset);
    if (!Pages.empty()) {
        if (post_start) PostPlayStart();
        MarkRender();
    }
}

void TMobuMes::SelectPage(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(Pages.size()) || index == PageIndex) return;
    if (PageIndex >= 0) CommitHistory();
    PageIndex = index;
    ScrollY = 0;
    finished_ = false;
    PostPlayStart();
    SetPendingForCurrentPage();
    Engine.ResetDisplay(*CurrentPage());
    MarkRender();
    Invalidate();
}

int32_t TMobuMes::PlayState() const
{
    const TWdPage* page = CurrentPage();
    if (page == nullptr) return 2;
    return Engine.IsDisplaying(*page) ? 0 : 2;
}

void TMobuMes::AddChangedRects()
{
    TMobuBase* base = GetBase();
    if (base == nullptr || !GetVisible()) return;
    for (const TRect& rect : Engine.ChangedRects()) base->AddDirtyRect(rect);
}

bool TMobuMes::Update()
{
    TMobuControl::Update();
    if (held_updates_ > 0 && --held_updates_ == 0) Held = false;
    if (StartSkip >= 1) {
        --StartSkip;
        return false;
    }
    if (Owner() != nullptr && Owner()->Events().IsQueued(this, kMesEventPlayStart)) return false;
    TWdPage* page = CurrentPage();
    Engine.OriginX = GetAbsLeft();
    Engine.OriginY = GetAbsTop();
    if (RenderPending && page != nullptr) {
        TMobuBase* base = GetBase();
        TCustomDIBX* surface = base != nullptr ? base->DrawSurface() : nullptr;
        Engine.DisplayBitCount = surface != nullptr ? surface->BitCount() : 32;
        Engine.Render(*page, RenderFull);
        Invalidate();
    }
    RenderPending = RenderFull = false;
    if (page == nullptr) return false;
    Engine.Paused = PausedFlag || TextPaused;
    Engine.Progress(*page, ImageFrameElapsedMs());
    if (!page->OutputText.empty() && !OnPlaying.empty()) PostEvent(kMesEventPlaying, {page->OutputText}, true);
    if (!finished_ && page->Done) {
        finished_ = true;
        ReadList().Commit(Name());
        if (!OnPlayEnd.empty()) PostEvent(kMesEventPlayEnd, {}, true);
    }
    AddChangedRects();
    return false;
}

void TMobuMes::Draw(TCustomDIBX& surface)
{
    TWdPage* page = CurrentPage();
    if (GetVisible() && GetBase() != nullptr && page != nullptr) {
        const TRect bounds{GetAbsLeft(), GetAbsTop(), GetAbsLeft() + Width, GetAbsTop() + Height};
        const TRect clip = IntersectRects(bounds, surface.GetClipRect());
        if (!clip.IsEmpty()) {
            Engine.Target = &surface;
            Engine.OriginX = GetAbsLeft();
            Engine.OriginY = GetAbsTop();
            Engine.Clip = clip;
            Engine.Paint(*page);
            Engine.Target = nullptr;
        }
    }
    DrawChildren(surface);
}

TMobuControl* TMobuMes::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (!CaptureLink) return TMobuControl::HitTest(x, y, mask);
    TMobuControl* hit = TMobuControl::HitTest(x, y, mask);
    if (hit != this) return hit;
    TWdPage* page = CurrentPage();
    if (page == nullptr) return nullptr;
    const TWdGlyph* glyph = Engine.GlyphAt(*page, x, y);
    if (glyph == nullptr || !glyph->IsReal() || static_cast<const TWdReal*>(glyph)->Link.empty()) return nullptr;
    return this;
}

void TMobuMes::MouseMove()
{
    TWdPage* page = CurrentPage();
    TMobuBase* base = GetBase();
    if (!GetVisible() || base == nullptr || page == nullptr) {
        TMobuControl::MouseMove();
        return;
    }
    const bool still = PausedFlag || Engine.IsDisplaying(*page);
    Engine.SetHover(*page, still ? -1 : base->MouseX, still ? -1 : base->MouseY);
    AddChangedRects();
}

void TMobuMes::MouseOut(TMobuControl* new_target)
{
    TWdPage* page = CurrentPage();
    if (page == nullptr) {
        TMobuControl::MouseOut(new_target);
        return;
    }
    Engine.SetHover(*page, -1, -1);
    AddChangedRects();
}

void TMobuMes::LButtonDown()
{
    TWdPage* page = CurrentPage();
    if (!OnLink.empty() && page != nullptr && page->HoverFirst != nullptr && Owner() != nullptr &&
        !Owner()->Events().IsQueued(this, kMesEventLink)) {
        std::vector<std::string> params{Engine.LinkText(*page)};
        for (auto& line : SplitLines(Engine.HoverLink(*page))) params.push_back(line);
        PostEvent(kMesEventLink, std::move(params), true);
        if (TMobuBase* base = GetBase()) base->LClick = false;
        return;
    }
    TMobuControl::LButtonDown();
}

void TMobuMes::RestoreAfterLoad()
{
    const int32_t index = PageIndex, scroll = ScrollY, command = SourceCommand;
    const uint8_t track = TrackMode;
    const std::string source = SourcePage;
    if (MesData.IsEmpty()) {
        try {
            SetText(Text);
        } catch (const EMobuError&) {
        }
    } else {
        ReloadPages(false, false);
    }
    TrackMode = track;
    SourcePage = source;
    SourceCommand = command;
    ScrollY = scroll;
    // A kept index outside the pages of a text changed since the save becomes no page.
    PageIndex = index >= 0 && index < static_cast<int32_t>(Pages.size()) ? index : -1;
    if (TWdPage* page = CurrentPage()) {
        Engine.ResetDisplay(*page);
        Engine.Render(*page, false);
    }
    if (PendingPageStates) {
        ByteReader in(*PendingPageStates);
        // States that end early, or one that no longer fits its page, leave the later pages
        // to start from their beginning.
        for (auto& page : Pages) {
            try {
                if (!Engine.LoadPageState(*page, in)) break;
            } catch (const EMobuError&) {
                break;
            }
        }
        PendingPageStates.reset();
    }
    // A page that was already shown whole when the game was saved posted its play end then;
    // the loaded box must not post it (and commit the read mark) a second time.
    if (const TWdPage* page = CurrentPage()) finished_ = page->Done;
    RenderPending = RenderFull = false;
}

TPropValue TMobuMes::ReadProperty(int id)
{
    const TWdPage* page = CurrentPage();
    switch (id) {
    case PR_TEXT: return TPropValue::Text(page != nullptr ? Engine.RevealedText(*page) : std::string());
    case PR_INDEX: return TPropValue::Int(PageIndex);
    case PR_COUNT: return TPropValue::Int(static_cast<int32_t>(Pages.size()));
    case PR_SCROLLY: return TPropValue::Int(ScrollY);
    case PR_FONTHEIGHT: return TPropValue::Int(Engine.FontSize);
    case PR_FONTNAME: return TPropValue::Text(Engine.FontName);
    case PR_FONTCOLOR: return TPropValue::Int(Engine.FontColor);
    case PR_FONTLINKCOLOR: return TPropValue::Int(Engine.LinkColor);
    case PR_FONTHOVERCOLOR: return TPropValue::Int(Engine.HoverColor);
    case PR_FONTBORDERCOLOR: return TPropValue::Int(Engine.OutlineColor);
    case PR_FONTSHADOWCOLOR: return TPropValue::Int(Engine.ShadowColor);
    case PR_FONTBORDER: return TPropValue::Int(Engine.OutlineWidth);
    case PR_FONTSHADOW: return TPropValue::Int(Engine.ShadowOffset);
    case PR_LINESPACE: return TPropValue::Int(Engine.LineSpace);
    case PR_ANTIALIAS: return TPropValue::Flag(Engine.Antialias > 0);
    case PR_ALPHA: return TPropValue::Int(Engine.Opacity);
    case PR_DELAY: return TPropValue::Int(Engine.FadeTime);
    case PR_PAUSED: return TPropValue::Flag(PausedFlag);
    case PR_TEXTPAUSED: return TPropValue::Flag(TextPaused);
    case PR_TEXTDELAY: return TPropValue::Int(TextDelay);
    case PR_CARETX: return TPropValue::Int(Engine.CaretX);
    case PR_CARETY: return TPropValue::Int(Engine.CaretY);
    case PR_CARETHEIGHT: return TPropValue::Int(Engine.CaretHeight);
    case PR_PLAYING:
        return TPropValue::Flag(page != nullptr &&
                                (PageIndex + 1 < static_cast<int32_t>(Pages.size()) || Engine.IsDisplaying(*page)));
    case PR_CAPTURELINK: return TPropValue::Flag(CaptureLink);
    case PR_ONPLAYING: return TPropValue::Text(OnPlaying);
    case PR_ONPLAYSTART: return TPropValue::Text(OnPlayStart);
    case PR_ONPLAYEND: return TPropValue::Text(OnPlayEnd);
    case PR_ONLINK: return TPropValue::Text(OnLink);
    case PR_ONNOTIFY: return TPropValue::Text(OnNotify);
    case PR_ONIDLE: return TPropValue::Text(OnIdle);
    default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuMes::WriteProperty(int id, const TPropValue& value)
{
    auto rendering = [&](int32_t& field, int32_t v) {
        if (field == v) return;
        field = v;
        RenderPending = true;
        Invalidate();
    };
    switch (id) {
    case PR_TEXT:
        TrackMode = 0;
        SetText(value.text);
        return;
    case PR_INDEX: SelectPage(value.integer); return;
    case PR_COUNT:
    case PR_CARETX:
    case PR_CARETY:
    case PR_CARETHEIGHT:
    case PR_PLAYING: return;  // read-only
    case PR_SCROLLY:
        if (ScrollY == value.integer) return;
        ScrollY = value.integer;
        if (TWdPage* page = CurrentPage()) {
            page->Scroll = ScrollY;
            Engine.RestartTiming(*page);
        }
        Invalidate();
        return;
    case PR_WIDTH:
    case PR_HEIGHT:
        Invalidate();
        TMobuControl::WriteProperty(id, value);
        Engine.Width = Width;
        Engine.Height = Height;
        Invalidate();
        return;
    case PR_FONTHEIGHT: rendering(Engine.FontSize, value.integer); return;
    case PR_FONTCOLOR: rendering(Engine.FontColor, value.integer); return;
    case PR_FONTLINKCOLOR: rendering(Engine.LinkColor, value.integer); return;
    case PR_FONTHOVERCOLOR: rendering(Engine.HoverColor, value.integer); return;
    case PR_FONTBORDERCOLOR: rendering(Engine.OutlineColor, value.integer); return;
    case PR_FONTSHADOWCOLOR: rendering(Engine.ShadowColor, value.integer); return;
    case PR_FONTBORDER: rendering(Engine.OutlineWidth, value.integer); return;
    case PR_FONTSHADOW: rendering(Engine.ShadowOffset, value.integer); return;
    case PR_LINESPACE: rendering(Engine.LineSpace, value.integer); return;
    case PR_FONTNAME:
        if (Engine.FontName == value.text) return;
        Engine.FontName = value.text;
        if (CurrentPage() != nullptr) {
            RenderPending = true;
            Invalidate();
        }
        return;
    case PR_ANTIALIAS: {
        const int32_t level = value.integer != 0 ? 3 : 0;
        if (level != Engine.Antialias && CurrentPage() != nullptr) RenderPending = true;
        Engine.Antialias = level;
        Invalidate();
        return;
    }
    case PR_ALPHA:
        Engine.Opacity = value.integer;
        Invalidate();
        return;
    case PR_DELAY: Engine.FadeTime = std::max(0, value.integer); return;
    case PR_PAUSED:
    case PR_TEXTPAUSED: {
        bool& field = id == PR_PAUSED ? PausedFlag : TextPaused;
        const bool v = value.integer != 0;
        if (field == v) return;
        const bool was = PausedFlag || TextPaused;
        field = v;
        Engine.Paused = PausedFlag || TextPaused;
        if (was && !Engine.Paused)
            if (TWdPage* page = CurrentPage()) Engine.RestartTiming(*page);
        return;
    }
    case PR_TEXTDELAY:
        TextDelay = value.integer;
        Engine.TextDelayRate = value.integer;
        return;
    case PR_ONNOTIFY:
        OnNotify = value.text;
        Engine.NotifyEnabled = OnNotify.empty() ? 0 : 1;
        return;
    case PR_CAPTURELINK: CaptureLink = value.integer != 0; return;
    case PR_ONPLAYING: OnPlaying = value.text; return;
    case PR_ONPLAYSTART: OnPlayStart = value.text; return;
    case PR_ONPLAYEND: OnPlayEnd = value.text; return;
    case PR_ONLINK: OnLink = value.text; return;
    case PR_ONIDLE: OnIdle = value.text; return;
    default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuMes::SaveTypePart(ByteWriter& out)
{
    Engine.SaveSettings(out);
    if (TWdPage* page = CurrentPage()) {
        Engine.CaptureFixedValues(*page);
        for (auto& entry : MesData.Refs.Entries) entry.FixedValues = page->FixedValues;
    }
    MesData.SavePlain(out);
    MesData.Refs.SaveToStream(out);
    out.Flag(HistoryFlag != 0);
    out.I32(HistoryOffset);
    out.String(Text);
    out.I32(PageIndex);
    out.I32(ScrollY);
    out.I32(Reserved);
    for (const auto& s : ReservedText) out.String(s);
    for (const std::string* s : {&OnPlaying, &OnPlayStart, &OnPlayEnd, &OnLink, &OnNotify}) out.String(*s);
    out.Flag(PausedFlag);
    out.Flag(TextPaused);
    out.I32(TextDelay);
    out.U8(TrackMode);
    out.String(SourcePage);
    out.I32(SourceCommand);
    out.String(OnIdle);
    out.Flag(CaptureLink);
    ByteWriter states;
    for (const auto& page : Pages) Engine.SavePageState(*page, states);
    out.String(states.Bytes());
}

void TMobuMes::LoadTypePart(ByteReader& in, int version)
{
    Engine.LoadSettings(in, version);
    MesData.LoadPlain(in);
    if (version > 112) MesData.Refs.LoadFromStream(in, version > 123);
    HistoryFlag = in.U8();
    HistoryOffset = version > 112 ? in.I32() : 0;
    Text = in.String();
    PageIndex = in.I32();
    ScrollY = in.I32();
    Reserved = in.I32();
    for (auto& s : ReservedText) s = in.String();
    for (std::string* s : {&OnPlaying, &OnPlayStart, &OnPlayEnd, &OnLink, &OnNotify}) *s = in.String();
    PausedFlag = in.Flag();
    TextPaused = in.Flag();
    TextDelay = in.I32();
    TrackMode = in.U8();
    SourcePage = in.String();
    SourceCommand = in.I32();
    if (version > 103) OnIdle = in.String();
    if (version >= 120) CaptureLink = in.Flag();
    // The page states: their byte count is checked against the bytes left.
    PendingPageStates = std::make_unique<std::string>(in.String());
    Engine.NotifyEnabled = OnNotify.empty() ? 0 : 1;
    Engine.Paused = PausedFlag || TextPaused;
}

}  // namespace mobu
