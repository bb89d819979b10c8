// The stored layout of a film, written once for every direction: `Io` is the reader (which
// fills the fields), the writer (which stores them), or the film source's printer and
// reader (which name them). `version` gates the fields older files do not have; the writer
// always passes the newest version. Every field carries its name in the film source.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/film_data.h"
#include "graphics/frame_lists.h"

namespace mobu::film_layout {

// A point: two 32-bit values x, y.
template <class Io>
void Point(Io& io, TFilmPoint& p, const char* name)
{
    io.Pt(p.X, p.Y, name);
}

template <class Io>
void Crop(Io& io, TCropBlock& c, const std::string& prefix = "crop")
{
    io.Pt(c.OriginStart.X, c.OriginStart.Y, (prefix + "_origin_start").c_str());
    io.Pt(c.SizeStart.X, c.SizeStart.Y, (prefix + "_size_start").c_str());
    io.Pt(c.OriginEnd.X, c.OriginEnd.Y, (prefix + "_origin_end").c_str());
    io.Pt(c.SizeEnd.X, c.SizeEnd.Y, (prefix + "_size_end").c_str());
    io.U8(c.EaseOrigin, (prefix + "_ease_origin").c_str());
    io.U8(c.EaseSize, (prefix + "_ease_size").c_str());
}

// The header after the 13-byte magic.
template <class Io>
void Header(Io& io, TFilmData& film, int version)
{
    Point(io, film.ScreenSize, "screen");
    io.I32(film.BackColor, "back_color");
    if (version > 101) io.U8(film.RelativeMotion, "relative");
    if (version > 103) Point(io, film.MotionOrigin, "origin");
    if (version > 105) io.I32(film.LoopStart, "loop_start");
}

template <class Io>
void Common(Io& io, TCustomFrameList& t)
{
    io.I32(t.ParentIndex, "parent");
    io.I32(t.Length, "length");
    io.I32(t.Unnamed, "unnamed");
    io.I32(t.StartTime, "start");
    io.I32(t.LoopLength, "loop_length");
    io.I32(t.Priority, "priority");
    io.U8(t.FlipH, "flip_h");
    io.U8(t.FlipV, "flip_v");
    io.U8(t.OtherBase, "other_base");
}

template <class Io>
void AB(Io& io, int32_t& a_start, int32_t& b_start, int32_t& a_end, int32_t& b_end)
{
    io.I32(a_start, "a_start");
    io.I32(b_start, "b_start");
    io.I32(a_end, "a_end");
    io.I32(b_end, "b_end");
}

template <class Io>
void Image(Io& io, TImageRecord& r, int version)
{
    Point(io, r.Base, "base");
    Point(io, r.PosStart, "pos_start");
    Point(io, r.PosEnd, "pos_end");
    io.U8(r.EaseX, "ease_x");
    io.U8(r.EaseY, "ease_y");
    io.I32(r.AngleStart, "angle_start");
    io.I32(r.AngleEnd, "angle_end");
    io.F64(r.ZoomXStart, "zoom_x_start");
    io.F64(r.ZoomXEnd, "zoom_x_end");
    io.U8(r.EaseZoomX, "ease_zoom_x");
    io.I32(r.AlphaStart, "alpha_start");
    io.I32(r.AlphaEnd, "alpha_end");
    io.U8(r.EaseAngle, "ease_angle");
    if (version > 100) Crop(io, r.Crop);
    if (version >= 105) {
        io.F64(r.ZoomYStart, "zoom_y_start");
        io.F64(r.ZoomYEnd, "zoom_y_end");
        io.U8(r.EaseZoomY, "ease_zoom_y");
    } else {
        r.ZoomYStart = r.ZoomXStart;
        r.ZoomYEnd = r.ZoomXEnd;
        r.EaseZoomY = r.EaseZoomX;
    }
    if (version >= 109) AB(io, r.AStart, r.BStart, r.AEnd, r.BEnd);
}

template <class Io>
void Tile(Io& io, TTileFrameList& t, int version)
{
    TTileRecord& r = t.Tile;
    io.I32(r.TileWStart, "tile_width_start");
    io.I32(r.TileHStart, "tile_height_start");
    io.I32(r.TileWEnd, "tile_width_end");
    io.I32(r.TileHEnd, "tile_height_end");
    io.I32(r.ScrollXStart, "scroll_x_start");
    io.I32(r.ScrollYStart, "scroll_y_start");
    io.I32(r.ScrollXEnd, "scroll_x_end");
    io.I32(r.ScrollYEnd, "scroll_y_end");
    io.U8(r.EaseScrollX, "ease_scroll_x");
    io.U8(r.EaseScrollY, "ease_scroll_y");
    io.I32(r.DistanceX, "distance_x");
    io.I32(r.DistanceY, "distance_y");
    t.HasSecondCrop = version >= 101;
    if (t.HasSecondCrop) Crop(io, t.SecondCrop, "tile_crop");
}

template <class Io>
void Label(Io& io, TLabelFrameList& t, int version)
{
    io.Str(t.Text, "text");
    io.U8(t.Antialias, "antialias");
    io.Str(t.FontName, "font_name");
    io.I32(t.FontSize, "font_size");
    if (version >= 103) io.I32(t.LineSpacing, "line_spacing");
    else t.LineSpacing = 1;
    io.U8(t.FontStyle, "font_style");
    io.I32(t.Colour, "colour");
    if (version > 102) io.U8(t.LastByte, "last_byte");
}

template <class Io>
void Box(Io& io, TBoxFrame& r, int version)
{
    Point(io, r.PosStart, "pos_start");
    Point(io, r.PosEnd, "pos_end");
    io.U8(r.EaseX, "ease_x");
    io.U8(r.EaseY, "ease_y");
    io.I32(r.AlphaStart, "alpha_start");
    io.I32(r.AlphaEnd, "alpha_end");
    io.I32(r.WStart, "width_start");
    io.I32(r.HStart, "height_start");
    io.I32(r.WEnd, "width_end");
    io.I32(r.HEnd, "height_end");
    io.I32(r.ColorStart, "color_start");
    io.I32(r.ColorEnd, "color_end");
    io.I32(r.BorderWStart, "border_width_start");
    io.I32(r.BorderWEnd, "border_width_end");
    io.I32(r.BorderCStart, "border_color_start");
    io.I32(r.BorderCEnd, "border_color_end");
    if (version > 100) Crop(io, r.Crop);
    if (version >= 109) AB(io, r.AStart, r.BStart, r.AEnd, r.BEnd);
}

template <class Io>
void Wipe(Io& io, TWipeFrameList& t, int version)
{
    io.U8(t.TransitionId, "transition");
    if (version > 100) {
        io.Str(t.Mask, "mask");
        io.I32(t.Param0, "param0");
        io.I32(t.Param1, "param1");
        io.U8(t.Reverse, "reverse");
    }
}

template <class Io>
void Sound(Io& io, TSoundFrameList& t)
{
    io.Str(t.Source, "source");
    io.I32(t.Stored.VolumeStart, "volume_start");
    io.I32(t.Stored.VolumeEnd, "volume_end");
    io.I32(t.Stored.PanStart, "pan_start");
    io.I32(t.Stored.PanEnd, "pan_end");
    io.U8(t.Stored.EaseVolume, "ease_volume");
    io.U8(t.Stored.EasePan, "ease_pan");
}

template <class Io>
void Particle(Io& io, TParticleFrameList& t)
{
    io.Str(t.Source, "source");
    if (t.Source.empty()) return;  // an empty image name ends the record
    TParticleRecord& r = t.Stored;
    io.U8(r.Motion, "motion");
    io.I32(r.WarmUp, "warm_up");
    io.I32(r.IntervalStart, "interval_start");
    io.I32(r.IntervalEnd, "interval_end");
    io.I32(r.SpreadStart, "spread_start");
    io.I32(r.SpreadEnd, "spread_end");
    io.I32(r.XBaseStart, "x_base_start");
    io.I32(r.YBaseStart, "y_base_start");
    io.I32(r.XBaseEnd, "x_base_end");
    io.I32(r.YBaseEnd, "y_base_end");
    io.I32(r.XRangeStart, "x_range_start");
    io.I32(r.YRangeStart, "y_range_start");
    io.I32(r.XRangeEnd, "x_range_end");
    io.I32(r.YRangeEnd, "y_range_end");
    io.U8(r.EaseXBase, "ease_x_base");
    io.U8(r.EaseYBase, "ease_y_base");
    io.F64(r.ParamStart[0], "param1_start");
    io.F64(r.ParamStart[1], "param2_start");
    io.F64(r.ParamStart[2], "param3_start");
    io.F64(r.ParamEnd[0], "param1_end");
    io.F64(r.ParamEnd[1], "param2_end");
    io.F64(r.ParamEnd[2], "param3_end");
    Point(io, r.PosStart, "pos_start");
    Point(io, r.PosEnd, "pos_end");
    io.U8(r.EaseX, "ease_x");
    io.U8(r.EaseY, "ease_y");
    io.I32(r.WStart, "width_start");
    io.I32(r.HStart, "height_start");
    io.I32(r.WEnd, "width_end");
    io.I32(r.HEnd, "height_end");
    Crop(io, r.Crop);
    io.I32(r.AlphaStart, "alpha_start");
    io.I32(r.AlphaEnd, "alpha_end");
}

template <class Io>
void Fire(Io& io, TFireRecord& r)
{
    Point(io, r.PosStart, "pos_start");
    Point(io, r.PosEnd, "pos_end");
    io.U8(r.EaseX, "ease_x");
    io.U8(r.EaseY, "ease_y");
    io.I32(r.WStart, "width_start");
    io.I32(r.HStart, "height_start");
    io.I32(r.WEnd, "width_end");
    io.I32(r.HEnd, "height_end");
    Crop(io, r.Crop);
    io.F64(r.ZoomXStart, "zoom_x_start");
    io.F64(r.ZoomYStart, "zoom_y_start");
    io.F64(r.ZoomXEnd, "zoom_x_end");
    io.F64(r.ZoomYEnd, "zoom_y_end");
    io.U8(r.EaseZoomX, "ease_zoom_x");
    io.U8(r.EaseZoomY, "ease_zoom_y");
    io.I32(r.Power, "power");
}

// One track after its kind byte.
template <class Io>
void Track(Io& io, TCustomFrameList& track, int version)
{
    Common(io, track);
    switch (track.Kind()) {
        case FK_IMAGE: {
            auto& t = static_cast<TImageFrameList&>(track);
            Image(io, t.Stored, version);
            io.Str(t.Source, "source");
            break;
        }
        case FK_TILE: {
            auto& t = static_cast<TTileFrameList&>(track);
            Image(io, t.Stored, version);
            io.Str(t.Source, "source");
            Tile(io, t, version);
            break;
        }
        case FK_LABEL: {
            auto& t = static_cast<TLabelFrameList&>(track);
            Image(io, t.Stored, version);
            Label(io, t, version);
            break;
        }
        case FK_BOX: Box(io, static_cast<TBoxFrameList&>(track).Stored, version); break;
        case FK_WIPE: Wipe(io, static_cast<TWipeFrameList&>(track), version); break;
        case FK_SOUND: Sound(io, static_cast<TSoundFrameList&>(track)); break;
        case FK_PARTICLE: Particle(io, static_cast<TParticleFrameList&>(track)); break;
        case FK_FIRE: Fire(io, static_cast<TFireFrameList&>(track).Stored); break;
        default: break;
    }
}

}  // namespace mobu::film_layout
