// The JPEG decoder: marker parsing, Huffman decoding of sequential and
// progressive scans, restart intervals, the inverse transform and the
// conversion to RGB (from YCbCr, or interleaved where the file codes RGB)
// with replicated chroma.
//
// Errors are recorded with fail(), which keeps the first code. Every loop
// checks the code at block or segment granularity and returns; the byte and
// bit readers stay safe to call after an error (past the end of the stream
// they deliver end-of-image markers and zero bits), so unwinding needs no
// exceptions. The public operation that saw the error releases every buffer.
#include "assets/jpeg_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "assets/jpeg_colour.h"
#include "assets/jpeg_idct.h"
#include "assets/jpeg_stream.h"

namespace {

constexpr int kMaxDimension = 8192;
constexpr int kMaxBlocksPerMcuRow = 6144;
constexpr int kRestartSearchLimit = 1536;
constexpr int kSoiSearchLimit = 511;

enum Marker {
  SOF0 = 0xC0,
  SOF1 = 0xC1,
  SOF2 = 0xC2,
  SOF3 = 0xC3,
  DHT = 0xC4,
  SOF5 = 0xC5,
  SOF6 = 0xC6,
  SOF7 = 0xC7,
  JPG = 0xC8,
  SOF9 = 0xC9,
  SOF10 = 0xCA,
  SOF11 = 0xCB,
  DAC = 0xCC,
  SOF13 = 0xCD,
  SOF14 = 0xCE,
  SOF15 = 0xCF,
  RST0 = 0xD0,
  RST7 = 0xD7,
  SOI = 0xD8,
  EOI = 0xD9,
  SOS = 0xDA,
  DQT = 0xDB,
  DRI = 0xDD,
  APP0 = 0xE0,
  APP14 = 0xEE,
  TEM = 0x01
};

bool isFrameMarker(int m) { return m >= SOF0 && m <= SOF15 && m != DHT && m != JPG && m != DAC; }

// Natural (row-major) index of each zig-zag position.
constexpr uint8_t kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// EXTEND: a received value of `size` bits with a leading 0 bit is negative.
inline int extend(int value, int size) {
  return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

}  // namespace

JpegDecoder::JpegDecoder(jpeg_decoder_stream* stream, bool useSimd)
    : stream_(stream),
      useSimd_(useSimd && idctSimdAvailable()),
      colourSimd_(useSimd && colourSimdAvailable()) {
  buildYCbCrTables(colour_);
  if (!stream_) {
    fail(jpeg_error::StreamReadError);
    return;
  }
  stream_->attach();
  findStartOfImage();
  if (!errorCode_) {
    int marker = readMarkers();
    if (!errorCode_) readFrameHeader(marker);
  }
  if (errorCode_) stop();
}

JpegDecoder::~JpegDecoder() = default;

// ---- Errors and memory ------------------------------------------------------

void JpegDecoder::fail(int code) {
  if (!errorCode_) errorCode_ = code;
}

void JpegDecoder::stop() {
  for (auto& a : allocations_) a.reset();
  allocationCount_ = 0;
  for (auto& c : components_) {
    c.store = nullptr;
    c.plane = nullptr;
  }
  lineBuffer_ = nullptr;
  mcuBlock_ = nullptr;
  if (stream_) stream_->detach();
}

uint8_t* JpegDecoder::allocate(size_t bytes) {
  if (allocationCount_ == kMaxAllocations) {
    fail(jpeg_error::TooManyAllocations);
    return nullptr;
  }
  uint8_t* p = new (std::nothrow) uint8_t[bytes]();
  if (!p) {
    fail(jpeg_error::OutOfMemory);
    return nullptr;
  }
  allocations_[allocationCount_++].reset(p);
  return p;
}

// ---- Input bytes --------------------------------------------------------------

// Refills the input buffer; past the end of the stream (or after a read
// error) it holds end-of-image markers, so every reader meets a marker.
// `needed` is false for the bit reader's read-ahead: meeting the end there
// means an early end only once the scan uses the zero bits that follow.
void JpegDecoder::refill(bool needed) {
  inPos_ = 0;
  inEnd_ = 0;
  if (!streamEnded_) {
    bool endOfFile = false;
    int count = stream_->read(input_, kInputSize, &endOfFile);
    if (count < 0) {
      fail(jpeg_error::StreamReadError);
      count = 0;
    }
    count = std::min(count, kInputSize);
    if (count == 0 || endOfFile) streamEnded_ = true;
    if (count > 0) {
      inEnd_ = count;
      return;
    }
  }
  for (int i = 0; i < kPadPairs; ++i) {
    input_[2 * i] = 0xFF;
    input_[2 * i + 1] = EOI;
  }
  inEnd_ = 2 * kPadPairs;
  if (!errorCode_) {
    pastEnd_ = true;
    if (needed) endedEarly_ = true;
  }
}

int JpegDecoder::nextWord() {
  int high = nextByte();
  return (high << 8) | nextByte();
}

// The marker the bit reader met, taken over by a marker reader. The bit
// reader stops reading at a marker, so one met after the end of the stream
// is the stand-in end-of-image marker: the file ended before it was complete.
int JpegDecoder::takePendingMarker() {
  int m = marker_;
  marker_ = 0;
  if (pastEnd_) endedEarly_ = true;
  return m;
}

// The next marker code: one met by the bit reader, or the next FF xx in the
// input with xx not 0 (stuffed data) and not FF (fill). Bytes before it are skipped.
int JpegDecoder::nextMarker() {
  if (marker_) return takePendingMarker();
  for (;;) {
    if (nextByte() != 0xFF) continue;
    int code = nextByte();
    while (code == 0xFF) code = nextByte();
    if (code != 0) return code;
  }
}

// Like nextMarker, but gives up (returns 0) after `limit` bytes without one.
int JpegDecoder::skipToMarker(int limit) {
  if (marker_) return takePendingMarker();
  for (int scanned = 0; scanned < limit; ++scanned) {
    if (nextByte() != 0xFF) continue;
    int code = nextByte();
    while (code == 0xFF) code = nextByte();
    if (code != 0) return code;
  }
  return 0;
}

// ---- Headers --------------------------------------------------------------------

void JpegDecoder::findStartOfImage() {
  int previous = nextByte();
  int current = nextByte();
  for (int i = 0; !(previous == 0xFF && current == SOI); ++i) {
    if (i == kSoiSearchLimit) {
      fail(jpeg_error::NoStartOfImage);
      endedEarly_ = false;  // not a JPEG file at all, rather than one cut short
      return;
    }
    previous = current;
    current = nextByte();
  }
  if (peekByte() != 0xFF) fail(jpeg_error::NoStartOfImage);
}

// Reads table and miscellaneous segments; returns the frame, scan, SOI or
// EOI marker that ends them (0 after an error).
int JpegDecoder::readMarkers() {
  while (!errorCode_) {
    int m = nextMarker();
    if (isFrameMarker(m) || m == SOI || m == EOI || m == SOS) return m;
    if (m == DHT) {
      readHuffmanTables();
    } else if (m == DQT) {
      readQuantTables();
    } else if (m == DRI) {
      readRestartInterval();
    } else if (m == APP0 || m == APP14) {
      readAppSegment(m);
    } else if (m == DAC) {
      fail(jpeg_error::ArithmeticCoding);
    } else if ((m >= RST0 && m <= RST7) || m == TEM || m == JPG) {
      fail(jpeg_error::UnexpectedMarker);
    } else {
      skipSegment();
    }
  }
  return 0;
}

void JpegDecoder::skipSegment() {
  int length = nextWord();
  if (length < 2) {
    fail(jpeg_error::BadSegmentLength);
    return;
  }
  for (int i = 2; i < length; ++i) nextByte();
}

// APP0 and APP14 are read for the JFIF and Adobe markers, which say how the
// colour components are coded; other segments of the same markers are skipped.
void JpegDecoder::readAppSegment(int marker) {
  int length = nextWord();
  if (length < 2) return fail(jpeg_error::BadSegmentLength);
  // "Adobe", version (2 bytes), flags (2 x 2 bytes), transform.
  constexpr int kAdobeLength = 12;
  uint8_t head[kAdobeLength] = {};
  const int payload = length - 2, kept = std::min(payload, kAdobeLength);
  for (int i = 0; i < kept; ++i) head[i] = nextByte();
  for (int i = kept; i < payload; ++i) nextByte();
  if (marker == APP0 && kept >= 5 && std::memcmp(head, "JFIF", 5) == 0) jfif_ = true;
  if (marker == APP14 && kept == kAdobeLength && std::memcmp(head, "Adobe", 5) == 0)
    adobeTransform_ = head[kAdobeLength - 1];
}

// Three components are YCbCr unless the file says they are R, G and B.
bool JpegDecoder::codedAsRgb() const {
  if (componentCount_ != 3 || jfif_) return false;
  if (adobeTransform_ >= 0) return adobeTransform_ == 0;
  return components_[0].id == 'R' && components_[1].id == 'G' && components_[2].id == 'B';
}

void JpegDecoder::readFrameHeader(int marker) {
  if (marker == SOF0 || marker == SOF1) {
    progressive_ = false;
  } else if (marker == SOF2) {
    progressive_ = true;
  } else if (marker == SOF9) {
    fail(jpeg_error::ArithmeticCoding);
    return;
  } else if (isFrameMarker(marker)) {
    fail(jpeg_error::UnsupportedFrame);
    return;
  } else {
    fail(jpeg_error::UnexpectedMarker);  // scan or end of image before any frame
    return;
  }
  int length = nextWord();
  int precision = nextByte();
  int h = nextWord();
  int w = nextWord();
  int count = nextByte();
  if (precision != 8) return fail(jpeg_error::BadPrecision);
  if (h < 1 || h > kMaxDimension) return fail(jpeg_error::BadHeight);
  if (w < 1 || w > kMaxDimension) return fail(jpeg_error::BadWidth);
  if (count > 4) return fail(jpeg_error::TooManyComponents);
  if (length != 8 + 3 * count) return fail(jpeg_error::BadFrameLength);
  height_ = h;
  width_ = w;
  componentCount_ = count;
  for (int i = 0; i < count; ++i) {
    Component& c = components_[i];
    c.id = nextByte();
    int sampling = nextByte();
    c.h = sampling >> 4;
    c.v = sampling & 15;
    c.quantIndex = nextByte();
  }
}

void JpegDecoder::readHuffmanTables() {
  int left = nextWord() - 2;
  if (left < 0) return fail(jpeg_error::BadDhtLength);
  while (left > 0 && !errorCode_) {
    if (left < 17) return fail(jpeg_error::BadDhtLength);
    int classAndIndex = nextByte();
    int slot = (classAndIndex & 15) + ((classAndIndex & 0x10) ? 4 : 0);
    if (slot >= 8) return fail(jpeg_error::BadHuffmanSlot);
    uint8_t counts[16];
    int total = 0;
    for (int i = 0; i < 16; ++i) {
      counts[i] = nextByte();
      total += counts[i];
    }
    if (total > 255) return fail(jpeg_error::TooManySymbols);
    left -= 17;
    if (left < total) return fail(jpeg_error::BadDhtLength);
    left -= total;

    HuffmanTable& t = huffman_[slot];
    for (int i = 0; i < total; ++i) t.values[i] = nextByte();
    t.symbolCount = total;
    std::memset(t.fast, 0, sizeof t.fast);
    // Canonical codes: consecutive within a length, doubled at each new length.
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
      t.valueIndex[length] = index;
      t.minCode[length] = code;
      for (int i = 0; i < counts[length - 1]; ++i, ++code, ++index) {
        // Codes that overflow their length (an over-full table) never match.
        if (length <= 9 && code < (1 << length)) {
          int first = code << (9 - length);
          uint16_t entry = static_cast<uint16_t>((length << 8) | t.values[index]);
          std::fill(t.fast + first, t.fast + first + (1 << (9 - length)), entry);
        }
      }
      t.maxCode[length] = counts[length - 1] ? code - 1 : -1;
      code <<= 1;
    }
    for (int bits = 0; bits < 512; ++bits) {
      t.fastAc[bits] = 0;
      int length = t.fast[bits] >> 8, run = (t.fast[bits] >> 4) & 15, size = t.fast[bits] & 15;
      if (!t.fast[bits] || !size || length + size > 9) continue;
      int value = extend((bits >> (9 - length - size)) & ((1 << size) - 1), size);
      t.fastAc[bits] =
          static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | (run << 8) | (length + size);
    }
    t.defined = true;
  }
}

