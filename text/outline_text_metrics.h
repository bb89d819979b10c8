// The 212-byte outline text metrics block a label list keeps in its stored form. The player
// writes it synthesised from the metrics of the label's font and skips it on reading: the
// labels are measured again before anything uses it.
#pragma once

#include <cstddef>
#include <string>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "text/glyph_renderer.h"

namespace mobu {

struct TOutlineTextMetrics {
    static constexpr size_t kStoredSize = 212;

    int height = 0;   // cell height (ascent + descent)
    int ascent = 0;
    int descent = 0;
    int average_width = 0;
    int max_width = 0;
    int weight = 400;
    int overhang = 0;
    bool italic = false;
    bool underlined = false;
    bool struck_out = false;
    int em_square = 0;
    int underline_size = 0;
    int underline_position = 0;
    int strikeout_size = 0;
    int strikeout_position = 0;

    // From the selected font's metrics and the requested style flags.
    static TOutlineTextMetrics FromFont(const TFontMetrics& font, int style);

    void Write(ByteWriter& out) const;
    static void Skip(ByteReader& in) { in.Skip(kStoredSize); }
};

}  // namespace mobu
