#include "media/av_video_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/mobu_error.h"
#include "graphics/dibx.h"
#include "media/av_stream_io.h"
#include "media/media_messages.h"

namespace mobu {
namespace {

constexpr int kMaxSide = 8192;

}  // namespace

struct TAvVideoDecoder::State {
    std::unique_ptr<TRangeStream> stream;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* current = nullptr;  // the picture shown
    AVFrame* ahead = nullptr;    // decoded, but later than the time asked
    bool have_current = false;
    bool have_ahead = false;
    bool ended = false;
    int index = -1;
    int width = 1;
    int height = 1;
    bool pictures = false;
    int64_t current_ms = -1;
    int64_t last_ms = -1;  // time of the last decoded frame (missing or backward times follow it)
    int64_t length_ms = 0;
    double fps = 0;
    bool changed = true;
    SwsContext* sws = nullptr;

    ~State()
    {
        if (sws != nullptr) sws_freeContext(sws);
        if (current != nullptr) av_frame_free(&current);
        if (ahead != nullptr) av_frame_free(&ahead);
        if (packet != nullptr) av_packet_free(&packet);
        if (decoder != nullptr) avcodec_free_context(&decoder);
        if (format != nullptr) avformat_close_input(&format);
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    int64_t FrameMs(AVFrame* frame)
    {
        int64_t pts = frame->best_effort_timestamp;
        int64_t ms = last_ms < 0 ? 0 : last_ms + (fps > 0 ? static_cast<int64_t>(1000 / fps) : 40);
        if (pts != AV_NOPTS_VALUE) {
            AVStream* video = format->streams[index];
            if (video->start_time != AV_NOPTS_VALUE) pts -= video->start_time;
            ms = av_rescale_q(pts, video->time_base, AVRational{1, 1000});
        }
        if (last_ms >= 0 && ms < last_ms) ms = last_ms;  // backward times do not go back
        last_ms = ms;
        return ms;
    }

    // The next good frame into `ahead`; false at the end.
    bool DecodeNext()
    {
        int bad = 0;
        for (;;) {
            int got = avcodec_receive_frame(decoder, ahead);
            if (got == 0) {
                if (ahead->width <= 0 || ahead->height <= 0 || ahead->width > kMaxSide || ahead->height > kMaxSide) {
                    av_frame_unref(ahead);
                    continue;
                }
                have_ahead = true;
                return true;
            }
            if (got == AVERROR_EOF) return false;
            int read = av_read_frame(format, packet);
            if (read < 0) {
                if (avcodec_send_packet(decoder, nullptr) < 0) return false;
                continue;
            }
            if (packet->stream_index == index && avcodec_send_packet(decoder, packet) < 0 && ++bad > 1000) {
                av_packet_unref(packet);
                return false;
            }
            av_packet_unref(packet);
        }
    }
};

TAvVideoDecoder::TAvVideoDecoder(std::unique_ptr<TRangeStream> stream) : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.stream = std::move(stream);
    const int kBuffer = 64 * 1024;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
    s.io = avio_alloc_context(buffer, kBuffer, 0, s.stream.get(), AvReadPacket, nullptr, AvSeekStream);
    if (s.io == nullptr) {
        av_free(buffer);
        throw EMobuError(media_messages::InvalidSoundData());
    }
    s.format = avformat_alloc_context();
    s.format->pb = s.io;
    s.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&s.format, nullptr, nullptr, nullptr) < 0) {
        s.format = nullptr;
        throw EMobuError(media_messages::InvalidSoundData());
    }
    if (avformat_find_stream_info(s.format, nullptr) < 0) throw EMobuError(media_messages::InvalidSoundData());
    if (s.format->duration != AV_NOPTS_VALUE && s.format->duration > 0) s.length_ms = s.format->duration / 1000;
    const AVCodec* codec = nullptr;
    s.index = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    s.packet = av_packet_alloc();
    s.current = av_frame_alloc();
    s.ahead = av_frame_alloc();
    if (s.index < 0 || codec == nullptr) return;  // sound only: one black pixel
    AVStream* video = s.format->streams[s.index];
    s.decoder = avcodec_alloc_context3(codec);
    if (s.decoder == nullptr || avcodec_parameters_to_context(s.decoder, video->codecpar) < 0 ||
        avcodec_open2(s.decoder, codec, nullptr) < 0) {
        if (s.decoder != nullptr) avcodec_free_context(&s.decoder);
        return;
    }
    int w = video->codecpar->width, h = video->codecpar->height;
    if (w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide) {
        s.width = w;
        s.height = h;
        s.pictures = true;
    }
    AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    s.fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
}

