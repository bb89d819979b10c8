// What the cinema component asks of its film. The film player (components/film_cinema.h)
// implements it and is installed as the default; tests install fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mobu {

class TMobuBaseList;

class TCinemaFilm {
public:
    virtual ~TCinemaFilm() = default;
    // Loads the film at the virtual path with the master volume (0..1000) of its sounds;
    // false when there is no such file (a damaged film loads as an empty one).
    virtual bool Load(const std::string& path, int32_t volume) = 0;
    // Length in units (0 for an empty film) and the unit a repeating film continues at.
    virtual int32_t TotalLength() const = 0;
    virtual int32_t LoopStart() const = 0;
    virtual int32_t ScreenWidth() const = 0;
    virtual int32_t ScreenHeight() const = 0;
    virtual int32_t BackColor() const = 0;
    // A film with a transition track, a track drawn on the other base or a background
    // colour plays into the cinema's own component list; any other into the game's.
    virtual bool PlaysPrivately() const = 0;
    // Starts playing into `list`: a private list takes the film's screen size and
    // background colour, the game's list never does; the sound tracks start. The list must
    // stay until Clear (the film frees its components there).
    virtual void Start(TMobuBaseList& list) = 0;
    // Brings every track to unit `t`.
    virtual void SetTime(int32_t t) = 0;
    virtual int32_t Time() const = 0;
    virtual void SetPlaying(bool playing) = 0;
    virtual void SetVolume(int32_t volume) = 0;
    // Frees the components the film made and forgets the film.
    virtual void Clear() = 0;
};

using TCinemaFilmFactory = std::function<std::unique_ptr<TCinemaFilm>()>;
// Replaces the factory; an empty one restores the film player.
void SetCinemaFilmFactory(TCinemaFilmFactory factory);
std::unique_ptr<TCinemaFilm> MakeCinemaFilm();

}  // namespace mobu
