// How a source's channels reach the device's, both in SDL's channel orders (1: mono,
// 2: FL FR, 4: FL FR BL BR, 6: FL FR FC LFE BL BR, 8: ... SL SR). Mono goes to every front
// channel at unity; stereo to mono is (L + R) / 2; equal counts map one to one; other
// pairs fold the extra channels onto the sides.
#pragma once

#include <array>

namespace mobu {

constexpr int kMatrixChannels = 8;
using TChannelMatrix = std::array<std::array<float, kMatrixChannels>, kMatrixChannels>;  // [device][source]

TChannelMatrix MakeChannelMatrix(int source_channels, int device_channels);
// -1 for a left channel of the device layout, 1 for a right one, 0 for centre and LFE.
int DeviceChannelSide(int channel, int device_channels);

}  // namespace mobu