void JpegDecoder::readQuantTables() {
  int left = nextWord() - 2;
  if (left < 0) return fail(jpeg_error::BadDqtLength);
  while (left > 0 && !errorCode_) {
    int precisionAndIndex = nextByte();
    int index = precisionAndIndex & 15;
    bool wide = (precisionAndIndex >> 4) != 0;
    if (index >= 4) return fail(jpeg_error::BadQuantIndex);
    if (left < 1 + (wide ? 128 : 64)) return fail(jpeg_error::DqtTooShort);
    left -= 1 + (wide ? 128 : 64);
    for (int k = 0; k < 64; ++k)
      quantTables_[index][kZigZag[k]] = static_cast<uint16_t>(wide ? nextWord() : nextByte());
    quantDefined_[index] = true;
  }
}

void JpegDecoder::readRestartInterval() {
  if (nextWord() != 4) return fail(jpeg_error::BadDriLength);
  restartInterval_ = nextWord();
}

void JpegDecoder::readScanHeader() {
  int length = nextWord();
  int count = nextByte();
  if (count < 1 || count > 4 || length != 6 + 2 * count) return fail(jpeg_error::BadScanHeader);
  scanCount_ = count;
  for (int i = 0; i < count; ++i) {
    int id = nextByte();
    int tables = nextByte();
    int found = -1;
    for (int j = 0; j < componentCount_ && found < 0; ++j)
      if (components_[j].id == id) found = j;
    if (found < 0) return fail(jpeg_error::BadScanComponent);
    scanComponents_[i] = found;
    components_[found].dcTable = tables >> 4;
    components_[found].acTable = (tables & 15) + 4;
  }
  spectralStart_ = nextByte();
  spectralEnd_ = nextByte();
  int approx = nextByte();
  approxHigh_ = approx >> 4;
  approxLow_ = approx & 15;
  if (!progressive_) {
    spectralStart_ = 0;
    spectralEnd_ = 63;
    approxHigh_ = approxLow_ = 0;
  }
}

