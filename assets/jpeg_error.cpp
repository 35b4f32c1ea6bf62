// The words for the JPEG decoder's error codes (see jpeg_error.h).
#include "assets/jpeg_error.h"

namespace {

struct ErrorText {
  int code;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {jpeg_error::TooManySymbols, "Huffman table with more than 255 symbols"},
    {jpeg_error::BadHuffmanSlot, "Huffman table slot of 8 or more"},
    {jpeg_error::BadDhtLength, "Huffman table segment length invalid"},
    {jpeg_error::BadDqtLength, "quantisation table segment length below 2"},
    {jpeg_error::BadQuantIndex, "quantisation table index of 4 or more"},
    {jpeg_error::BadPrecision, "sample precision other than 8 bits"},
    {jpeg_error::BadHeight, "image height outside 1..8192"},
    {jpeg_error::BadWidth, "image width outside 1..8192"},
    {jpeg_error::TooManyComponents, "more than 4 components"},
    {jpeg_error::BadFrameLength, "frame header length mismatch"},
    {jpeg_error::BadSegmentLength, "segment length below 2"},
    {jpeg_error::BadDriLength, "restart interval segment length other than 4"},
    {jpeg_error::BadScanHeader, "scan header length or component count invalid"},
    {jpeg_error::BadScanComponent, "scan component not in the frame"},
    {jpeg_error::ArithmeticCoding, "arithmetic coding is not supported"},
    {jpeg_error::UnexpectedMarker, "marker where it may not occur"},
    {jpeg_error::NoStartOfImage, "no start-of-image marker (not a JPEG file)"},
    {jpeg_error::UnsupportedFrame, "unsupported frame type"},
    {jpeg_error::DqtTooShort, "quantisation table segment too short"},
    {jpeg_error::TooManyAllocations, "more than 100 internal allocations"},
    {jpeg_error::UndefinedQuantTable, "scan uses an undefined quantisation table"},
    {jpeg_error::UndefinedHuffmanTable, "scan uses an undefined Huffman table"},
    {jpeg_error::UnsupportedComponents, "component count not supported"},
    {jpeg_error::UnsupportedSampling, "sampling factors not supported"},
    {jpeg_error::CorruptData, "corrupt entropy-coded data"},
    {jpeg_error::BadRestartMarker, "restart marker missing or out of order"},
    {jpeg_error::InternalLimit, "internal limit exceeded"},
    {jpeg_error::BadSpectralSelection, "bad spectral selection in a progressive scan"},
    {jpeg_error::BadSuccessiveApprox, "bad successive approximation in a progressive scan"},
    {jpeg_error::StreamReadError, "read error"},
    {jpeg_error::OutOfMemory, "out of memory"},
};

}  // namespace

const char* jpegErrorText(int code) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.code == code) return entry.text;
  return "unknown decoder error";
}
