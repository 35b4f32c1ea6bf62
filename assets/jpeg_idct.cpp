// Scalar and AVX2 forms of the decoder's inverse DCT (see jpeg_idct.h).
//
// The 8-point transform is the Loeffler-Ligtenberg-Moschytz factorisation
// with its twelve multipliers scaled by 2^13. Rows are transformed first and
// rounded to 2 fraction bits (shift 11); columns are then rounded by shift 18,
// level-shifted by 128 and saturated.
#include "assets/jpeg_idct.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TESSALY_IDCT_X86 1
#endif

namespace {

using u32 = uint32_t;

constexpr u32 kF0_298 = 2446;   // 0.298631336
constexpr u32 kF0_390 = 3196;   // 0.390180644
constexpr u32 kF0_541 = 4433;   // 0.541196100
constexpr u32 kF0_765 = 6270;   // 0.765366865
constexpr u32 kF0_899 = 7373;   // 0.899976223
constexpr u32 kF1_175 = 9633;   // 1.175875602
constexpr u32 kF1_501 = 12299;  // 1.501321110
constexpr u32 kF1_847 = 15137;  // 1.847759065
constexpr u32 kF1_961 = 16069;  // 1.961570560
constexpr u32 kF2_053 = 16819;  // 2.053119869
constexpr u32 kF2_562 = 20995;  // 2.562915447
constexpr u32 kF3_072 = 25172;  // 3.072711026

constexpr int kRowShift = 11;
constexpr int kColumnShift = 18;

// Rounding right shift of a wrapped 32-bit value, read as signed.
inline int32_t descale(u32 x, int shift) {
  return static_cast<int32_t>(x + (u32(1) << (shift - 1))) >> shift;
}

// One 8-point transform; inputs and outputs are wrapped 32-bit values, the
// outputs carry 13 more fraction bits than the inputs.
inline void transform8(const u32 in[8], u32 out[8]) {
  // Even part.
  u32 z1 = (in[2] + in[6]) * kF0_541;
  u32 t2 = z1 - in[6] * kF1_847;
  u32 t3 = z1 + in[2] * kF0_765;
  u32 t0 = (in[0] + in[4]) << 13;
  u32 t1 = (in[0] - in[4]) << 13;
  u32 e10 = t0 + t3, e13 = t0 - t3, e11 = t1 + t2, e12 = t1 - t2;

  // Odd part.
  u32 o0 = in[7], o1 = in[5], o2 = in[3], o3 = in[1];
  u32 a1 = o0 + o3, a2 = o1 + o2, a3 = o0 + o2, a4 = o1 + o3;
  u32 a5 = (a3 + a4) * kF1_175;
  o0 *= kF0_298;
  o1 *= kF2_053;
  o2 *= kF3_072;
  o3 *= kF1_501;
  a1 *= 0u - kF0_899;
  a2 *= 0u - kF2_562;
  a3 = a3 * (0u - kF1_961) + a5;
  a4 = a4 * (0u - kF0_390) + a5;
  o0 += a1 + a3;
  o1 += a2 + a4;
  o2 += a2 + a3;
  o3 += a1 + a4;

  out[0] = e10 + o3;
  out[7] = e10 - o3;
  out[1] = e11 + o2;
  out[6] = e11 - o2;
  out[2] = e12 + o1;
  out[5] = e12 - o1;
  out[3] = e13 + o0;
  out[4] = e13 - o0;
}

inline uint8_t toSample(int32_t v) { return static_cast<uint8_t>(std::clamp(v + 128, 0, 255)); }

}  // namespace

void idctBlock(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, int stride) {
  u32 work[64];
  for (int row = 0; row < 8; ++row) {
    u32 in[8];
    bool acZero = true;
    for (int k = 0; k < 8; ++k) {
      in[k] =
          static_cast<u32>(coefficients[row * 8 + k] * static_cast<int32_t>(quant[row * 8 + k]));
      if (k && in[k]) acZero = false;
    }
    u32* dst = work + row * 8;
    if (acZero) {
      // DC times 4 for every real coefficient; written as the full transform
      // computes it so that wrapped hostile values agree with the vector path.
      std::fill(dst, dst + 8, static_cast<u32>(descale(in[0] << 13, kRowShift)));
      continue;
    }
    u32 res[8];
    transform8(in, res);
    for (int k = 0; k < 8; ++k) dst[k] = static_cast<u32>(descale(res[k], kRowShift));
  }
  for (int column = 0; column < 8; ++column) {
    u32 in[8], res[8];
    for (int k = 0; k < 8; ++k) in[k] = work[k * 8 + column];
    transform8(in, res);
    for (int k = 0; k < 8; ++k) out[k * stride + column] = toSample(descale(res[k], kColumnShift));
  }
}

#ifdef TESSALY_IDCT_X86

bool idctSimdAvailable() { return __builtin_cpu_supports("avx2"); }