// Checks the scan against the frame and its tables and resets the entropy decoder.
void JpegDecoder::startScan() {
  if (progressive_) {
    if (spectralEnd_ < spectralStart_ || spectralEnd_ > 63 ||
        (spectralStart_ == 0 && spectralEnd_ != 0) || (spectralStart_ > 0 && scanCount_ != 1))
      return fail(jpeg_error::BadSpectralSelection);
    if (approxHigh_ != 0 && approxHigh_ != approxLow_ + 1)
      return fail(jpeg_error::BadSuccessiveApprox);
  }
  bool needDc = spectralStart_ == 0 && approxHigh_ == 0;
  bool needAc = spectralEnd_ > 0;
  for (int i = 0; i < scanCount_; ++i) {
    Component& c = components_[scanComponents_[i]];
    if (c.quantIndex >= 4 || !quantDefined_[c.quantIndex])
      return fail(jpeg_error::UndefinedQuantTable);
    if ((needDc && (c.dcTable >= 8 || !huffman_[c.dcTable].defined)) ||
        (needAc && (c.acTable >= 8 || !huffman_[c.acTable].defined)))
      return fail(jpeg_error::UndefinedHuffmanTable);
    if (!c.quantLatched) {
      std::memcpy(c.quant, quantTables_[c.quantIndex], sizeof c.quant);
      c.quantLatched = true;
    }
  }
  nextRestart_ = 0;
  resetEntropy();
}

