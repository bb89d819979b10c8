// The label list's stored form on arbitrary bytes: the first byte picks the version; what
// is read is measured and drawn on a small target without harm.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "graphics/dibx.h"
#include "text/ks_label_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const int version = 100 + data[0] % 30;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        mobu::ByteReader in(bytes);
        mobu::TKsLabelList list;
        list.LoadFromStream(in, version);
        mobu::TDIBX target;
        target.SetSize(48, 24, 32);
        list.Target = &target;
        list.Add();
        list.SetText(0, "A");
        list.Measure();
        list.DrawLabel(0, 2, 2);
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
