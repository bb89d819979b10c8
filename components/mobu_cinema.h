// TMobuCinema: plays a cinema film at its frame rate. A film that needs a screen of its own
// (a transition, a track on the other base, a background colour) plays into a private
// component list whose picture the cinema draws at its place; any other film plays its
// tracks on the game's own screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/cinema_film.h"
#include "components/mobu_object.h"

namespace mobu {

class TMobuCinema : public TMobuControl {
public:
    static constexpr int32_t kDefaultFps = 60;

    explicit TMobuCinema(TMobuBaseList* owner);
    ~TMobuCinema() override;

    bool Update() override;
    void Draw(TCustomDIBX& surface) override;
    // As a control's, but children whose names begin with 0x01 (the film's own) are passed.
    TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask) override;

    // The film's unit in milliseconds (1000 / Fps; Fps <= 0 counts as 60).
    double UnitMs() const;
    TCinemaFilm* Film() const { return film_.get(); }
    TMobuBaseList& PrivateList() { return *private_list_; }
    bool PlaysPrivately() const { return film_ && private_; }

    std::string Source;
    int32_t ElapsedMs = 0;
    bool Repeat = false;
    bool CinemaPaused = false;
    bool AutoScrap = false;
    std::string OnPlayEnd;
    std::string OnIdle;
    bool Ended = false;
    int32_t SeekCountdown = 0;
    int32_t Volume = 1000;
    bool RewindOnLoad = false;
    bool MuteOnLoad = false;
    int32_t Fps = kDefaultFps;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void LoadFilm(const std::string& source);
    void FreeFilm();
    void SetIndex(int32_t index);

    std::unique_ptr<TMobuBaseList> private_list_;
    std::unique_ptr<TCinemaFilm> film_;
    bool private_ = false;
};

}  // namespace mobu
