// JPEG decoder: Huffman-coded sequential (baseline and extended, 8-bit) and
// progressive images, greyscale or three-component colour with the first
// component sampled 1x1, 2x1, 1x2 or 2x2 against the other two, delivered one
// output line at a time. Colour is YCbCr unless the file says its components
// are R, G and B (see begin()).
//
// Usage: construct on a stream (reads the headers), test errorCode(), read
// width() and height(), call begin(), then call decode() once per line.
// Colour lines hold 4 bytes per pixel (R, G, B, then 255 for callers to ignore); greyscale
// lines hold 1 byte per pixel. Errors never throw: the first error code is
// kept in errorCode() and every later begin() or decode() returns -1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "assets/jpeg_colour.h"
#include "assets/jpeg_error.h"

class jpeg_decoder_stream;

class JpegDecoder {
 public:
  // Takes the stream (not owned; it must outlive the decoder) and reads the
  // headers up to and including the frame header. useSimd selects the vector
  // transform where the processor has it; the pixels are the same either way.
  JpegDecoder(jpeg_decoder_stream* stream, bool useSimd);
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  int errorCode() const { return errorCode_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // 1 for greyscale, 4 for colour; known once the headers have been read.
  int bytesPerPixel() const { return componentCount_ == 1 ? 1 : 4; }
  // True once the decoder needed data past the end of the stream: the file
  // was cut short. That is no error by itself; the missing part decodes as
  // an early end of the scan makes it (and a missing restart marker fails).
  bool endedEarly() const { return endedEarly_; }

  // Prepares the frame; a progressive image (or a sequential one split into
  // several scans) is entropy-decoded completely here. 0 on success (also on
  // a repeated call), -1 on error. Three components are converted from YCbCr
  // unless the file codes them as RGB: a JFIF marker means YCbCr; without
  // one, an Adobe marker's transform flag decides (0 = RGB); without either,
  // components named 'R', 'G', 'B' are RGB.
  int begin();

  // Next output line, top to bottom: 0 with *line and *length (bytes) set,
  // valid until the next call; 1 once every line has been delivered; the
  // error code when this call meets an error (-227 for a corrupt MCU row);
  // -1 when the decoder was already in error or begin() has not succeeded.
  int decode(const uint8_t** line, int* length);

 private:
  static constexpr int kInputSize = 4096;
  static constexpr int kPadPairs = 64;
  static constexpr int kMaxAllocations = 100;

  struct HuffmanTable {
    bool defined = false;
    uint16_t fast[512];  // 9-bit look-ahead: (length << 8) | symbol, 0 = longer code
    // AC tables: code and value bits together within 9 bits, as
    // (value << 16) | (run << 8) | total length; 0 = use the symbol path.
    int32_t fastAc[512];
    int32_t minCode[17];
    int32_t maxCode[17];
    int32_t valueIndex[17];
    int symbolCount = 0;
    uint8_t values[256];
  };

  struct Component {
    int id = 0;
    int h = 1, v = 1;  // sampling factors used for the MCU layout
    int quantIndex = 0;
    bool quantLatched = false;
    uint16_t quant[64];  // natural order, latched at the component's first scan
    int dcTable = 0, acTable = 0;
    int dcPredictor = 0;
    int blocksWide = 0, blocksHigh = 0;  // coefficient store grid (whole MCUs)
    int16_t* store = nullptr;            // 64 coefficients per block, whole-image mode
    uint8_t* plane = nullptr;            // one MCU row of samples
    int planeStride = 0;
  };

  // Error handling.
  void fail(int code);
  void stop();
  uint8_t* allocate(size_t bytes);

  // Input bytes.
  void refill(bool needed);
  uint8_t nextByte() {
    if (inPos_ == inEnd_) refill(true);
    return input_[inPos_++];
  }
  uint8_t peekByte() {
    if (inPos_ == inEnd_) refill(true);
    return input_[inPos_];
  }
  // The bit reader's byte: it reads ahead of what the scan needs.
  uint8_t nextScanByte() {
    if (inPos_ == inEnd_) refill(false);
    return input_[inPos_++];
  }
  int nextWord();
  int takePendingMarker();
  int nextMarker();
  int skipToMarker(int limit);

  // Headers and tables.
  void findStartOfImage();
  int readMarkers();
  void readFrameHeader(int marker);
  void readHuffmanTables();
  void readQuantTables();
  void readRestartInterval();
  void readAppSegment(int marker);
  bool codedAsRgb() const;
  void skipSegment();
  void readScanHeader();
  void startScan();
  void initFrame();

  // Entropy decoding.
  void fillBits();
  void noteZeroBitsUsed();
  int getBits(int count);
  int getBit();
  int decodeSymbol(const HuffmanTable& table);
  void resetEntropy();
  void restartIfDue();
  void decodeBlock(Component& c, int16_t* block);
  void decodeDcFirst(Component& c, int16_t* block);
  void decodeDcRefine(int16_t* block);
  void decodeAcFirst(int16_t* block);
  void decodeAcRefine(int16_t* block);
  void decodeScanToStores();
  void decodeScanBlock(Component& c, int16_t* block);
  void decodeWholeImage();

  // Output.
  void produceMcuRow();
  void transformBlock(Component& c, const int16_t* block, int x, int y);
  const uint8_t* convertLine(int lineInRow);

  jpeg_decoder_stream* stream_;
  bool useSimd_;
  int errorCode_ = 0;
  int width_ = 0, height_ = 0;

  uint8_t input_[kInputSize + 2 * kPadPairs];
  int inPos_ = 0, inEnd_ = 0;
  bool streamEnded_ = false;
  bool pastEnd_ = false;     // stand-in end-of-image markers have been read
  bool endedEarly_ = false;  // the image needed data past the end of the stream

  uint16_t quantTables_[4][64];
  bool quantDefined_[4] = {};
  HuffmanTable huffman_[8];
  int restartInterval_ = 0;

  bool jfif_ = false;
  int adobeTransform_ = -1;  // the Adobe marker's transform flag, -1 without one
  bool rgb_ = false;         // three components coded as R, G, B

  bool progressive_ = false;
  int componentCount_ = 0;
  Component components_[4];
  int lumaH_ = 1, lumaV_ = 1;
  int mcuWidth_ = 8, mcuHeight_ = 8, mcusWide_ = 0, mcusHigh_ = 0;

  int scanCount_ = 0;
  int scanComponents_[4] = {};
  int spectralStart_ = 0, spectralEnd_ = 63, approxHigh_ = 0, approxLow_ = 0;
  bool scanPending_ = false;

  uint64_t bits_ = 0;
  int bitCount_ = 0;
  int marker_ = 0;    // marker met by the bit reader, not yet consumed
  int zeroBits_ = 0;  // zero bits supplied after marker_, at the bottom of bits_
  int eobRun_ = 0;
  int restartsLeft_ = 0;
  int nextRestart_ = 0;

  bool begun_ = false;
  bool wholeImage_ = false;
  int mcuRow_ = 0;
  int lineInRow_ = 0;
  int linesDone_ = 0;
  uint8_t* lineBuffer_ = nullptr;
  int16_t* mcuBlock_ = nullptr;

  YCbCrTables colour_;
  bool colourSimd_;

  std::unique_ptr<uint8_t[]> allocations_[kMaxAllocations];
  int allocationCount_ = 0;
};
