// The picture preparation of films, for any source of frames (the image cache in play,
// files beside the film in mobupack).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/film_data.h"
#include "graphics/film_easing.h"

namespace mobu {

template <class FramesOf>
void PrepareFilmPictures(TFilmData& film, const std::string& folder, FramesOf frames_of)
{
    for (auto& track : film.Tracks) {
        if (track->Kind() != FK_IMAGE && track->Kind() != FK_TILE) continue;
        auto& image = static_cast<TImageFrameList&>(*track);
        image.ResolvedPath = ResolveFilmName(folder, image.Source);
        if (image.ResolvedPath.empty()) continue;
        std::optional<std::vector<TCustomFrame>> frames = frames_of(image.ResolvedPath);
        if (!frames) continue;
        image.PictureFound = true;
        image.Frames = std::move(*frames);
        int64_t sum = 0;
        for (const TCustomFrame& f : image.Frames) sum += f.Duration;
        image.LoopLength = ClampToInt32(sum);
        if (image.Length == 0) image.Length = image.LoopLength;
    }
    for (auto& track : film.Tracks) {
        if (track->Kind() == FK_SOUND) {
            auto& t = static_cast<TSoundFrameList&>(*track);
            t.ResolvedPath = ResolveFilmName(folder, t.Source);
        } else if (track->Kind() == FK_PARTICLE) {
            auto& t = static_cast<TParticleFrameList&>(*track);
            t.ResolvedPath = ResolveFilmName(folder, t.Source);
        }
    }
    LinkFilm(film);
}

}  // namespace mobu
