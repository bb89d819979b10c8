#include "components/panel_pointer.h"

#include "components/game_files.h"
#include "core/mobu_error.h"
#include "core/name_case.h"
#include "core/script_log.h"

namespace mobu {

namespace {

TPointerDevice* g_device = nullptr;

}  // namespace

void SetPointerDevice(TPointerDevice* device) { g_device = device; }
TPointerDevice* PointerDevice() { return g_device; }

std::shared_ptr<const TCursorShape> TPanelPointer::Load(const std::string& path)
{
    std::string key = LowerCp932Name(path);
    auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    if (cache_.size() >= kMaxCachedShapes) cache_.clear();
    std::shared_ptr<const TCursorShape> shape;
    if (std::optional<std::string> bytes = ReadGameFile(path)) {
        try {
            shape = std::make_shared<const TCursorShape>(
                ReadCursorShape(path, reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
        } catch (const EMobuError& error) {
            ReportScriptFailure(error.what());  // no custom pointer: the arrow stays
        }
    }
    cache_[key] = shape;
    return shape;
}

void TPanelPointer::Choose(const std::string& control_path, const std::string& default_path)
{
    const std::string& path = !control_path.empty() ? control_path : default_path;
    if (path.empty()) {
        if (cursor_path_.empty() && !shape_) return;
        cursor_path_.clear();
        shape_ = nullptr;
        Show();
        return;
    }
    if (!cursor_path_.empty() && SameCp932Name(path, cursor_path_)) return;
    cursor_path_ = path;
    shape_ = Load(path);
    step_ = 0;
    elapsed_ = 0;
    Show();
}

void TPanelPointer::Advance(int32_t elapsed_ms)
{
    if (!shape_ || !shape_->Animated() || elapsed_ms <= 0) return;
    const auto& steps = shape_->Steps;
    int64_t cycle = 0;
    for (const TCursorStep& step : steps) cycle += int64_t{step.Jiffies} * kJiffyMsNumerator;
    size_t before = step_;
    elapsed_ += int64_t{elapsed_ms} * kJiffyMsDenominator;
    // Whole rounds of the animation change nothing; only the rest is walked.
    if (elapsed_ >= cycle) elapsed_ %= cycle;
    while (elapsed_ >= int64_t{steps[step_].Jiffies} * kJiffyMsNumerator) {
        elapsed_ -= int64_t{steps[step_].Jiffies} * kJiffyMsNumerator;
        step_ = (step_ + 1) % steps.size();
    }
    if (step_ != before && steps[step_].Frame != steps[before].Frame) Show();
}

size_t TPanelPointer::FrameIndex() const
{
    if (!shape_ || !shape_->Animated()) return 0;
    return shape_->Steps[step_].Frame;
}

void TPanelPointer::Reshow() { Show(); }

void TPanelPointer::Clear()
{
    cursor_path_.clear();
    shape_ = nullptr;
    step_ = 0;
    elapsed_ = 0;
    cache_.clear();
    Show();
}

void TPanelPointer::Show()
{
    TPointerDevice* device = PointerDevice();
    if (!device) return;
    if (shape_ && !shape_->Frames.empty()) device->ShowShape(cursor_path_, *shape_, FrameIndex());
    else device->ShowArrow();
}

}  // namespace mobu