// Frame set-up in begin(): output kind, MCU grid and the per-row buffers.
void JpegDecoder::initFrame() {
  if (componentCount_ == 1) {
    // A lone component is never interleaved: its MCU is one 8x8 block.
    components_[0].h = components_[0].v = 1;
    lumaH_ = lumaV_ = 1;
  } else if (componentCount_ == 3) {
    const Component* c = components_;
    bool lumaOk = c[0].h >= 1 && c[0].h <= 2 && c[0].v >= 1 && c[0].v <= 2;
    bool chromaOk = c[1].h == 1 && c[1].v == 1 && c[2].h == 1 && c[2].v == 1;
    if (!lumaOk || !chromaOk) return fail(jpeg_error::UnsupportedSampling);
    lumaH_ = c[0].h;
    lumaV_ = c[0].v;
  } else {
    return fail(jpeg_error::UnsupportedComponents);
  }
  mcuWidth_ = 8 * lumaH_;
  mcuHeight_ = 8 * lumaV_;
  mcusWide_ = (width_ + mcuWidth_ - 1) / mcuWidth_;
  mcusHigh_ = (height_ + mcuHeight_ - 1) / mcuHeight_;
  int blocksPerMcu = lumaH_ * lumaV_ + (componentCount_ == 3 ? 2 : 0);
  if (mcusWide_ * blocksPerMcu > kMaxBlocksPerMcuRow) return fail(jpeg_error::InternalLimit);

  for (int i = 0; i < componentCount_; ++i) {
    Component& c = components_[i];
    c.blocksWide = mcusWide_ * c.h;
    c.blocksHigh = mcusHigh_ * c.v;
    c.planeStride = c.blocksWide * 8;
    c.plane = allocate(static_cast<size_t>(c.planeStride) * 8 * c.v);
  }
  int paddedWidth = (width_ + 15) / 16 * 16;
  lineBuffer_ = allocate(static_cast<size_t>(paddedWidth) * 4);
  mcuBlock_ = reinterpret_cast<int16_t*>(allocate(64 * sizeof(int16_t)));
}

