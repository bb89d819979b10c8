#include "media/channel_matrix.h"

namespace mobu {
namespace {

constexpr float kFold = 0.70710678f;

// The side (-1 left, 1 right, 0 centre) and whether the channel is the LFE, per layout.
int Side(int channel, int channels)
{
    if (channels == 1) return 0;
    if (channels == 3) return channel == 0 ? -1 : channel == 1 ? 1 : 0;  // FL FR LFE
    if (channels == 5) return channel == 2 ? 0 : (channel % 2 == 0 ? -1 : 1);  // FL FR LFE BL BR
    if (channels == 6 || channels == 7 || channels == 8) {
        if (channel == 2 || channel == 3) return 0;  // FC, LFE
        if (channels == 7) return channel == 4 ? 0 : channel == 5 ? -1 : 1;  // BC SL SR
        return channel % 2 == 0 ? -1 : 1;
    }
    return channel % 2 == 0 ? -1 : 1;
}

bool IsFront(int channel, int channels)
{
    if (channels >= 6) return channel <= 2;
    if (channels == 1) return true;
    return channel <= 1;
}

bool IsLfe(int channel, int channels)
{
    return (channels >= 6 && channel == 3) || ((channels == 3 || channels == 5) && channel == 2);
}

}  // namespace

int DeviceChannelSide(int channel, int device_channels) { return Side(channel, device_channels); }

TChannelMatrix MakeChannelMatrix(int source_channels, int device_channels)
{
    TChannelMatrix m{};
    if (source_channels == device_channels) {
        for (int c = 0; c < device_channels; ++c) m[c][c] = 1.0f;
        return m;
    }
    if (source_channels == 1) {
        for (int d = 0; d < device_channels; ++d) {
            if (IsFront(d, device_channels)) m[d][0] = 1.0f;
        }
        return m;
    }
    if (device_channels == 1) {
        if (source_channels == 2) {
            m[0][0] = m[0][1] = 0.5f;
            return m;
        }
        int used = 0;
        for (int s = 0; s < source_channels; ++s) used += IsLfe(s, source_channels) ? 0 : 1;
        for (int s = 0; s < source_channels; ++s) {
            if (!IsLfe(s, source_channels)) m[0][s] = 1.0f / static_cast<float>(used);
        }
        return m;
    }
    // Several channels on both sides: the front pair one to one, the rest onto the device
    // channel of the same side (or both front channels for a centre), folded at -3 dB.
    for (int s = 0; s < source_channels; ++s) {
        if (IsLfe(s, source_channels)) continue;
        if (s < device_channels && Side(s, source_channels) == Side(s, device_channels) &&
            !IsLfe(s, device_channels)) {
            m[s][s] = 1.0f;
            continue;
        }
        int side = Side(s, source_channels);
        if (side <= 0) m[0][s] += kFold;
        if (side >= 0) m[1][s] += kFold;
    }
    return m;
}

}  // namespace mobu
