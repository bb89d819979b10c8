// Reads arbitrary bytes as the saved form of a particle emitter, a fire or a wave (the first
// byte picks the kind and the save version): refused or loaded, never a crash.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/byte_reader.h"
#include "components/component_types.h"
#include "components/mobu_base_list.h"
#include "components/mobu_object.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const int kKinds[] = {mobu::LT_PARTICLE, mobu::LT_FIRE, mobu::LT_WAVE};
    const int kind = kKinds[data[0] % 3];
    const int version = 100 + (data[0] / 3) % 41;
    mobu::TMobuBaseList list;
    list.SetSize(64, 48);
    mobu::TMobuObject* object = list.CreateComponent(kind);
    if (!object) return 0;
    mobu::ByteReader in(data + 1, size - 1);
    try {
        object->LoadFromStream(in, version);
        for (int frame = 0; frame < 3; ++frame) {
            list.UpdatePass();
            list.DrawPass();
        }
    } catch (const std::exception&) {
    }
    return 0;
}
