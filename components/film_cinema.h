// TFilmCinema: a film played as a cinema. Each track makes its component on first
// activation (on the base receiving the picture, or the other one), named with a leading
// 0x01 so scripts and hit tests pass it by, shows it while the track is active and hides
// it outside (a label track shows its text as a film image); transition tracks run screen transitions between the list's two bases, sound,
// particle and fire tracks drive the list's components of those kinds.
#pragma once

#include <cstdint>
#include <vector>

#include "components/cinema_film.h"
#include "graphics/film_manager.h"

namespace mobu {

class TMobuObject;

class TFilmCinema : public TCinemaFilm {
public:
    ~TFilmCinema() override { Clear(); }

    bool Load(const std::string& path, int32_t volume) override;
    int32_t TotalLength() const override { return manager_.TotalLength(); }
    int32_t LoopStart() const override { return manager_.LoopStart(); }
    int32_t ScreenWidth() const override { return manager_.ScreenSize().X; }
    int32_t ScreenHeight() const override { return manager_.ScreenSize().Y; }
    int32_t BackColor() const override { return manager_.BackColor(); }
    bool PlaysPrivately() const override;
    void Start(TMobuBaseList& list) override;
    void SetTime(int32_t t) override;
    int32_t Time() const override { return manager_.Time; }
    void SetPlaying(bool playing) override { manager_.Playing = playing; }
    void SetVolume(int32_t volume) override { manager_.Volume = volume; }
    void Clear() override;

    const TFilmManager& Manager() const { return manager_; }
    // The component track `index` made (none before its first activation).
    TMobuObject* ComponentOf(int index);

private:
    TMobuObject* Ensure(int index);
    void ApplyWipes(int32_t t);
    void ApplySound(int index, int32_t t, int32_t previous);

    TFilmManager manager_;
    TMobuBaseList* list_ = nullptr;
    int first_base_ = 0;  // the active base when the film started
    int started_wipe_ = -1;
    bool has_time_ = false;
    std::vector<TMobuObject*> components_;
    std::vector<uint8_t> sounding_;  // 1 while a sound track plays
};

}  // namespace mobu
