// Colour output lines for the JPEG decoder: YCbCr to RGB through the four
// chroma tables, or RGB-coded components interleaved, with each sample of the
// second and third component replicated over 1 or 2 pixels.
// Output pixels are 4 bytes: R, G, B and a fourth byte set to 255.
// The AVX2 form of the YCbCr conversion computes the table formulas directly
// and gives the same bytes.
#pragma once

#include <cstdint>

struct YCbCrTables {
  // Indexed by the chroma byte c, k = c - 128: red (91882 k + 2^15) >> 16,
  // blue (116130 k + 2^15) >> 16; the green terms -46802 k and -22554 k + 2^15
  // are added and then shifted right by 16.
  int32_t redFromCr[256], blueFromCb[256], greenFromCr[256], greenFromCb[256];
  static constexpr int kSaturateBias = 384;
  uint8_t saturate[1024];  // saturate[v + bias] = v limited to 0..255
};

void buildYCbCrTables(YCbCrTables& tables);

// Converts chromaCount chroma samples, i.e. chromaCount * lumaH pixels
// (lumaH 1 or 2), into out (4 bytes per pixel).
void convertYCbCrLine(const YCbCrTables& tables, const uint8_t* luma, const uint8_t* cb,
                      const uint8_t* cr, int chromaCount, int lumaH, uint8_t* out);

// RGB-coded components: red as luma is laid out (sampleCount * redH pixels),
// green and blue one sample per sampleCount, replicated over redH pixels.
void interleaveRgbLine(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                       int sampleCount, int redH, uint8_t* out);

bool colourSimdAvailable();
// Same bytes as convertYCbCrLine; reads and writes whole groups of 8 chroma
// samples, so the rows must be padded to a multiple of 8 chroma samples.
void convertYCbCrLineSimd(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr,
                          int chromaCount, int lumaH, uint8_t* out);