// ---- Public operations --------------------------------------------------------

int JpegDecoder::begin() {
  if (errorCode_) return -1;
  if (begun_) return 0;
  initFrame();
  int marker = errorCode_ ? 0 : readMarkers();
  if (!errorCode_ && marker == SOS) readScanHeader();
  rgb_ = codedAsRgb();
  // One sequential scan holding every component in frame order is decoded
  // row by row as lines are asked for; anything else goes through whole-image
  // coefficient stores.
  bool streaming = !errorCode_ && !progressive_ && marker == SOS && scanCount_ == componentCount_;
  for (int i = 0; streaming && i < scanCount_; ++i) streaming = scanComponents_[i] == i;
  if (!errorCode_ && marker != SOS && marker != EOI) fail(jpeg_error::UnexpectedMarker);
  scanPending_ = marker == SOS;
  if (!errorCode_) {
    if (streaming) {
      startScan();
    } else {
      wholeImage_ = true;
      decodeWholeImage();
    }
  }
  if (errorCode_) {
    stop();
    return -1;
  }
  begun_ = true;
  return 0;
}

int JpegDecoder::decode(const uint8_t** line, int* length) {
  if (errorCode_ || !begun_) return -1;
  if (linesDone_ >= height_) return 1;
  if (linesDone_ == 0 || lineInRow_ == mcuHeight_) {
    produceMcuRow();
    if (errorCode_) {
      stop();
      return errorCode_;
    }
    lineInRow_ = 0;
  }
  *line = convertLine(lineInRow_);
  *length = width_ * bytesPerPixel();
  ++lineInRow_;
  ++linesDone_;
  return 0;
}

// ---- Entropy decoding -----------------------------------------------------------

// Tops the bit buffer up to at least 57 bits. A marker stops the data: it is
// kept in marker_ and zero bits are supplied from then on, counted in
// zeroBits_ (they are the lowest bits of the buffer).
inline void JpegDecoder::fillBits() {
  while (bitCount_ <= 56) {
    uint64_t byte = 0;
    if (!marker_ && inPos_ < inEnd_ && input_[inPos_] != 0xFF) {
      byte = input_[inPos_++];  // the common case: a plain data byte already buffered
    } else if (!marker_) {
      byte = nextScanByte();
      if (byte == 0xFF) {
        int code = nextScanByte();
        while (code == 0xFF) code = nextScanByte();
        if (code != 0) {
          marker_ = code;
          byte = 0;
        }
      }
    }
    if (marker_) {
      noteZeroBitsUsed();
      zeroBits_ += 8;
    }
    bits_ |= byte << (56 - bitCount_);
    bitCount_ += 8;
  }
}

// Called before zero bits are added, before the bit buffer is emptied and
// after the last MCU row: fewer bits left than zero bits supplied means the
// scan used some of them. After the end of the stream they stood in for data
// the file does not have. The count then drops to the bits left, all zeros,
// so it stays within the buffer's size however long a scan runs on.
void JpegDecoder::noteZeroBitsUsed() {
  if (bitCount_ >= zeroBits_) return;
  if (pastEnd_) endedEarly_ = true;
  zeroBits_ = bitCount_;
}

inline int JpegDecoder::getBits(int count) {
  if (count == 0) return 0;
  if (bitCount_ < count) fillBits();
  int value = static_cast<int>(bits_ >> (64 - count));
  bits_ <<= count;
  bitCount_ -= count;
  return value;
}

