// The words for the JPEG decoder's error codes (see jpeg_error.h).
#include "assets/jpeg_error.h"

const char* jpegErrorText(int code) {
  switch (code) {
    case jpeg_error::TooManySymbols:
      return "Huffman table with more than 255 symbols";
    case jpeg_error::BadHuffmanSlot:
      return "Huffman table slot of 8 or more";
    case jpeg_error::BadDhtLength:
      return "Huffman table segment length invalid";
    case jpeg_error::BadDqtLength:
      return "quantisation table segment length below 2";
    case jpeg_error::BadQuantIndex:
      return "quantisation table index of 4 or more";
    case jpeg_error::BadPrecision:
      return "sample precision other than 8 bits";
    case jpeg_error::BadHeight:
      return "image height outside 1..8192";
    case jpeg_error::BadWidth:
      return "image width outside 1..8192";
    case jpeg_error::TooManyComponents:
      return "more than 4 components";
    case jpeg_error::BadFrameLength:
      return "frame header length mismatch";
    case jpeg_error::BadSegmentLength:
      return "segment length below 2";
    case jpeg_error::BadDriLength:
      return "restart interval segment length other than 4";
    case jpeg_error::BadScanHeader:
      return "scan header length or component count invalid";
    case jpeg_error::BadScanComponent:
      return "scan component not in the frame";
    case jpeg_error::ArithmeticCoding:
      return "arithmetic coding is not supported";
    case jpeg_error::UnexpectedMarker:
      return "marker where it may not occur";
    case jpeg_error::NoStartOfImage:
      return "no start-of-image marker (not a JPEG file)";
    case jpeg_error::UnsupportedFrame:
      return "unsupported frame type";
    case jpeg_error::DqtTooShort:
      return "quantisation table segment too short";
    case jpeg_error::TooManyAllocations:
      return "more than 100 internal allocations";
    case jpeg_error::UndefinedQuantTable:
      return "scan uses an undefined quantisation table";
    case jpeg_error::UndefinedHuffmanTable:
      return "scan uses an undefined Huffman table";
    case jpeg_error::UnsupportedComponents:
      return "component count not supported";
    case jpeg_error::UnsupportedSampling:
      return "sampling factors not supported";
    case jpeg_error::CorruptData:
      return "corrupt entropy-coded data";
    case jpeg_error::BadRestartMarker:
      return "restart marker missing or out of order";
    case jpeg_error::InternalLimit:
      return "internal limit exceeded";
    case jpeg_error::BadSpectralSelection:
      return "bad spectral selection in a progressive scan";
    case jpeg_error::BadSuccessiveApprox:
      return "bad successive approximation in a progressive scan";
    case jpeg_error::StreamReadError:
      return "read error";
    case jpeg_error::OutOfMemory:
      return "out of memory";
  }
  return "unknown decoder error";
}
