// Full-frame blending, stretching and rotation of 32-bit images by the drawing surfaces,
// side by side with pixman and SDL2's own blitter on the same pixels, and memcpy of the same
// bytes as the floor. Blending is measured twice: at one alpha of 128 for the whole image
// (a case SDL has a special fast path for) and through a per-pixel alpha plane like a real
// sprite's (an antialiased disc with a soft edge: transparent corners, an opaque middle and
// a ring of partial values), which each library takes in its own form: mobu an 8-bit plane
// beside the colour pixels, pixman an a8 mask image, SDL an ARGB surface. After the runs a
// table gives every time as a ratio.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/time_table_reporter.h"
#include "graphics/dibx.h"
#include "graphics/kernels/surface_kernels.h"

namespace {

using mobu::TDIBX;
using mobu::TRect;

struct TSize {
    int width, height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
const TSize kSizes[] = {{800, 600}, {1280, 720}};

constexpr int kAlpha = 128;
constexpr double kAngleDegrees = 45.0;

std::vector<uint32_t> RandomPixels(const TSize& size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.width) * size.height);
    for (uint32_t& p : pixels) p = random() & 0x00FFFFFF;
    return pixels;
}

// A sprite's alpha plane: a disc as high as the image, opaque inside, fading to transparent
// over its outer 24 pixels, transparent around it (at 800 x 600 about 46 % opaque, 9 %
// partial, 45 % transparent).
std::vector<uint8_t> DiscAlpha(const TSize& size)
{
    std::vector<uint8_t> alpha(static_cast<size_t>(size.width) * size.height);
    const double cx = size.width / 2.0, cy = size.height / 2.0, radius = std::min(size.width, size.height) * 0.48;
    constexpr double kEdge = 24.0;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double a = std::clamp((radius - distance) / kEdge, 0.0, 1.0);
            alpha[static_cast<size_t>(y) * size.width + x] = static_cast<uint8_t>(std::lround(a * 255));
        }
    return alpha;
}

// The same two images in every library's own surface, and the source's alpha plane in each
// library's own form.
struct TImages {
    TSize size;
    std::vector<uint32_t> source_pixels, frame_pixels;
    std::vector<uint8_t> sprite_alpha;
    TDIBX source, frame, sprite_mask;
    std::vector<uint32_t> pixman_source_bits, pixman_frame_bits;
    std::vector<uint8_t> pixman_mask_bits;
    pixman_image_t* pixman_source = nullptr;
    pixman_image_t* pixman_frame = nullptr;
    pixman_image_t* pixman_mask = nullptr;
    SDL_Surface* sdl_source = nullptr;
    SDL_Surface* sdl_frame = nullptr;
    SDL_Surface* sdl_sprite = nullptr;
    std::vector<uint32_t> copy_from, copy_to;