inline int JpegDecoder::getBit() { return getBits(1); }

inline int JpegDecoder::decodeSymbol(const HuffmanTable& t) {
  if (bitCount_ < 16) fillBits();
  uint16_t entry = t.fast[bits_ >> (64 - 9)];
  if (entry) {
    int length = entry >> 8;
    bits_ <<= length;
    bitCount_ -= length;
    return entry & 0xFF;
  }
  int32_t code16 = static_cast<int32_t>(bits_ >> 48);
  for (int length = 10; length <= 16; ++length) {
    int32_t code = code16 >> (16 - length);
    if (t.maxCode[length] >= 0 && code <= t.maxCode[length] && code >= t.minCode[length]) {
      int index = t.valueIndex[length] + code - t.minCode[length];
      if (index >= t.symbolCount) break;
      bits_ <<= length;
      bitCount_ -= length;
      return t.values[index];
    }
  }
  fail(jpeg_error::CorruptData);
  return 0;
}

void JpegDecoder::resetEntropy() {
  noteZeroBitsUsed();
  bits_ = 0;
  bitCount_ = 0;
  zeroBits_ = 0;
  eobRun_ = 0;
  restartsLeft_ = restartInterval_;
  for (auto& c : components_) c.dcPredictor = 0;
}

// Called before each MCU: at the end of a restart interval the next marker
// must be the expected RSTn; the entropy decoder then starts afresh.
inline void JpegDecoder::restartIfDue() {
  if (!restartInterval_) return;
  if (restartsLeft_ == 0) {
    noteZeroBitsUsed();
    bits_ = 0;
    bitCount_ = 0;
    zeroBits_ = 0;
    int m = skipToMarker(kRestartSearchLimit);
    if (m != RST0 + (nextRestart_ & 7)) {
      if (m) marker_ = m;
      return fail(jpeg_error::BadRestartMarker);
    }
    ++nextRestart_;
    resetEntropy();
  }
  --restartsLeft_;
}

// One block of a sequential scan: DC difference, then AC run/size pairs.
void JpegDecoder::decodeBlock(Component& c, int16_t* block) {
  std::memset(block, 0, 64 * sizeof(int16_t));
  int size = decodeSymbol(huffman_[c.dcTable]);
  if (size > 16) return fail(jpeg_error::CorruptData);
  int diff = size ? extend(getBits(size), size) : 0;
  c.dcPredictor = static_cast<int16_t>(c.dcPredictor + diff);
  block[0] = static_cast<int16_t>(c.dcPredictor);
  const HuffmanTable& ac = huffman_[c.acTable];
  for (int k = 1; k < 64;) {
    if (bitCount_ < 16) fillBits();
    int32_t fast = ac.fastAc[bits_ >> (64 - 9)];
    if (fast) {
      k += (fast >> 8) & 15;
      if (k > 63) return fail(jpeg_error::CorruptData);
      bits_ <<= fast & 15;
      bitCount_ -= fast & 15;
      block[kZigZag[k++]] = static_cast<int16_t>(fast >> 16);
      continue;
    }
    int rs = decodeSymbol(ac);
    int run = rs >> 4, s = rs & 15;
    if (s) {
      k += run;
      if (k > 63) return fail(jpeg_error::CorruptData);
      block[kZigZag[k]] = static_cast<int16_t>(extend(getBits(s), s));
      ++k;
    } else if (run == 15) {
      k += 16;
    } else {
      break;
    }
  }
}

void JpegDecoder::decodeDcFirst(Component& c, int16_t* block) {
  int size = decodeSymbol(huffman_[c.dcTable]);
  if (size > 16) return fail(jpeg_error::CorruptData);
  int diff = size ? extend(getBits(size), size) : 0;
  c.dcPredictor = static_cast<int16_t>(c.dcPredictor + diff);
  block[0] = static_cast<int16_t>(c.dcPredictor * (1 << approxLow_));
}

void JpegDecoder::decodeDcRefine(int16_t* block) {
  if (getBit()) block[0] = static_cast<int16_t>(block[0] | (1 << approxLow_));
}

