// The pictures of a movie through libavformat, libavcodec and libswscale, read over an
// archive stream: the picture at time t is the last frame whose time is ≤ t (frames passed
// over are never converted), in 32 bits through the stream's colour matrix and range
// (untagged: BT.601 below 720 lines, BT.709 from 720). Damaged frames are skipped; missing
// or backward times follow the previous frame; sizes of 0 or above 8192 × 8192, or a movie
// without pictures, give one black pixel.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/range_stream.h"

namespace mobu {

class TDIBX;

class TAvVideoDecoder {
public:
    // Throws "サウンドデータが不正です" when the data is no movie at all.
    explicit TAvVideoDecoder(std::unique_ptr<TRangeStream> stream);
    ~TAvVideoDecoder();
    TAvVideoDecoder(const TAvVideoDecoder&) = delete;
    TAvVideoDecoder& operator=(const TAvVideoDecoder&) = delete;

    int Width() const;
    int Height() const;
    bool HasPictures() const;
    double FramesPerSecond() const;
    int64_t LengthMs() const;
    // The time of the current picture (-1 before the first).
    int64_t CurrentMs() const;
    // Moves to time `ms`; true when the picture changed since the last call.
    bool Advance(int64_t ms);
    // Writes the current picture into `target` (resized to the movie, 32 bits).
    void Draw(TDIBX& target);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace mobu
