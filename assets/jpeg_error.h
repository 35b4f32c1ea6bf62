// The JPEG decoder's error codes and the text that names each one in
// messages to the user.
#pragma once

// Error codes kept in JpegDecoder::errorCode().
namespace jpeg_error {
constexpr int TooManySymbols = -200;         // Huffman table with more than 255 symbols
constexpr int BadHuffmanSlot = -201;         // Huffman table slot of 8 or more
constexpr int BadDhtLength = -202;           // DHT segment length invalid
constexpr int BadDqtLength = -203;           // DQT segment length below 2
constexpr int BadQuantIndex = -204;          // quantisation table index >= 4
constexpr int BadPrecision = -205;           // sample precision other than 8
constexpr int BadHeight = -206;              // height outside 1..8192
constexpr int BadWidth = -207;               // width outside 1..8192
constexpr int TooManyComponents = -208;      // more than 4 components
constexpr int BadFrameLength = -209;         // frame header length mismatch
constexpr int BadSegmentLength = -210;       // skipped segment with length below 2
constexpr int BadDriLength = -211;           // DRI length other than 4
constexpr int BadScanHeader = -212;          // scan header length or component count invalid
constexpr int BadScanComponent = -213;       // scan component not in the frame
constexpr int ArithmeticCoding = -215;       // DAC segment or SOF9 frame
constexpr int UnexpectedMarker = -216;       // marker where it may not occur
constexpr int NoStartOfImage = -217;         // no start-of-image marker
constexpr int UnsupportedFrame = -218;       // unsupported frame type
constexpr int DqtTooShort = -219;            // DQT segment too short for its tables
constexpr int TooManyAllocations = -221;     // more than 100 internal allocations
constexpr int UndefinedQuantTable = -222;    // scan uses an undefined quantisation table
constexpr int UndefinedHuffmanTable = -223;  // scan uses an undefined Huffman table
constexpr int UnsupportedComponents = -225;  // component count other than 1 or 3
constexpr int UnsupportedSampling = -226;    // sampling factors not supported
constexpr int CorruptData = -227;            // corrupt entropy-coded data
constexpr int BadRestartMarker = -228;       // restart marker missing or out of order
constexpr int InternalLimit = -229;          // MCU row too wide, block index out of range
constexpr int BadSpectralSelection = -230;   // bad spectral selection in a progressive scan
constexpr int BadSuccessiveApprox = -231;    // bad successive approximation
constexpr int StreamReadError = -232;        // the stream reported a read error
constexpr int OutOfMemory = -233;            // an internal allocation failed
}  // namespace jpeg_error

// What an error code means, in words for a message ("restart marker missing
// or out of order"); "unknown decoder error" for a code the decoder never gives.
const char* jpegErrorText(int code);
