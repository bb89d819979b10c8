#include "media/smf_reader.h"

#include <algorithm>
#include <cstring>

#include "core/mobu_error.h"
#include "media/media_messages.h"

namespace mobu {
namespace {

// Huge delta times at a tiny division add up past any song length; they stop at the cap.
int64_t ClampedMicros(double micros)
{
    if (!(micros > 0)) return 0;
    return micros >= static_cast<double>(TMidiSong::kMaxMicros) ? TMidiSong::kMaxMicros : static_cast<int64_t>(micros);
}

[[noreturn]] void Invalid() { throw EMobuError(media_messages::InvalidSoundData()); }

uint32_t Big32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint16_t Big16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
uint32_t Little32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

struct TTickEvent {
    int64_t tick;
    int order;  // track, then position in the track: keeps equal ticks in file order
    bool tempo;
    uint32_t micros_per_quarter;
    TMidiEvent event;
};

// Reads a variable-length number; false past the end or beyond 4 bytes.
bool ReadNumber(const uint8_t*& p, const uint8_t* end, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        uint8_t byte = *p++;
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

int DataBytes(uint8_t status)
{
    uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads one track's events; stops at the first damage.
void ReadTrack(const uint8_t* p, const uint8_t* end, int64_t start_tick, int track, std::vector<TTickEvent>& out,
               int64_t& last_tick)
{
    int64_t tick = start_tick;
    uint8_t running = 0;
    int order = track << 20;
    while (p < end) {
        uint32_t delta;
        if (!ReadNumber(p, end, delta)) break;
        tick += delta;
        if (p >= end) break;
        uint8_t status = *p;
        if (status & 0x80) {
            ++p;
        } else {
            if (running == 0) break;  // data without any status
            status = running;
        }
        TTickEvent item{tick, order++, false, 0, {}};
        if (status == 0xFF) {
            running = 0;
            if (p >= end) break;
            uint8_t type = *p++;
            uint32_t length;
            if (!ReadNumber(p, end, length) || length > static_cast<uint32_t>(end - p)) break;
            if (type == 0x2F) {
                last_tick = std::max(last_tick, tick);
                break;
            }
            if (type == 0x51 && length == 3) {
                uint32_t tempo = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
                if (tempo > 0) {
                    item.tempo = true;
                    item.micros_per_quarter = tempo;
                    out.push_back(item);
                }
            }
            p += length;
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t length;
            if (!ReadNumber(p, end, length) || length > static_cast<uint32_t>(end - p)) break;
            if (status == 0xF0) {
                item.event.Status = 0xF0;
                item.event.SysEx.assign(reinterpret_cast<const char*>(p), length);
                out.push_back(item);
            }
            p += length;
        } else if (status >= 0xF1) {
            break;  // system common and real-time messages do not belong in a file
        } else {
            running = status;
            int count = DataBytes(status);
            if (end - p < count) break;
            item.event.Status = status;
            item.event.Data1 = p[0] & 0x7F;
            item.event.Data2 = count == 2 ? (p[1] & 0x7F) : 0;
            p += count;
            out.push_back(item);
        }
        last_tick = std::max(last_tick, tick);
    }
}

}  // namespace

bool LooksLikeMidiFile(const std::string& bytes)
{
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "MThd", 4) == 0) return true;
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "RMID", 4) == 0;
}

TMidiSong ReadStandardMidiFile(const std::string& bytes)
{
    const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint8_t* end = begin + bytes.size();
    const uint8_t* p = begin;
    if (bytes.size() >= 12 && std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "RMID", 4) == 0) {
        // RIFF MIDI: the standard file is the "data" chunk.
        p += 12;
        const uint8_t* found = nullptr;
        while (end - p >= 8) {
            uint32_t size = Little32(p + 4);
            if (std::memcmp(p, "data", 4) == 0) {
                found = p + 8;
                end = found + std::min<uint64_t>(size, static_cast<uint64_t>(end - found));
                break;
            }
            if (size > static_cast<uint64_t>(end - p - 8)) break;
            p += 8 + size + (size & 1);
        }
        if (found == nullptr) Invalid();
        p = found;
    }
    if (end - p < 14 || std::memcmp(p, "MThd", 4) != 0) Invalid();
    uint32_t header_size = Big32(p + 4);
    TMidiSong song;
    song.Format = Big16(p + 8);
    song.Tracks = Big16(p + 10);
    uint16_t division = Big16(p + 12);
    if (division == 0 || header_size < 6) Invalid();
    // Ticks per quarter note, or SMPTE frames per second × ticks per frame (a fixed clock).
    bool smpte = (division & 0x8000) != 0;
    double smpte_ticks_per_second = 0;
    if (smpte) {
        int fps = -static_cast<int8_t>(division >> 8);
        int per_frame = division & 0xFF;
        if (fps <= 0 || per_frame == 0) Invalid();
        smpte_ticks_per_second = (fps == 29 ? 29.97 : fps) * per_frame;
    }
    p += 8 + std::min<uint64_t>(header_size, static_cast<uint64_t>(end - p - 8));

    std::vector<TTickEvent> events;
    int64_t song_end_tick = 0;
    for (int track = 0; track < song.Tracks && end - p >= 8; ++track) {
        uint32_t size = Big32(p + 4);
        bool is_track = std::memcmp(p, "MTrk", 4) == 0;
        p += 8;
        const uint8_t* track_end = p + std::min<uint64_t>(size, static_cast<uint64_t>(end - p));
        if (is_track) {
            int64_t last = 0;
            int64_t start = song.Format == 2 ? song_end_tick : 0;
            ReadTrack(p, track_end, start, track, events, last);
            song_end_tick = std::max(song_end_tick, last);
        } else {
            --track;  // an unknown chunk is not a track
        }
        p = track_end;
    }
    std::stable_sort(events.begin(), events.end(), [](const TTickEvent& a, const TTickEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    // Ticks to microseconds through the tempo map (120 beats a minute until the first change).
    double micros = 0;
    int64_t at_tick = 0;
    double micros_per_tick = smpte ? 1e6 / smpte_ticks_per_second : 500000.0 / division;
    for (TTickEvent& e : events) {
        micros += static_cast<double>(e.tick - at_tick) * micros_per_tick;
        at_tick = e.tick;
        if (e.tempo) {
            if (!smpte) micros_per_tick = static_cast<double>(e.micros_per_quarter) / division;
            continue;
        }
        e.event.Micros = ClampedMicros(micros);
        song.Events.push_back(std::move(e.event));
    }
    micros += static_cast<double>(std::max<int64_t>(song_end_tick - at_tick, 0)) * micros_per_tick;
    song.LengthMicros = ClampedMicros(micros);
    return song;
}

}  // namespace mobu