    explicit TImages(const TSize& s) : size(s)
    {
        source_pixels = RandomPixels(size, 1);
        frame_pixels = RandomPixels(size, 2);
        sprite_alpha = DiscAlpha(size);
        Fill(source, source_pixels);
        Fill(frame, frame_pixels);
        sprite_mask.SetSize(size.width, size.height, 8);
        for (int y = 0; y < size.height; ++y)
            std::memcpy(sprite_mask.PixelAddress(0, y), sprite_alpha.data() + static_cast<size_t>(y) * size.width,
                        static_cast<size_t>(size.width));
        pixman_source_bits = source_pixels;
        pixman_frame_bits = frame_pixels;
        pixman_mask_bits = sprite_alpha;
        pixman_source = pixman_image_create_bits(PIXMAN_x8r8g8b8, size.width, size.height,
                                                 pixman_source_bits.data(), size.width * 4);
        pixman_frame = pixman_image_create_bits(PIXMAN_x8r8g8b8, size.width, size.height,
                                                pixman_frame_bits.data(), size.width * 4);
        pixman_mask = pixman_image_create_bits(PIXMAN_a8, size.width, size.height,
                                               reinterpret_cast<uint32_t*>(pixman_mask_bits.data()), size.width);
        sdl_source = SdlCopy(source_pixels);
        sdl_frame = SdlCopy(frame_pixels);
        std::vector<uint32_t> argb(source_pixels);
        for (size_t i = 0; i < argb.size(); ++i) argb[i] |= static_cast<uint32_t>(sprite_alpha[i]) << 24;
        sdl_sprite = SdlCopy(argb, SDL_PIXELFORMAT_ARGB8888);
        SDL_SetSurfaceBlendMode(sdl_sprite, SDL_BLENDMODE_BLEND);
        copy_from = source_pixels;
        copy_to = frame_pixels;
    }
    ~TImages()
    {
        pixman_image_unref(pixman_source);
        pixman_image_unref(pixman_frame);
        pixman_image_unref(pixman_mask);
        SDL_FreeSurface(sdl_source);
        SDL_FreeSurface(sdl_frame);
        SDL_FreeSurface(sdl_sprite);
    }
    void Fill(TDIBX& surface, const std::vector<uint32_t>& pixels)
    {
        surface.SetSize(size.width, size.height, 32);
        for (int y = 0; y < size.height; ++y)
            std::memcpy(surface.PixelAddress(0, y), pixels.data() + static_cast<size_t>(y) * size.width,
                        static_cast<size_t>(size.width) * 4);
    }
    SDL_Surface* SdlCopy(const std::vector<uint32_t>& pixels, uint32_t format = SDL_PIXELFORMAT_RGB888)
    {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size.width, size.height, 32, format);
        for (int y = 0; y < size.height; ++y)
            std::memcpy(static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch,
                        pixels.data() + static_cast<size_t>(y) * size.width, static_cast<size_t>(size.width) * 4);
        return s;
    }
    TRect Whole() const { return TRect{0, 0, size.width, size.height}; }
};

std::map<std::string, std::unique_ptr<TImages>>& AllImages()
{
    static std::map<std::string, std::unique_ptr<TImages>> images;
    return images;
}

TImages& ImagesOf(const TSize& size)
{
    auto& slot = AllImages()[size.Name()];
    if (!slot) slot = std::make_unique<TImages>(size);
    return *slot;
}

void SetBytes(benchmark::State& state, const TSize& size)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size.width * size.height * 4);
}

// ---- the floor ----

void Memcpy(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state) {
        std::memcpy(im.copy_to.data(), im.copy_from.data(), im.copy_to.size() * 4);
        benchmark::ClobberMemory();
    }
    SetBytes(state, size);
}

// ---- mobu ----

void MobuAlpha(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state) im.frame.DrawAlpha(0, 0, im.source, im.Whole(), false, false, false, kAlpha);
    SetBytes(state, size);
}

void MobuSprite(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state) im.frame.DrawMask(0, 0, im.source, im.Whole(), false, false, im.sprite_mask);
    SetBytes(state, size);
}

void MobuAdd(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state) im.frame.DrawAdd(0, 0, im.source, im.Whole(), false, false, false, kAlpha);
    SetBytes(state, size);
}

void MobuStretch(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    TRect dest{0, 0, size.width * 3 / 2, size.height * 3 / 2};
    for (auto _ : state) im.frame.StretchDrawAlpha(dest, im.source, im.Whole(), false, false, false, 255);
    SetBytes(state, size);
}

void MobuRotate(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    int angle = static_cast<int>(kAngleDegrees / 360.0 * 256.0);
    for (auto _ : state)
        im.frame.DrawRotate(size.width / 2, size.height / 2, 256, 256, im.source, im.Whole(), size.width / 2,
                            size.height / 2, angle, false, false, false, 255);
    SetBytes(state, size);
}

// ---- pixman ----

