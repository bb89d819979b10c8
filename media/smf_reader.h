// The standard MIDI file reader: formats 0, 1 and 2, also inside a RIFF "RMID" file. Tracks
// are merged in time order (format 2 tracks play one after another), running status is
// followed, tempo changes form the tempo map, and every event gets its time in
// microseconds. Damage is survived, never read past: a track whose length runs past the
// file is cut at the end; a number longer than 4 bytes, running status without a status, or
// a SysEx or meta event running past its track ends that track; tempo 0 is ignored.
// Division 0 and data that is no MIDI file raise "サウンドデータが不正です".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

struct TMidiEvent {
    int64_t Micros = 0;  // time from the start of the song
    uint8_t Status = 0;  // a channel message (0x80..0xEF) or 0xF0 (SysEx)
    uint8_t Data1 = 0;
    uint8_t Data2 = 0;
    std::string SysEx;   // the SysEx bytes after 0xF0
};

struct TMidiSong {
    int Format = 0;
    int Tracks = 0;
    std::vector<TMidiEvent> Events;  // in time order
    int64_t LengthMicros = 0;        // the time of the last event (end-of-track included)

    // Times are held below about three years: far beyond any song, and small enough that a
    // time in microseconds times any sample rate stays inside 64 bits.
    static constexpr int64_t kMaxMicros = 100'000'000'000'000;
};

TMidiSong ReadStandardMidiFile(const std::string& bytes);
// Whether the bytes start like a MIDI file ("MThd", or RIFF "RMID").
bool LooksLikeMidiFile(const std::string& bytes);

}  // namespace mobu
