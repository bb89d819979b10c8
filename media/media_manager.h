// The media managers: each a list of its items. Suspend pauses exactly the items that
// play (not paused, not at their end) and marks them; Resume plays the marked ones again.
// SetActive(false) suspends once, SetActive(true) resumes. SetSoundOn(false) mutes the
// manager's items, which keep playing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/audio_mixer.h"
#include "media/media_item.h"

namespace mobu {

class TMediaManager {
public:
    explicit TMediaManager(std::string kind) : kind_(std::move(kind)) {}
    virtual ~TMediaManager() = default;

    // Creates and keeps an item for the name; nullptr when this manager plays nothing for it.
    virtual TDMediaItem* Add(const std::string& cp932_name, bool flag = false) = 0;
    void Remove(TDMediaItem* item);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TDMediaItem* Items(int index) const;

    bool Active() const { return active_; }
    void Suspend();
    void Resume();
    void SetActive(bool active);
    bool SoundOn() const { return sound_on_; }
    void SetSoundOn(bool on);
    // "ogg", "wave", "wmp", "cdda", "midi", "video".
    const std::string& Kind() const { return kind_; }
    // The source name each item was made from.
    const std::string& SourceOf(int index) const { return sources_.at(static_cast<size_t>(index)); }

protected:
    TDMediaItem* Keep(std::unique_ptr<TDMediaItem> item, const std::string& cp932_name);

private:
    std::string kind_;
    std::vector<std::unique_ptr<TDMediaItem>> items_;
    std::vector<std::string> sources_;
    bool active_ = true;
    bool suspended_ = false;
    bool sound_on_ = true;
};

// Ogg and wave music: `TOggItem` when "DirectSound" is on, else `TOggWaveItem`.
class TOggManager : public TMediaManager {
public:
    TOggManager(TAudioMixer& mixer, bool direct_sound) : TMediaManager("ogg"), mixer_(mixer), direct_sound_(direct_sound) {}
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

private:
    TAudioMixer& mixer_;
    bool direct_sound_;
};

// The wave list of sound effects.
class TWaveManager : public TMediaManager {
public:
    explicit TWaveManager(TAudioMixer& mixer) : TMediaManager("wave"), mixer_(mixer) {}
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

private:
    TAudioMixer& mixer_;
    int next_index_ = 0;
};

// Managers whose playback is not built yet: Add writes "<kind>: not available yet" to the
// script log and standard error and plays nothing.
class TUnavailableManager : public TMediaManager {
public:
    using TMediaManager::TMediaManager;
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;
};

}  // namespace mobu