void PixmanComposite(benchmark::State& state, TSize size, pixman_op_t op)
{
    TImages& im = ImagesOf(size);
    pixman_color_t half{0, 0, 0, static_cast<uint16_t>(kAlpha * 257)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state)
        pixman_image_composite32(op, im.pixman_source, mask, im.pixman_frame, 0, 0, 0, 0, 0, 0, size.width,
                                 size.height);
    pixman_image_unref(mask);
    SetBytes(state, size);
}

void PixmanAlpha(benchmark::State& state, TSize size) { PixmanComposite(state, size, PIXMAN_OP_OVER); }

// The colour pixels through the a8 alpha plane over the frame.
void PixmanSprite(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, im.pixman_source, im.pixman_mask, im.pixman_frame, 0, 0, 0, 0, 0, 0,
                                 size.width, size.height);
    SetBytes(state, size);
}
void PixmanAdd(benchmark::State& state, TSize size) { PixmanComposite(state, size, PIXMAN_OP_ADD); }

void PixmanTransformed(benchmark::State& state, TSize size, const pixman_f_transform& forward)
{
    TImages& im = ImagesOf(size);
    // pixman maps destination to source: give it the inverse.
    pixman_f_transform inverse;
    pixman_f_transform_invert(&inverse, &forward);
    pixman_transform fixed;
    pixman_transform_from_pixman_f_transform(&fixed, &inverse);
    pixman_image_set_transform(im.pixman_source, &fixed);
    pixman_image_set_filter(im.pixman_source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_set_repeat(im.pixman_source, PIXMAN_REPEAT_NONE);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, im.pixman_source, nullptr, im.pixman_frame, 0, 0, 0, 0, 0, 0,
                                 size.width, size.height);
    pixman_image_set_transform(im.pixman_source, nullptr);
    SetBytes(state, size);
}

void PixmanStretch(benchmark::State& state, TSize size)
{
    pixman_f_transform forward;
    pixman_f_transform_init_scale(&forward, 1.5, 1.5);
    PixmanTransformed(state, size, forward);
}

void PixmanRotate(benchmark::State& state, TSize size)
{
    double radians = kAngleDegrees * M_PI / 180.0;
    pixman_f_transform forward;
    pixman_f_transform_init_translate(&forward, -size.width / 2.0, -size.height / 2.0);
    pixman_f_transform_rotate(&forward, nullptr, std::cos(radians), std::sin(radians));
    pixman_f_transform_translate(&forward, nullptr, size.width / 2.0, size.height / 2.0);
    PixmanTransformed(state, size, forward);
}

// ---- SDL2 ----

void SdlBlend(benchmark::State& state, TSize size, SDL_BlendMode mode)
{
    TImages& im = ImagesOf(size);
    SDL_SetSurfaceBlendMode(im.sdl_source, mode);
    SDL_SetSurfaceAlphaMod(im.sdl_source, kAlpha);
    for (auto _ : state) SDL_BlitSurface(im.sdl_source, nullptr, im.sdl_frame, nullptr);
    SDL_SetSurfaceAlphaMod(im.sdl_source, 255);
    SDL_SetSurfaceBlendMode(im.sdl_source, SDL_BLENDMODE_NONE);
    SetBytes(state, size);
}

void SdlAlpha(benchmark::State& state, TSize size) { SdlBlend(state, size, SDL_BLENDMODE_BLEND); }

// The ARGB sprite blended by its own alpha channel.
void SdlSprite(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    for (auto _ : state) SDL_BlitSurface(im.sdl_sprite, nullptr, im.sdl_frame, nullptr);
    SetBytes(state, size);
}
void SdlAdd(benchmark::State& state, TSize size) { SdlBlend(state, size, SDL_BLENDMODE_ADD); }

void SdlStretch(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    SDL_Rect dest{0, 0, size.width * 3 / 2, size.height * 3 / 2};
    for (auto _ : state) {
        SDL_Rect d = dest;
        SDL_BlitScaled(im.sdl_source, nullptr, im.sdl_frame, &d);
    }
    SetBytes(state, size);
}

