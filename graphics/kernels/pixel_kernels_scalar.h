// The scalar row kernels, also used by the packed versions for their row tails.
#pragma once

#include <cstdint>

namespace mobu::kernels::scalar {

void Blend32Row(uint32_t* dst, const uint32_t* src, int count, int alpha, int32_t key);
void Blend24Row(uint8_t* dst, const uint8_t* src, int count, int alpha, int32_t key);
void Blend16Row(uint16_t* dst, const uint16_t* src, int count, int alpha, int32_t key, bool is565);
void Masked32Row(uint32_t* dst, const uint32_t* src, const uint8_t* alpha, int count);
void Masked24Row(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int count);
void Masked16Row(uint16_t* dst, const uint16_t* src, const uint8_t* alpha, int count, bool is565);
void Widen16To32Row(uint32_t* dst, const uint16_t* src, int count, bool is565, bool replicate, uint32_t top);
void Narrow32To16Row(uint16_t* dst, const uint32_t* src, int count, bool is565);
void Expand24To32Row(uint32_t* dst, const uint8_t* src, int count, uint32_t top);
void Pack32To24Row(uint8_t* dst, const uint32_t* src, int count);
void BlurAddRow(uint32_t* sums, const uint32_t* row, int count);
void BlurSubRow(uint32_t* sums, const uint32_t* row, int count);
void BlurDivideRow(uint32_t* out, const uint32_t* sums, const uint32_t* widths, uint32_t height_count, int count);

}  // namespace mobu::kernels::scalar
