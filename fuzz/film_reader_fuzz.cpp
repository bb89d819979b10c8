// Film reader on arbitrary bytes: damaged films are refused cleanly, and a film that is read
// can be played at any time, before its start and past its end, without harm.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/mobu_error.h"
#include "graphics/film_data.h"
#include "graphics/film_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto film = std::make_shared<TFilmData>(ReadFilm(bytes));
        TFilmManager manager(film);
        manager.TargetX = 13;
        const int32_t total = manager.TotalLength();
        for (int32_t t : {INT32_MIN, -1, 0, 1, total / 2, total - 1, total, INT32_MAX}) {
            manager.UpdateWipes(t);
            for (int i = 0; i < manager.TrackCount(); ++i) {
                const TCustomFrameList& track = manager.Track(i);
                switch (track.Kind()) {
                    case FK_IMAGE:
                    case FK_LABEL:
                    case FK_TILE: manager.ImageAt(static_cast<const TCustomImageFrameList&>(track), t); break;
                    case FK_BOX: manager.BoxAt(static_cast<const TBoxFrameList&>(track), t); break;
                    case FK_WIPE: manager.WipeAt(static_cast<const TWipeFrameList&>(track), t); break;
                    case FK_SOUND: manager.SoundAt(static_cast<const TSoundFrameList&>(track), t); break;
                    case FK_PARTICLE: manager.ParticleAt(static_cast<const TParticleFrameList&>(track), t); break;
                    case FK_FIRE: manager.FireAt(static_cast<const TFireFrameList&>(track), t); break;
                    default: break;
                }
            }
        }
    } catch (const EMobuError&) {
    }
    return 0;
}
