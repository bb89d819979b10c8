// Decoding a 1280 x 720 layered image with a JPEG colour plane and a zlib alpha plane,
// against libjpeg-turbo decoding the same JPEG alone.
#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cmath>
#include <vector>

#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_planes.h"

namespace {

using namespace mobu;

constexpr int kWidth = 1280, kHeight = 720;

TDIBSurface Picture()
{
    TDIBSurface image(kWidth, kHeight, 24);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = image.ScanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            row[3 * x] = static_cast<uint8_t>(128 + 100 * std::sin(x * 0.02 + y * 0.01));
            row[3 * x + 1] = static_cast<uint8_t>((x ^ y) & 0xFF);
            row[3 * x + 2] = static_cast<uint8_t>(y * 255 / kHeight);
        }
    }
    image.MakeAlphaPlane();
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* alpha = image.AlphaPlane()->ScanLine(y);
        for (int x = 0; x < kWidth; ++x) alpha[x] = static_cast<uint8_t>(std::hypot(x - 640, y - 360) < 300 ? 255 : x / 6);
    }
    return image;
}

const std::string& LayeredFile()
{
    static const std::string bytes = [] {
        TFeskFrameList list;
        list.Add().Image = Picture();
        return list.SaveToStream(kFeskNonreversible, 70);
    }();
    return bytes;
}

const std::string& JpegFile()
{
    static const std::string bytes = EncodeJpegPlane(Picture(), 70);
    return bytes;
}

void BM_LayeredImageJpegAlpha(benchmark::State& state)
{
    const std::string& bytes = LayeredFile();
    for (auto _ : state) {
        TFeskFrameList list;
        list.LoadFromStream(bytes, true, false, false);
        benchmark::DoNotOptimize(list.Frames(0).Image.ScanLine(0));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LayeredImageJpegAlpha)->Unit(benchmark::kMillisecond);

void BM_LibjpegTurboAlone(benchmark::State& state)
{
    const std::string& bytes = JpegFile();
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 3);
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr error{};
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.data() + static_cast<size_t>(info.output_scanline) * kWidth * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LibjpegTurboAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
