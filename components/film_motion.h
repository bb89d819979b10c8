// TFilmMotion: a film played by one control (motion mode). It brings the film to a frame
// and applies what the film's tracks show to its target: picture, frame, position, zoom,
// angle, alpha, afterimages, flips and priority of image-like tracks; position, size,
// colours, border and alpha of box tracks. The film data is shared; this player keeps only
// its own state.
#pragma once

#include <memory>
#include <string>

#include "components/mobu_motion.h"
#include "graphics/film_manager.h"

namespace mobu {

class TMobuControl;

class TFilmMotion : public TMotionFilm {
public:
    TFilmMotion(TMobuControl& target, std::shared_ptr<const TFilmData> film);

    int32_t FrameCount() const override { return manager_.TotalLength(); }
    int32_t LoopStartFrame() const override { return manager_.LoopStart(); }
    bool RelativePositions() const override { return manager_.RelativeMotion(); }
    int32_t CurrentFrame() const override { return current_; }
    void SetOrigin(int32_t x, int32_t y) override;
    // The control's own priority stays in place; tracks set its PriorityOffset.
    void SetPriority(int32_t /*priority*/) override {}
    void ApplyFrame(int32_t frame) override;

    const TFilmManager& Manager() const { return manager_; }

private:
    void ApplyImage(const TCustomImageFrameList& track, int32_t t);
    void ApplyBox(const TBoxFrameList& track, int32_t t);
    void ApplyCommon(const TCustomFrameList& track);

    TMobuControl& target_;
    TFilmManager manager_;
    int32_t current_ = 0;  // a fresh film stands at its first frame
    std::string shown_picture_;  // the picture path lent to an image target
    bool told_kinds_ = false;
};

// The factory SetMotion uses: a TFilmMotion for a film file, loaded once per name.
std::unique_ptr<TMotionFilm> MakeFilmMotion(TMobuControl& target, const std::string& path);

}  // namespace mobu
