// TMobuMotion: the film player attached to one control. It counts the control's play time,
// turns it into film frames (60 to the second), loops or finishes the film, and keeps a film
// whose positions are relative anchored at the control when the script moves it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mobu {

class TMobuControl;

// What the player needs of a loaded film. The film manager implements it; it drives the
// control it was made for when a frame is applied.
class TMotionFilm {
public:
    virtual ~TMotionFilm() = default;
    // Length of the film in frames (0 for an empty film).
    virtual int32_t FrameCount() const = 0;
    // The frame a repeating film continues at after its last frame.
    virtual int32_t LoopStartFrame() const = 0;
    // The film's positions are relative to its origin rather than to the screen.
    virtual bool RelativePositions() const = 0;
    // The frame last applied.
    virtual int32_t CurrentFrame() const = 0;
    virtual void SetOrigin(int32_t x, int32_t y) = 0;
    // The drawing priority the film's settings are relative to.
    virtual void SetPriority(int32_t priority) = 0;
    // Brings the film, and so the control, to `frame`.
    virtual void ApplyFrame(int32_t frame) = 0;
};

// Makes the film for a path, driving `target`; none when the path names no playable film.
using TMotionFilmFactory = std::function<std::unique_ptr<TMotionFilm>(TMobuControl& target, const std::string& path)>;
// Replaces the factory used by TMobuControl::SetMotion; an empty one restores the default,
// which plays the film file at the path (components/film_motion.h).
void SetMotionFilmFactory(TMotionFilmFactory factory);
std::unique_ptr<TMotionFilm> MakeMotionFilm(TMobuControl& target, const std::string& path);

class TMobuMotion {
public:
    // Length of one film frame in milliseconds.
    static constexpr double kFrameMs = 16.666666666666668;
    // Ticks at the start of play during which the time stands still.
    static constexpr int32_t kStartupTicks = 2;

    TMobuMotion(TMobuControl& control, std::unique_ptr<TMotionFilm> film);
    TMobuMotion(const TMobuMotion&) = delete;
    TMobuMotion& operator=(const TMobuMotion&) = delete;

    TMotionFilm& Film() { return *film_; }
    const TMotionFilm& Film() const { return *film_; }

    // Plays the film from its start again.
    void Restart();
    // Moves the play time to `frame` (frame x 16.67 ms); the film plays on from there.
    void JumpToFrame(int32_t frame);
    // Advances by `elapsed_ms` (the length of the frame). True on the tick the film finishes.
    bool Tick(int32_t elapsed_ms);

    int32_t ElapsedMs = 0;
    int32_t StartupTicks = kStartupTicks;
    bool Finished = false;
    int32_t CurrentFrame = 0;
    int32_t LastX = 0, LastY = 0;  // the control's Left/Top seen at the previous tick

private:
    TMobuControl& control_;
    std::unique_ptr<TMotionFilm> film_;
};

}  // namespace mobu
