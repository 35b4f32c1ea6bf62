// Scalar and AVX2 YCbCr-to-RGB line conversion, and RGB interleaving (see
// jpeg_colour.h).
#include "assets/jpeg_colour.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TESSALY_COLOUR_X86 1
#endif

namespace {
constexpr int32_t kRedCr = 91882, kBlueCb = 116130, kGreenCr = -46802, kGreenCb = -22554;
constexpr int32_t kHalf = 32768;
}  // namespace

void buildYCbCrTables(YCbCrTables& t) {
  for (int c = 0; c < 256; ++c) {
    int k = c - 128;
    t.redFromCr[c] = (kRedCr * k + kHalf) >> 16;
    t.blueFromCb[c] = (kBlueCb * k + kHalf) >> 16;
    t.greenFromCr[c] = kGreenCr * k;
    t.greenFromCb[c] = kGreenCb * k + kHalf;
  }
  for (int i = 0; i < 1024; ++i)
    t.saturate[i] = static_cast<uint8_t>(std::clamp(i - YCbCrTables::kSaturateBias, 0, 255));
}

void convertYCbCrLine(const YCbCrTables& t, const uint8_t* luma, const uint8_t* cb,
                      const uint8_t* cr, int chromaCount, int lumaH, uint8_t* out) {
  const uint8_t* limit = t.saturate + YCbCrTables::kSaturateBias;
  for (int x = 0; x < chromaCount; ++x) {
    int b = cb[x], r = cr[x];
    int red = t.redFromCr[r];
    int green = (t.greenFromCb[b] + t.greenFromCr[r]) >> 16;
    int blue = t.blueFromCb[b];
    for (int i = 0; i < lumaH; ++i, out += 4) {
      int y = *luma++;
      out[0] = limit[y + red];
      out[1] = limit[y + green];
      out[2] = limit[y + blue];
      out[3] = 255;
    }
  }
}

void interleaveRgbLine(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                       int sampleCount, int redH, uint8_t* out) {
  for (int x = 0; x < sampleCount; ++x) {
    for (int i = 0; i < redH; ++i, out += 4) {
      out[0] = *red++;
      out[1] = green[x];
      out[2] = blue[x];
      out[3] = 255;
    }
  }
}

#ifdef TESSALY_COLOUR_X86

bool colourSimdAvailable() { return __builtin_cpu_supports("avx2"); }

namespace {

#define TESSALY_AVX2 __attribute__((target("avx2")))

// Eight pixels: luma and the three offsets as 32-bit lanes, packed to RGBA.
TESSALY_AVX2 inline void storePixels(__m256i y, __m256i red, __m256i green, __m256i blue,
                                     uint8_t* out) {
  const __m256i zero = _mm256_setzero_si256(), max = _mm256_set1_epi32(255);
  __m256i r = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(y, red), zero), max);
  __m256i g = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(y, green), zero), max);
  __m256i b = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(y, blue), zero), max);
  __m256i rgba =
      _mm256_or_si256(_mm256_or_si256(r, _mm256_slli_epi32(g, 8)),
                      _mm256_or_si256(_mm256_slli_epi32(b, 16),
                                      _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u))));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), rgba);
}

TESSALY_AVX2 inline __m256i load8(const uint8_t* p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

}  // namespace

TESSALY_AVX2 void convertYCbCrLineSimd(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr,
                                       int chromaCount, int lumaH, uint8_t* out) {
  const __m256i bias = _mm256_set1_epi32(128), half = _mm256_set1_epi32(kHalf);
  const __m256i firstHalf = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
  const __m256i secondHalf = _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7);
  for (int x = 0; x < chromaCount; x += 8) {
    __m256i kb = _mm256_sub_epi32(load8(cb + x), bias);
    __m256i kr = _mm256_sub_epi32(load8(cr + x), bias);
    __m256i red = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(kr, _mm256_set1_epi32(kRedCr)), half), 16);
    __m256i blue = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(kb, _mm256_set1_epi32(kBlueCb)), half), 16);
    __m256i green = _mm256_srai_epi32(
        _mm256_add_epi32(
            _mm256_add_epi32(_mm256_mullo_epi32(kb, _mm256_set1_epi32(kGreenCb)), half),
            _mm256_mullo_epi32(kr, _mm256_set1_epi32(kGreenCr))),
        16);
    if (lumaH == 1) {
      storePixels(load8(luma + x), red, green, blue, out + 4 * x);
      continue;
    }
    const uint8_t* y = luma + 2 * x;
    uint8_t* o = out + 8 * x;
    storePixels(load8(y), _mm256_permutevar8x32_epi32(red, firstHalf),
                _mm256_permutevar8x32_epi32(green, firstHalf),
                _mm256_permutevar8x32_epi32(blue, firstHalf), o);
    storePixels(load8(y + 8), _mm256_permutevar8x32_epi32(red, secondHalf),
                _mm256_permutevar8x32_epi32(green, secondHalf),
                _mm256_permutevar8x32_epi32(blue, secondHalf), o + 32);
  }
}

#else

bool colourSimdAvailable() { return false; }
void convertYCbCrLineSimd(const uint8_t*, const uint8_t*, const uint8_t*, int, int, uint8_t*) {}

#endif