void JpegDecoder::decodeAcFirst(int16_t* block) {
  if (eobRun_ > 0) {
    --eobRun_;
    return;
  }
  const HuffmanTable& ac = huffman_[components_[scanComponents_[0]].acTable];
  for (int k = spectralStart_; k <= spectralEnd_;) {
    int rs = decodeSymbol(ac);
    int run = rs >> 4, s = rs & 15;
    if (s) {
      k += run;
      if (k > spectralEnd_) return fail(jpeg_error::CorruptData);
      block[kZigZag[k]] = static_cast<int16_t>(extend(getBits(s), s) * (1 << approxLow_));
      ++k;
    } else if (run == 15) {
      k += 16;
    } else {
      eobRun_ = (1 << run) + getBits(run) - 1;
      break;
    }
  }
}

// Refinement of an AC band: one correction bit for every coefficient that
// is already nonzero, and new coefficients of magnitude 1 << Al placed
// after `run` coefficients that are still zero.
void JpegDecoder::decodeAcRefine(int16_t* block) {
  const int plus = 1 << approxLow_, minus = -plus;
  auto refine = [&](int16_t& coefficient) {
    if (getBit() && (coefficient & plus) == 0)
      coefficient = static_cast<int16_t>(coefficient + (coefficient >= 0 ? plus : minus));
  };
  int k = spectralStart_;
  if (eobRun_ == 0) {
    const HuffmanTable& ac = huffman_[components_[scanComponents_[0]].acTable];
    for (; k <= spectralEnd_ && !errorCode_; ++k) {
      int rs = decodeSymbol(ac);
      int run = rs >> 4, s = rs & 15;
      int value = 0;
      if (s) {
        if (s != 1) return fail(jpeg_error::CorruptData);
        value = getBit() ? plus : minus;
      } else if (run != 15) {
        eobRun_ = (1 << run) + getBits(run);
        break;
      }
      // Skip `run` zero coefficients, refining the nonzero ones passed over.
      for (; k <= spectralEnd_; ++k) {
        int16_t& coefficient = block[kZigZag[k]];
        if (coefficient) {
          refine(coefficient);
        } else {
          if (run == 0) break;
          --run;
        }
      }
      if (value) {
        if (k > spectralEnd_) return fail(jpeg_error::CorruptData);
        block[kZigZag[k]] = static_cast<int16_t>(value);
      }
    }
  }
  if (eobRun_ > 0) {
    for (; k <= spectralEnd_; ++k) {
      int16_t& coefficient = block[kZigZag[k]];
      if (coefficient) refine(coefficient);
    }
    --eobRun_;
  }
}

void JpegDecoder::decodeScanBlock(Component& c, int16_t* block) {
  if (!progressive_) {
    decodeBlock(c, block);
  } else if (spectralStart_ == 0) {
    if (approxHigh_ == 0)
      decodeDcFirst(c, block);
    else
      decodeDcRefine(block);
  } else if (approxHigh_ == 0) {
    decodeAcFirst(block);
  } else {
    decodeAcRefine(block);
  }
}

// Decodes the current scan into the coefficient stores. An interleaved scan
// walks MCUs; a one-component scan walks that component's own block grid,
// which covers only the blocks that hold image samples.
void JpegDecoder::decodeScanToStores() {
  if (scanCount_ == 1) {
    Component& c = components_[scanComponents_[0]];
    int compWidth = (width_ * c.h + lumaH_ - 1) / lumaH_;
    int compHeight = (height_ * c.v + lumaV_ - 1) / lumaV_;
    int wide = (compWidth + 7) / 8, high = (compHeight + 7) / 8;
    if (wide > c.blocksWide || high > c.blocksHigh) return fail(jpeg_error::InternalLimit);
    for (int by = 0; by < high && !errorCode_; ++by) {
      for (int bx = 0; bx < wide && !errorCode_; ++bx) {
        restartIfDue();
        decodeScanBlock(c, c.store + (static_cast<size_t>(by) * c.blocksWide + bx) * 64);
      }
    }
    return;
  }
  for (int my = 0; my < mcusHigh_ && !errorCode_; ++my) {
    for (int mx = 0; mx < mcusWide_ && !errorCode_; ++mx) {
      restartIfDue();
      for (int i = 0; i < scanCount_ && !errorCode_; ++i) {
        Component& c = components_[scanComponents_[i]];
        for (int y = 0; y < c.v; ++y) {
          for (int x = 0; x < c.h; ++x) {
            size_t bx = static_cast<size_t>(mx) * c.h + x, by = static_cast<size_t>(my) * c.v + y;
            decodeScanBlock(c, c.store + (by * c.blocksWide + bx) * 64);
          }
        }
      }
    }
  }
}