// SDL2's blitter has no rotation; its software renderer rotates (nearest) onto a surface.
void SdlRotate(benchmark::State& state, TSize size)
{
    TImages& im = ImagesOf(size);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(im.sdl_frame);
    SDL_Texture* texture = renderer ? SDL_CreateTextureFromSurface(renderer, im.sdl_source) : nullptr;
    if (!texture) {
        state.SkipWithError("no SDL software renderer");
        return;
    }
    SDL_Rect dest{0, 0, size.width, size.height};
    for (auto _ : state) {
        SDL_RenderCopyEx(renderer, texture, nullptr, &dest, kAngleDegrees, nullptr, SDL_FLIP_NONE);
        SDL_RenderFlush(renderer);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SetBytes(state, size);
}

// ---- the ratio table ----

class TRatioReporter : public mobu::bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        std::printf("\nKernel level: %s\n",
                    mobu::kernels::ActiveKernelLevel() == mobu::kernels::TKernelLevel::Avx2   ? "AVX2"
                    : mobu::kernels::ActiveKernelLevel() == mobu::kernels::TKernelLevel::Sse2 ? "SSE2"
                                                                                               : "scalar");
        std::printf("Times: thread CPU time per frame in microseconds (the time of the benchmark's own thread)\n");
        std::printf("%-10s %-12s %9s %9s %9s %9s | %12s %12s %12s\n", "size", "operation", "mobu", "pixman",
                    "SDL", "memcpy", "pixman/mobu", "SDL/mobu", "mobu/memcpy");
        // alpha: one alpha of 128 for the whole image; sprite: the per-pixel alpha plane.
        const std::pair<const char*, const char*> ops[] = {
            {"alpha", "alpha 128"}, {"sprite", "pixel alpha"}, {"add", "add"}, {"stretch1.5", "stretch1.5"},
            {"rotate", "rotate"}};
        for (const TSize& size : kSizes) {
            double floor = Time("memcpy/" + size.Name());
            for (const auto& [op, label] : ops) {
                std::string suffix = std::string("/") + op + "/" + size.Name();
                double mobu = Time("mobu" + suffix), pixman = Time("pixman" + suffix), sdl = Time("sdl" + suffix);
                std::printf("%-10s %-12s %9.0f %9.0f %9.0f %9.0f | %12.2f %12.2f %12.2f\n", size.Name().c_str(),
                            label, mobu, pixman, sdl, floor, pixman / mobu, sdl / mobu, mobu / floor);
            }
        }
        std::printf("(ratios above 1 in the peer columns: mobu is faster)\n");
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    using Fn = void (*)(benchmark::State&, TSize);
    const std::pair<const char*, Fn> rows[] = {
        {"mobu/alpha", MobuAlpha},     {"pixman/alpha", PixmanAlpha},     {"sdl/alpha", SdlAlpha},
        {"mobu/sprite", MobuSprite},   {"pixman/sprite", PixmanSprite},   {"sdl/sprite", SdlSprite},
        {"mobu/add", MobuAdd},         {"pixman/add", PixmanAdd},         {"sdl/add", SdlAdd},
        {"mobu/stretch1.5", MobuStretch}, {"pixman/stretch1.5", PixmanStretch}, {"sdl/stretch1.5", SdlStretch},
        {"mobu/rotate", MobuRotate},   {"pixman/rotate", PixmanRotate},   {"sdl/rotate", SdlRotate},
    };
    for (const TSize& size : kSizes) {
        benchmark::RegisterBenchmark(("memcpy/" + size.Name()).c_str(), Memcpy, size)->Unit(benchmark::kMicrosecond);
        for (const auto& [name, fn] : rows)
            benchmark::RegisterBenchmark((std::string(name) + "/" + size.Name()).c_str(), fn, size)
                ->Unit(benchmark::kMicrosecond);
    }
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    AllImages().clear();
    benchmark::Shutdown();
    return 0;
}
