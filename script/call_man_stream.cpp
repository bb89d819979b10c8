// The saved form of the call manager inside a game save.
#include "core/mobu_error.h"
#include "expr/custom_param.h"
#include "expr/param_values.h"
#include "script/call_man.h"
#include "script/page_messages.h"

namespace mobu {

void TCallMan::WriteFrame(ByteWriter& out, const TStack& frame) const
{
    out.String(frame.PageName);
    out.I32(frame.PC);
    out.Flag(frame.Entered);
    out.Flag(frame.KeepRunning);
    out.String(frame.ResultVar);
    out.StringArray(frame.CallParams);
    out.String(LiveSenderName(frame.Sender));
    out.I32(frame.State ? static_cast<int32_t>(frame.State->size()) : 0);
    if (frame.State) out.Raw(*frame.State);
    const uint8_t type = frame.ResultValue ? frame.ResultValue->VarType() : 0;
    out.U8(type);
    if (type != 0) frame.ResultValue->SaveToStream(out);
}

void TCallMan::ReadFrame(ByteReader& in, int32_t, TStack& frame)
{
    frame.PageName = in.String();
    frame.PC = in.I32();
    frame.Entered = in.Flag();
    frame.KeepRunning = in.Flag();
    frame.ResultVar = in.String();
    frame.CallParams = in.StringArray();
    const std::string sender = in.String();
    frame.Sender = sender.empty() ? nullptr : components_->FindComponent(sender);
    const int32_t state_size = in.I32();
    if (state_size < 0) in.Fail();
    frame.State.reset();
    if (state_size > 0) frame.State = in.Bytes(static_cast<size_t>(state_size));
    const uint8_t type = in.U8();
    frame.ResultValue.reset();
    if (type != 0) {
        if (type > 4) in.Fail();
        frame.ResultValue = NewParamOfType(type);
        frame.ResultValue->LoadFromStream(in);
    }
}

void TCallMan::SaveToStream(ByteWriter& out) const
{
    out.String(CurrentPage ? CurrentPage->PageName : std::string());
    out.I32(PC);
    out.Flag(KeepRunning);
    out.Flag(Entered);
    out.I32(Mode);
    out.String(LiveSenderName(Sender));
    out.StringArray(CallParams);
    WriteFrame(out, Stack.LastPopped);
    out.I32(Stack.Count());
    for (int32_t i = 0; i < Stack.Count(); ++i) WriteFrame(out, Stack.Item(i));
    out.I32(EventLevel);
    if (Entered && CurrentPage && PC >= 0 && PC < CurrentPage->Count()) CurrentPage->Command(PC)->SaveState(out);
}

void TCallMan::LoadFromStream(ByteReader& in, int32_t version)
{
    const std::string page_name = in.String();
    const int32_t pc = in.I32();
    const bool keep_running = in.Flag();
    const bool entered = in.Flag();
    const int32_t mode = in.I32();
    if (mode < call_mode::Main || mode > call_mode::NestedHandler) in.Fail();
    const std::string sender = in.String();
    std::vector<std::string> params = in.StringArray();
    ReadFrame(in, version, Stack.LastPopped);
    // A frame record is at least 27 bytes long.
    const size_t frame_count = in.Count(27);
    if (frame_count > static_cast<size_t>(kMaxStackDepth)) in.Fail();
    // A handler, running or suspended, always has the context it interrupted below it.
    if (mode != call_mode::Main && frame_count == 0) in.Fail();
    Stack.Clear();
    for (size_t i = 0; i < frame_count; ++i) ReadFrame(in, version, Stack.Push());
    // Levels start at 2 and grow by one per nested handler, within the depth cap.
    const int32_t event_level = version >= 116 ? in.I32() : 2;
    if (event_level < 2 || event_level > kMaxStackDepth) in.Fail();
    EventLevel = event_level;

    CurrentPage = page_name.empty() ? nullptr : GetPage(page_name);
    PC = pc;
    KeepRunning = keep_running;
    Entered = entered;
    Mode = mode;
    Sender = sender.empty() ? nullptr : components_->FindComponent(sender);
    CallParams = std::move(params);
    if (Entered && CurrentPage && PC >= 0 && PC < CurrentPage->Count()) CurrentPage->Command(PC)->LoadState(in);
}

}  // namespace mobu