// Allocates the stores and decodes every scan up to the end of the image.
// The first scan header (if any) has been read already.
void JpegDecoder::decodeWholeImage() {
  for (int i = 0; i < componentCount_ && !errorCode_; ++i) {
    Component& c = components_[i];
    c.store = reinterpret_cast<int16_t*>(
        allocate(static_cast<size_t>(c.blocksWide) * c.blocksHigh * 64 * sizeof(int16_t)));
  }
  while (scanPending_ && !errorCode_) {
    startScan();
    if (!errorCode_) decodeScanToStores();
    if (errorCode_) return;
    noteZeroBitsUsed();
    int marker = readMarkers();
    if (errorCode_) return;
    if (marker == SOS) {
      readScanHeader();
    } else if (marker != EOI) {
      fail(jpeg_error::UnexpectedMarker);
    } else {
      scanPending_ = false;
    }
  }
  // A component that no scan reached has no latched table: its blocks are all
  // zero, so any table gives the same mid-grey samples.
  for (int i = 0; i < componentCount_; ++i)
    if (!components_[i].quantLatched) std::fill_n(components_[i].quant, 64, uint16_t(1));
}

// ---- Output ------------------------------------------------------------------------

inline void JpegDecoder::transformBlock(Component& c, const int16_t* block, int x, int y) {
  uint8_t* out = c.plane + static_cast<size_t>(y) * c.planeStride + x;
  if (useSimd_)
    idctBlockSimd(block, c.quant, out, c.planeStride);
  else
    idctBlock(block, c.quant, out, c.planeStride);
}

// Fills the sample planes with the next MCU row, from the stream or the stores.
void JpegDecoder::produceMcuRow() {
  if (mcuRow_ >= mcusHigh_) return fail(jpeg_error::InternalLimit);
  for (int mx = 0; mx < mcusWide_ && !errorCode_; ++mx) {
    if (!wholeImage_) restartIfDue();
    for (int i = 0; i < componentCount_ && !errorCode_; ++i) {
      Component& c = components_[i];
      for (int y = 0; y < c.v; ++y) {
        for (int x = 0; x < c.h; ++x) {
          size_t bx = static_cast<size_t>(mx) * c.h + x;
          const int16_t* block;
          if (wholeImage_) {
            size_t by = static_cast<size_t>(mcuRow_) * c.v + y;
            block = c.store + (by * c.blocksWide + bx) * 64;
          } else {
            decodeBlock(c, mcuBlock_);
            if (errorCode_) return;
            block = mcuBlock_;
          }
          transformBlock(c, block, static_cast<int>(bx) * 8, y * 8);
        }
      }
    }
  }
  if (!wholeImage_) noteZeroBitsUsed();
  ++mcuRow_;
}

// One output line of the current MCU row: greyscale straight from the luma
// plane, colour through the tables with each chroma sample replicated over
// lumaH_ x lumaV_ pixels. In an RGB-coded file the three planes hold R, G and
// B, replicated the same way. The planes and the line buffer are padded to
// whole MCUs, which the vector conversion relies on.
const uint8_t* JpegDecoder::convertLine(int lineInRow) {
  const Component* c = components_;
  const uint8_t* luma = c[0].plane + static_cast<size_t>(lineInRow) * c[0].planeStride;
  if (componentCount_ == 1) return luma;
  int chromaRow = lineInRow / lumaV_;
  const uint8_t* cb = c[1].plane + static_cast<size_t>(chromaRow) * c[1].planeStride;
  const uint8_t* cr = c[2].plane + static_cast<size_t>(chromaRow) * c[2].planeStride;
  const int chromaCount = (width_ + lumaH_ - 1) / lumaH_;
  if (rgb_)
    interleaveRgbLine(luma, cb, cr, chromaCount, lumaH_, lineBuffer_);
  else if (colourSimd_)
    convertYCbCrLineSimd(luma, cb, cr, chromaCount, lumaH_, lineBuffer_);
  else
    convertYCbCrLine(colour_, luma, cb, cr, chromaCount, lumaH_, lineBuffer_);
  return lineBuffer_;
}
