#include "media/media_manager.h"

#include <algorithm>

#include "core/script_log.h"
#include "media/mixer_sound_item.h"

namespace mobu {

TDMediaItem* TMediaManager::Keep(std::unique_ptr<TDMediaItem> item, const std::string& name)
{
    if (!sound_on_) item->SetMuted(true);
    items_.push_back(std::move(item));
    sources_.push_back(name);
    return items_.back().get();
}

void TMediaManager::Remove(TDMediaItem* item)
{
    auto found = std::find_if(items_.begin(), items_.end(), [item](const auto& owned) { return owned.get() == item; });
    if (found == items_.end()) return;
    sources_.erase(sources_.begin() + (found - items_.begin()));
    items_.erase(found);
}

void TMediaManager::Clear()
{
    items_.clear();
    sources_.clear();
}

TDMediaItem* TMediaManager::Items(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

void TMediaManager::Suspend()
{
    if (!active_ || suspended_) return;
    suspended_ = true;
    for (auto& item : items_) {
        if (item->IsPlaying() && !item->IsPaused() && !item->IsEnd()) {
            item->Pause();
            item->Suspended = true;
        } else {
            item->Suspended = false;
        }
    }
}

void TMediaManager::Resume()
{
    if (!active_ || !suspended_) return;
    suspended_ = false;
    for (auto& item : items_) {
        if (item->Suspended) {
            item->Play();
            item->Suspended = false;
        }
    }
}

void TMediaManager::SetActive(bool active)
{
    if (active == active_) return;
    if (!active) {
        Suspend();
        active_ = false;
    } else {
        active_ = true;
        Resume();
    }
}

void TMediaManager::SetSoundOn(bool on)
{
    sound_on_ = on;
    for (auto& item : items_) item->SetMuted(!on);
}

TDMediaItem* TOggManager::Add(const std::string& name, bool)
{
    if (direct_sound_) return Keep(std::make_unique<TOggItem>(mixer_, name), name);
    return Keep(std::make_unique<TOggWaveItem>(mixer_, name), name);
}

TDMediaItem* TWaveManager::Add(const std::string& name, bool)
{
    return Keep(std::make_unique<TWaveItem>(mixer_, next_index_++, name), name);
}

TDMediaItem* TUnavailableManager::Add(const std::string&, bool)
{
    ReportNotAvailable(Kind());
    return nullptr;
}

}  // namespace mobu
