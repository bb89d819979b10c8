#include "components/effects_json.h"

#include <algorithm>

#include "components/mobu_particle.h"
#include "components/mobu_wave.h"

namespace mobu {

void WriteEffectJson(std::ostream& out, TMobuObject& object)
{
    if (auto* emitter = dynamic_cast<TMobuParticle*>(&object)) {
        out << ", \"effect\": {\"state\": " << int{emitter->State} << ", \"particles\": " << emitter->Particles.size()
            << "}";
    } else if (auto* wave = dynamic_cast<TMobuWave*>(&object)) {
        // Rows past those that reach the screen have no displacement of their own.
        const int64_t rows = std::min<int64_t>(std::max(wave->Height, 0),
                                               wave->FirstRow() + static_cast<int64_t>(wave->Shifts().size()));
        out << ", \"effect\": {\"phase\": " << wave->Phase() << ", \"shifts\": [";
        for (int64_t row = 0; row < rows; ++row) out << (row ? ", " : "") << wave->Shift(row);
        out << "]}";
    }
}

}  // namespace mobu