namespace {

#define TESSALY_AVX2 __attribute__((target("avx2")))

TESSALY_AVX2 inline __m256i mulConst(__m256i v, u32 c) {
  return _mm256_mullo_epi32(v, _mm256_set1_epi32(static_cast<int32_t>(c)));
}

// Eight 8-point transforms at once: lane i of v[k] is input k of transform i.
TESSALY_AVX2 inline void transform8x8(const __m256i in[8], __m256i out[8]) {
  __m256i z1 = mulConst(_mm256_add_epi32(in[2], in[6]), kF0_541);
  __m256i t2 = _mm256_sub_epi32(z1, mulConst(in[6], kF1_847));
  __m256i t3 = _mm256_add_epi32(z1, mulConst(in[2], kF0_765));
  __m256i t0 = _mm256_slli_epi32(_mm256_add_epi32(in[0], in[4]), 13);
  __m256i t1 = _mm256_slli_epi32(_mm256_sub_epi32(in[0], in[4]), 13);
  __m256i e10 = _mm256_add_epi32(t0, t3), e13 = _mm256_sub_epi32(t0, t3);
  __m256i e11 = _mm256_add_epi32(t1, t2), e12 = _mm256_sub_epi32(t1, t2);

  __m256i o0 = in[7], o1 = in[5], o2 = in[3], o3 = in[1];
  __m256i a1 = _mm256_add_epi32(o0, o3), a2 = _mm256_add_epi32(o1, o2);
  __m256i a3 = _mm256_add_epi32(o0, o2), a4 = _mm256_add_epi32(o1, o3);
  __m256i a5 = mulConst(_mm256_add_epi32(a3, a4), kF1_175);
  o0 = mulConst(o0, kF0_298);
  o1 = mulConst(o1, kF2_053);
  o2 = mulConst(o2, kF3_072);
  o3 = mulConst(o3, kF1_501);
  a1 = mulConst(a1, 0u - kF0_899);
  a2 = mulConst(a2, 0u - kF2_562);
  a3 = _mm256_add_epi32(mulConst(a3, 0u - kF1_961), a5);
  a4 = _mm256_add_epi32(mulConst(a4, 0u - kF0_390), a5);
  o0 = _mm256_add_epi32(o0, _mm256_add_epi32(a1, a3));
  o1 = _mm256_add_epi32(o1, _mm256_add_epi32(a2, a4));
  o2 = _mm256_add_epi32(o2, _mm256_add_epi32(a2, a3));
  o3 = _mm256_add_epi32(o3, _mm256_add_epi32(a1, a4));

  out[0] = _mm256_add_epi32(e10, o3);
  out[7] = _mm256_sub_epi32(e10, o3);
  out[1] = _mm256_add_epi32(e11, o2);
  out[6] = _mm256_sub_epi32(e11, o2);
  out[2] = _mm256_add_epi32(e12, o1);
  out[5] = _mm256_sub_epi32(e12, o1);
  out[3] = _mm256_add_epi32(e13, o0);
  out[4] = _mm256_sub_epi32(e13, o0);
}

TESSALY_AVX2 inline __m256i descale8(__m256i v, int shift) {
  __m256i rounded = _mm256_add_epi32(v, _mm256_set1_epi32(1 << (shift - 1)));
  return _mm256_srai_epi32(rounded, shift);
}

// Transposes an 8x8 matrix of 32-bit lanes held in eight registers.
TESSALY_AVX2 inline void transpose8x8(__m256i r[8]) {
  __m256i t0 = _mm256_unpacklo_epi32(r[0], r[1]), t1 = _mm256_unpackhi_epi32(r[0], r[1]);
  __m256i t2 = _mm256_unpacklo_epi32(r[2], r[3]), t3 = _mm256_unpackhi_epi32(r[2], r[3]);
  __m256i t4 = _mm256_unpacklo_epi32(r[4], r[5]), t5 = _mm256_unpackhi_epi32(r[4], r[5]);
  __m256i t6 = _mm256_unpacklo_epi32(r[6], r[7]), t7 = _mm256_unpackhi_epi32(r[6], r[7]);
  __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
  __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
  __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
  __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
  r[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
  r[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
  r[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
  r[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
  r[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
  r[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
  r[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
  r[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

}  // namespace

TESSALY_AVX2 void idctBlockSimd(const int16_t* coefficients, const uint16_t* quant, uint8_t* out,
                                int stride) {
  // Dequantise row by row: register r holds row r as eight 32-bit values.
  __m256i v[8];
  for (int row = 0; row < 8; ++row) {
    __m256i c = _mm256_cvtepi16_epi32(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + row * 8)));
    __m256i q =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(quant + row * 8)));
    v[row] = _mm256_mullo_epi32(c, q);
  }
  // Row pass: lanes are rows, register k holds coefficient k of every row.
  transpose8x8(v);
  __m256i res[8];
  transform8x8(v, res);
  // A row whose AC coefficients are all zero comes out as its DC times 4,
  // exactly as the scalar shortcut fills it.
  for (int k = 0; k < 8; ++k) res[k] = descale8(res[k], kRowShift);
  // Column pass: lanes are columns, register r holds intermediate row r.
  transpose8x8(res);
  transform8x8(res, v);
  const __m256i bias = _mm256_set1_epi32(128);
  for (int row = 0; row < 8; ++row) {
    __m256i s = _mm256_add_epi32(descale8(v[row], kColumnShift), bias);
    __m256i words = _mm256_packs_epi32(s, s);  // saturates to 16 bits, keeps order per lane
    __m128i lo = _mm256_castsi256_si128(words), hi = _mm256_extracti128_si256(words, 1);
    __m128i bytes = _mm_packus_epi16(_mm_unpacklo_epi64(lo, hi), _mm_setzero_si128());
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + row * stride), bytes);
  }
}

#else

bool idctSimdAvailable() { return false; }
void idctBlockSimd(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, int stride) {
  idctBlock(coefficients, quant, out, stride);
}

#endif
