#include "app/pointer_record.h"

#include "expr/variables_json.h"
#include "platform/text_encoding.h"

namespace mobu {

void TPointerRecord::ShowShape(const std::string& shape_path, const TCursorShape& shape, size_t shown_frame)
{
    const TCursorFrame& f = shape.Frames.at(shown_frame);
    arrow = false;
    path = shape_path;
    hot_x = f.HotSpotX;
    hot_y = f.HotSpotY;
    width = f.Width;
    height = f.Height;
    frame = shown_frame;
    ++changes;
}

void TPointerRecord::ShowArrow()
{
    arrow = true;
    path.clear();
    hot_x = hot_y = width = height = 0;
    frame = 0;
    ++changes;
}

void TPointerRecord::WriteJson(std::ostream& out) const
{
    out << "{\"path\": ";
    if (arrow) out << "null";
    else WriteJsonString(out, Cp932ToUtf8(path));
    out << ", \"hotspot\": [" << hot_x << ", " << hot_y << "], \"size\": [" << width << ", " << height
        << "], \"frame\": " << frame << "}\n";
}

}  // namespace mobu