TAvVideoDecoder::~TAvVideoDecoder() = default;

int TAvVideoDecoder::Width() const { return state_->width; }
int TAvVideoDecoder::Height() const { return state_->height; }
bool TAvVideoDecoder::HasPictures() const { return state_->pictures; }
double TAvVideoDecoder::FramesPerSecond() const { return state_->fps; }
int64_t TAvVideoDecoder::LengthMs() const { return state_->length_ms; }
int64_t TAvVideoDecoder::CurrentMs() const { return state_->have_current ? state_->current_ms : -1; }

bool TAvVideoDecoder::Advance(int64_t ms)
{
    State& s = *state_;
    if (!s.pictures || s.decoder == nullptr) return false;
    if (s.have_current && ms < s.current_ms) {
        // Backward: from the start (containers place key frames too loosely to trust a jump
        // into the middle for "the last frame not later than t").
        AVStream* video = s.format->streams[s.index];
        int64_t start = video->start_time != AV_NOPTS_VALUE ? video->start_time : 0;
        avformat_seek_file(s.format, s.index, INT64_MIN, start, start, 0);
        avcodec_flush_buffers(s.decoder);
        s.have_ahead = false;
        s.have_current = false;
        s.ended = false;
        s.last_ms = -1;
        av_frame_unref(s.ahead);
    }
    bool moved = false;
    for (;;) {
        if (!s.have_ahead) {
            if (s.ended || !s.DecodeNext()) {
                s.ended = true;
                break;
            }
            s.ahead->pts = s.FrameMs(s.ahead);  // kept in ms from here on
        }
        if (s.have_current && s.ahead->pts > ms) break;
        // The frame is due (or the first one): it becomes the picture; late ones are passed over.
        std::swap(s.current, s.ahead);
        av_frame_unref(s.ahead);
        s.have_ahead = false;
        s.have_current = true;
        s.current_ms = s.current->pts;
        moved = true;
    }
    if (moved) s.changed = true;
    return moved;
}

void TAvVideoDecoder::Draw(TDIBX& target)
{
    State& s = *state_;
    if (target.Width() != s.width || target.Height() != s.height || target.BitCount() != 32) {
        target.SetSize(s.width, s.height, 32);
    }
    if (!s.have_current) {
        target.Clear(0);
        return;
    }
    AVFrame* f = s.current;
    if (f->width != s.width || f->height != s.height) {
        target.Clear(0);
        return;
    }
    s.sws = sws_getCachedContext(s.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), s.width,
                                 s.height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (s.sws == nullptr) {
        target.Clear(0);
        return;
    }
    int colorspace = f->colorspace == AVCOL_SPC_BT709                                          ? SWS_CS_ITU709
                     : f->colorspace == AVCOL_SPC_BT470BG || f->colorspace == AVCOL_SPC_SMPTE170M ? SWS_CS_ITU601
                     : f->colorspace == AVCOL_SPC_SMPTE240M                                      ? SWS_CS_SMPTE240M
                     : s.height >= 720                                                           ? SWS_CS_ITU709
                                                                                                 : SWS_CS_ITU601;
    AVPixelFormat pf = static_cast<AVPixelFormat>(f->format);
    int full_range = f->color_range == AVCOL_RANGE_JPEG || pf == AV_PIX_FMT_YUVJ420P || pf == AV_PIX_FMT_YUVJ422P ||
                     pf == AV_PIX_FMT_YUVJ444P;
    sws_setColorspaceDetails(s.sws, sws_getCoefficients(colorspace), full_range, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                             0, 1 << 16, 1 << 16);
    std::vector<uint8_t> pixels(static_cast<size_t>(s.width) * static_cast<size_t>(s.height) * 4);
    uint8_t* planes[1] = {pixels.data()};
    int strides[1] = {s.width * 4};
    sws_scale(s.sws, f->data, f->linesize, 0, f->height, planes, strides);
    for (int y = 0; y < s.height; ++y) {
        uint8_t* row = target.PixelAddress(0, y);
        if (row != nullptr) std::memcpy(row, pixels.data() + static_cast<size_t>(y) * strides[0], static_cast<size_t>(strides[0]));
    }
    s.changed = false;
}

}  // namespace mobu
