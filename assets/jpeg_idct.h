// The decoder's 8x8 inverse DCT: dequantisation, a separable integer
// transform (rows first, 13-bit constants, two extra fraction bits between
// the passes), level shift and saturation to 8-bit samples.
//
// Arithmetic is 32-bit two's complement with wrap-around, so the result is
// defined for every input, including hostile coefficients. The AVX2 variant
// computes exactly the same samples.
#pragma once

#include <cstdint>

// coefficients and quant are in natural (row-major) order; out receives 8 rows
// of 8 samples, stride bytes apart.
void idctBlock(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, int stride);

// True when the processor offers the vector transform.
bool idctSimdAvailable();
// Same contract and results as idctBlock; call only when idctSimdAvailable().
void idctBlockSimd(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, int stride);
