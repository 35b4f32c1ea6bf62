// Level, loudness, timing and spectrum measurements of a soundtrack.
#include "analysis.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "loudness.h"
#include "platform/band_magnitudes.h"

namespace synth {

namespace {

using Complex = std::complex<double>;

double toDb(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-10)); }

long sampleAt(const StereoBuffer& track, double t) {
  return std::clamp(std::lround(t * kSampleRate), 0L, static_cast<long>(track.frames()));
}

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<Complex>& data) {
  const size_t n = data.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(data[i], data[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    Complex step = std::polar(1.0, -2.0 * kPi / length);
    for (size_t i = 0; i < n; i += length) {
      Complex w(1.0, 0.0);
      for (size_t k = 0; k < length / 2; ++k) {
        Complex a = data[i + k];
        Complex b = data[i + k + length / 2] * w;
        data[i + k] = a + b;
        data[i + k + length / 2] = a - b;
        w *= step;
      }
    }
  }
}

// Hann-windowed spectrum of `size` mono samples centred on sample `centre`
// (zeros outside the track).
std::vector<Complex> windowedSpectrum(const StereoBuffer& track, long centre, size_t size,
                                      double& windowPower) {
  std::vector<Complex> data(size);
  windowPower = 0.0;
  long first = centre - static_cast<long>(size / 2);
  for (size_t i = 0; i < size; ++i) {
    double w = 0.5 - 0.5 * std::cos(2.0 * kPi * i / size);
    windowPower += w * w;
    long n = first + static_cast<long>(i);
    double x = (n >= 0 && n < static_cast<long>(track.frames()))
                   ? 0.5 * (track.left[n] + track.right[n])
                   : 0.0;
    data[i] = Complex(x * w, 0.0);
  }
  fft(data);
  return data;
}

// Edges of the four bands the loudness lines report, in Hz.
const double kBandEdges[5] = {20.0, 150.0, 1000.0, 5000.0, 20000.0};

struct Section {
  double from, to;
  const char* name;
  bool full;
};

// The arrangement's sections; `full` marks those where the whole band plays.
const Section kSections[] = {
    {0.0, 12.0, "intro", false},         {12.0, 20.0, "kick in", false},
    {20.0, 36.0, "first drop", true},    {36.0, 68.0, "tunnel groove", true},
    {68.0, 100.0, "bass drive", true},   {100.0, 131.5, "tunnel peak", true},
    {131.5, 132.5, "break", false},      {132.5, 148.0, "calm", false},
    {148.0, 164.0, "second drop", true}, {164.0, 180.0, "third drop", true},
    {180.0, 198.0, "climax", true},      {198.0, 205.0, "fade", false},
};

// The drops: where the music comes back in full after thinning out.
const double kDrops[] = {20.0, 36.0, 68.0, 100.0, 148.0, 164.0, 180.0};

// The stretches a drop's step compares, in seconds before and after it.
constexpr double kBeforeDrop = 4.0;
constexpr double kAfterDrop = 3.0;

double sectionEnd(const StereoBuffer& track, const Section& s) {
  return std::min(s.to, static_cast<double>(track.frames()) / kSampleRate);
}

void printKicks(const StereoBuffer& track, std::ostream& out) {
  std::vector<float> low = lowBand(track);
  out << "Kick onsets against whole seconds (onset = middle of the steepest 2 ms rise below 180 "
         "Hz, at least 0.1 of full scale)\n";
  for (const Section& s : kSections) {
    int heard = 0, seconds = 0;
    double worst = 0.0, total = 0.0;
    for (int n = static_cast<int>(std::ceil(s.from)); n < sectionEnd(track, s); ++n) {
      ++seconds;
      double offset;
      if (kickOnset(low, n, offset)) {
        ++heard;
        total += offset;
        worst = std::max(worst, std::fabs(offset));
      }
    }
    out << "  " << std::setw(6) << s.from << "-" << std::setw(5) << s.to << " s  " << std::setw(13)
        << std::left << s.name << std::right << "  kicks on " << std::setw(2) << heard << " of "
        << std::setw(2) << seconds << " whole seconds";
    if (heard)
      out << std::fixed << std::setprecision(2) << ", mean offset " << total / heard
          << " ms, worst |offset| " << worst << " ms" << std::defaultfloat << std::setprecision(6);
    out << "\n";
  }
}

// Per whole second of a section: the largest value of `band` the show sees
// within 150 ms after the second (frames at 60 per second), and the mean
// value between 200 and 450 ms after it.
void beatStatistics(const StereoBuffer& track, const Section& s, int band, double& peakMean,
                    double& peakMin, double& between) {
  float bands[platform::kSpectrumBands];
  int seconds = 0, betweenCount = 0;
  peakMean = 0.0, peakMin = 1e9, between = 0.0;
  for (int n = static_cast<int>(std::ceil(s.from)); n < sectionEnd(track, s); ++n) {
    double peak = 0.0;
    for (int f = 1; f <= 9; ++f) {
      spectrumAt(track, n + f / 60.0, bands);
      peak = std::max(peak, static_cast<double>(bands[band]));
    }
    for (int f = 12; f <= 27; ++f) {
      spectrumAt(track, n + f / 60.0, bands);
      between += bands[band];
      ++betweenCount;
    }
    peakMean += peak;
    peakMin = std::min(peakMin, peak);
    ++seconds;
  }
  if (seconds) peakMean /= seconds;
  if (betweenCount) between /= betweenCount;
  if (!seconds) peakMin = 0.0;
}

void printSpectrum(const StereoBuffer& track, std::ostream& out) {
  out << "Show spectrum (512 bands of the last 1024 mono samples, Hann, full-scale sine = 1.0), "
         "per section:\n"
      << "  on-beat = largest value in the 150 ms after each whole second (mean / lowest over the "
         "seconds),\n"
      << "  between = mean value 200-450 ms after each whole second\n";
  out << std::fixed << std::setprecision(2);
  for (const Section& s : kSections) {
    out << "  " << std::setw(6) << s.from << "-" << std::setw(6) << s.to << " s " << std::setw(13)
        << std::left << s.name << std::right;
    for (int band : {2, 8, 9, 10, 11}) {
      double peakMean, peakMin, between;
      beatStatistics(track, s, band, peakMean, peakMin, between);
      out << "  b" << band << " " << peakMean << "/" << peakMin << " vs " << between;
    }
    out << "\n";
  }
  // A few seconds frame by frame, where the visuals follow the music.
  float bands[platform::kSpectrumBands];
  struct Strip {
    double from;
    int band;
  };
  for (Strip strip : {Strip{6.0, 8}, Strip{22.0, 8}, Strip{70.0, 2}, Strip{110.0, 2}}) {
    out << "  band " << strip.band << " every 1/30 s from " << strip.from << " s:";
    for (int f = 0; f < 60; ++f) {
      spectrumAt(track, strip.from + f / 30.0, bands);
      out << (f % 15 == 0 ? "\n    " : " ") << bands[strip.band];
    }
    out << "\n";
  }
  out << std::defaultfloat << std::setprecision(6);
}

// Colour ramp for the spectrogram: black, violet, red, orange, pale yellow.
void heatColour(double x, png_byte* rgb) {
  static const double kStops[5][3] = {
      {0, 0, 0}, {70, 20, 110}, {200, 40, 60}, {250, 150, 30}, {255, 250, 200}};
  x = std::clamp(x, 0.0, 1.0) * 4.0;
  int i = std::min(3, static_cast<int>(x));
  double f = x - i;
  for (int c = 0; c < 3; ++c)
    rgb[c] = static_cast<png_byte>(kStops[i][c] + f * (kStops[i + 1][c] - kStops[i][c]));
}

}  // namespace

LevelReport measureLevels(const StereoBuffer& track) {
  LevelReport report{};
  double peak = 0.0, sumL = 0.0, sumR = 0.0, power = 0.0;
  for (size_t i = 0; i < track.frames(); ++i) {
    for (float x : {track.left[i], track.right[i]}) {
      peak = std::max(peak, static_cast<double>(std::fabs(x)));
      if (std::fabs(x) >= 32767.0f / 32768.0f) ++report.clippedSamples;
      power += static_cast<double>(x) * x;
    }
    sumL += track.left[i];
    sumR += track.right[i];
  }
  double frames = std::max<double>(1.0, static_cast<double>(track.frames()));
  report.peakDbfs = toDb(peak);
  report.dcLeft = sumL / frames;
  report.dcRight = sumR / frames;
  report.rmsDbfs = 10.0 * std::log10(std::max(power / (2.0 * frames), 1e-20));
  std::vector<double> steps = kWeightedSteps(track);
  report.loudnessLufs =
      gatedLoudness(steps, 0.0, static_cast<double>(track.frames()) / kSampleRate);
  report.loudnessRangeLu = loudnessRange(steps);
  report.truePeakDbfs = truePeakDbfs(track);
  return report;
}

std::vector<float> lowBand(const StereoBuffer& track) {
  std::vector<float> low(track.frames());
  Svf first, second;
  first.set(180.0, 0.0);
  second.set(180.0, 0.0);
  for (size_t i = 0; i < track.frames(); ++i) {
    first.process(0.5f * (track.left[i] + track.right[i]));
    second.process(first.low);
    low[i] = second.low;
  }
  // Peak follower with a 50 ms decay: an envelope without dips between cycles.
  const float decay = static_cast<float>(std::exp(-1.0 / (0.05 * kSampleRate)));
  float envelope = 0.0f;
  for (float& x : low) {
    envelope = std::max(std::fabs(x), envelope * decay);
    x = envelope;
  }
  return low;
}

bool kickOnset(const std::vector<float>& low, int second, double& offsetMs) {
  const long size = static_cast<long>(low.size());
  const long rise = kSampleRate / 500;  // 2 ms
  const long centre = static_cast<long>(second) * kSampleRate;
  const long from = std::max(rise, centre - kSampleRate / 20);
  const long to = std::min(size, centre + kSampleRate / 20);
  // The kick's attack is the steepest rise of the low band near the second.
  long steepestAt = -1;
  float steepest = 0.0f;
  for (long i = from; i < to; ++i) {
    float step = low[i] - low[i - rise];
    if (step > steepest) steepest = step, steepestAt = i;
  }
  if (steepestAt < 0 || steepest < 0.1f) return false;
  // Report the middle of that 2 ms rise.
  offsetMs = 1000.0 * static_cast<double>(steepestAt - rise / 2 - centre) / kSampleRate;
  return true;
}

std::vector<double> bandLevelsDb(const StereoBuffer& track, double from, double to,
                                 const std::vector<std::pair<double, double>>& bands) {
  const size_t size = 8192;
  std::vector<double> power(bands.size(), 0.0);
  int frames = 0;
  for (long centre = sampleAt(track, from) + size / 2;
       centre + static_cast<long>(size / 2) <= sampleAt(track, to); centre += size / 2) {
    double windowPower;
    std::vector<Complex> spectrum = windowedSpectrum(track, centre, size, windowPower);
    for (size_t b = 0; b < bands.size(); ++b) {
      double sum = 0.0;
      for (size_t k = 1; k < size / 2; ++k) {
        double hz = static_cast<double>(k) * kSampleRate / size;
        if (hz >= bands[b].first && hz <= bands[b].second) sum += std::norm(spectrum[k]);
      }
      // Parseval: twice the positive-frequency power over N * sum(w^2) is the
      // mean square of the windowed band.
      power[b] += 2.0 * sum / (size * windowPower);
    }
    ++frames;
  }
  std::vector<double> levels;
  for (double p : power)
    levels.push_back(frames ? 10.0 * std::log10(std::max(p / frames, 1e-20)) : -200.0);
  return levels;
}

double bandLevelDb(const StereoBuffer& track, double from, double to, double lowHz, double highHz) {
  return bandLevelsDb(track, from, to, {{lowHz, highHz}})[0];
}

double rmsDb(const StereoBuffer& track, double from, double to) {
  long a = sampleAt(track, from), b = sampleAt(track, to);
  double power = 0.0;
  for (long i = a; i < b; ++i)
    power += static_cast<double>(track.left[i]) * track.left[i] +
             static_cast<double>(track.right[i]) * track.right[i];
  return b > a ? 10.0 * std::log10(std::max(power / (2.0 * (b - a)), 1e-20)) : -200.0;
}

void spectrumAt(const StereoBuffer& track, double t, float* bands) {
  float mono[platform::kSpectrumWindow];
  long end = sampleAt(track, t);
  for (int i = 0; i < platform::kSpectrumWindow; ++i) {
    long n = end - platform::kSpectrumWindow + i;
    mono[i] = n >= 0 ? 0.5f * (track.left[n] + track.right[n]) : 0.0f;
  }
  platform::computeSpectrum(mono, bands);
}

std::vector<SectionLoudness> measureSections(const StereoBuffer& track) {
  std::vector<double> steps = kWeightedSteps(track);
  std::vector<SectionLoudness> sections;
  for (const Section& s : kSections) {
    double end = sectionEnd(track, s);
    SectionLoudness m{};
    m.name = s.name, m.from = s.from, m.to = s.to, m.full = s.full;
    m.lufs = gatedLoudness(steps, s.from, end);
    m.rmsDbfs = rmsDb(track, s.from, end);
    std::vector<double> levels = bandLevelsDb(track, s.from, end,
                                              {{kBandEdges[0], kBandEdges[1]},
                                               {kBandEdges[1], kBandEdges[2]},
                                               {kBandEdges[2], kBandEdges[3]},
                                               {kBandEdges[3], kBandEdges[4]},
                                               {80.0, 100.0}});
    std::copy_n(levels.begin(), 4, m.bandDbfs);
    m.driveDbfs = levels[4];
    m.truePeakDbfs = truePeakDbfs(track, s.from, end);
    sections.push_back(m);
  }
  return sections;
}

std::vector<DropStep> measureDrops(const StereoBuffer& track) {
  std::vector<double> steps = kWeightedSteps(track);
  std::vector<DropStep> drops;
  for (double at : kDrops) {
    if ((at + kAfterDrop) * kSampleRate > track.frames()) continue;
    DropStep d{at, windowLoudness(steps, at - kBeforeDrop, at),
               windowLoudness(steps, at, at + kAfterDrop), 0.0};
    d.stepLu = d.after - d.before;
    drops.push_back(d);
  }
  return drops;
}

bool printLoudness(const StereoBuffer& track, const LevelReport& level, std::ostream& out) {
  std::vector<SectionLoudness> sections = measureSections(track);
  out << std::fixed << std::setprecision(1);
  out << "Loudness: integrated " << level.loudnessLufs << " LUFS, range " << level.loudnessRangeLu
      << " LU, true peak " << level.truePeakDbfs << " dBFS, sample peak " << level.peakDbfs
      << " dBFS\n";
  out << "Per section: gated loudness LUFS, RMS dBFS, band RMS dBFS (below 150 Hz, 150-1000 Hz, "
         "1-5 kHz, above 5 kHz; 80-100 Hz), true peak dBFS\n"
      << "      from -     to    section         LUFS     RMS    <150  150-1k   1k-5k     >5k  "
         "80-100  peak\n";
  for (const SectionLoudness& s : sections) {
    out << "  " << std::setw(8) << s.from << " - " << std::setw(6) << s.to << " s  " << std::left
        << std::setw(13) << s.name << std::right;
    for (double v : {s.lufs, s.rmsDbfs, s.bandDbfs[0], s.bandDbfs[1], s.bandDbfs[2], s.bandDbfs[3],
                     s.driveDbfs, s.truePeakDbfs})
      out << std::setw(8) << std::max(v, -99.9);
    out << "\n";
  }
  std::vector<DropStep> drops = measureDrops(track);
  out << "Drops: ungated loudness LUFS of the 4 s before and the 3 s after, and the step\n";
  for (const DropStep& d : drops)
    out << "  " << std::setw(6) << d.at << " s  " << std::setw(6) << std::max(d.before, -99.9)
        << " -> " << std::setw(6) << std::max(d.after, -99.9) << "  " << std::showpos
        << std::setw(5) << d.stepLu << std::noshowpos << " LU\n";
  out << "Sound goals:\n";
  bool allMet = true;
  auto goal = [&](const char* text, bool met, const std::string& figures) {
    out << "  " << text << ": " << (met ? "met" : "NOT MET") << " (" << figures << ")\n";
    allMet = allMet && met;
  };
  auto fixed1 = [](double v) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << v;
    return text.str();
  };
  goal("integrated loudness -14 to -10 LUFS",
       level.loudnessLufs >= -14.0 && level.loudnessLufs <= -10.0, fixed1(level.loudnessLufs));
  goal("true peak below -1 dBFS", level.truePeakDbfs < -1.0, fixed1(level.truePeakDbfs));
  goal("loudness range at least 5 LU", level.loudnessRangeLu >= 5.0, fixed1(level.loudnessRangeLu));
  auto rmsOf = [&sections](const char* name) {
    for (const SectionLoudness& s : sections)
      if (std::string(s.name) == name) return s.rmsDbfs;
    return -200.0;
  };
  double loudDrop = std::min(rmsOf("second drop"), rmsOf("third drop"));
  double quiet = std::max(rmsOf("intro"), rmsOf("calm"));
  goal("intro and calm at least 6 dB below the second and third drops in RMS",
       loudDrop - quiet >= 6.0, fixed1(loudDrop - quiet) + " dB");
  double widest = 0.0;
  std::string where = "none";
  for (const SectionLoudness& s : sections) {
    if (!s.full || s.to * kSampleRate > track.frames()) continue;
    double gap = s.bandDbfs[1] - s.bandDbfs[2];
    if (where == "none" || gap > widest) widest = gap, where = s.name;
  }
  goal("1-5 kHz within 12 dB of 150-1000 Hz in the full sections", widest <= 12.0,
       "widest gap " + fixed1(widest) + " dB, " + where);
  goal("loudness range at least 7 LU", level.loudnessRangeLu >= 7.0, fixed1(level.loudnessRangeLu));
  for (const DropStep& d : drops) {
    std::string text = "drop at " + std::to_string(static_cast<int>(d.at)) +
                       " s at least 3 LU above the 4 s before it";
    goal(text.c_str(), d.stepLu >= 3.0, (d.stepLu >= 0.0 ? "+" : "") + fixed1(d.stepLu) + " LU");
  }
  out << std::defaultfloat << std::setprecision(6);
  return allMet;
}

void printAnalysis(const StereoBuffer& track, std::ostream& out) {
  LevelReport level = measureLevels(track);
  out << std::fixed << std::setprecision(2);
  out << "Length " << static_cast<double>(track.frames()) / kSampleRate << " s (" << track.frames()
      << " frames at 44100 Hz)\n";
  out << "Peak " << level.peakDbfs << " dBFS, clipped samples " << level.clippedSamples << "\n";
  out << std::setprecision(6) << "DC offset left " << level.dcLeft << ", right " << level.dcRight
      << "\n";
  out << std::setprecision(2) << "RMS " << level.rmsDbfs << " dBFS\n";
  printLoudness(track, level, out);
  out << std::fixed << std::setprecision(2);
  out << "Break: RMS 130.0-131.0 s " << rmsDb(track, 130.0, 131.0) << " dBFS, 131.6-132.0 s "
      << rmsDb(track, 131.6, 132.0) << " dBFS, 131.5-132.5 s " << rmsDb(track, 131.5, 132.5)
      << " dBFS\n";
  out << "Fade: RMS per second from 196 s:";
  for (int s = 196; s < 205; ++s) out << " " << rmsDb(track, s, s + 1.0);
  out << " dBFS; last 50 ms " << rmsDb(track, 204.95, 205.0) << " dBFS\n";
  out << std::defaultfloat << std::setprecision(6);
  printKicks(track, out);
  printSpectrum(track, out);
}

bool writeSpectrogram(const StereoBuffer& track, const std::string& path, std::string& error) {
  const int columnsPerSecond = 8;
  const int width = std::max(1, static_cast<int>(track.frames() * columnsPerSecond / kSampleRate));
  const int height = 480;
  const size_t size = 4096;
  const double lowHz = 30.0, highHz = 16000.0;
  std::vector<png_byte> image(static_cast<size_t>(width) * height * 3);
  for (int x = 0; x < width; ++x) {
    double windowPower;
    long centre = std::lround((x + 0.5) * kSampleRate / columnsPerSecond);
    std::vector<Complex> spectrum = windowedSpectrum(track, centre, size, windowPower);
    for (int y = 0; y < height; ++y) {
      // Row y covers a slice of the log frequency axis; take its loudest bin.
      double f0 = lowHz * std::pow(highHz / lowHz, static_cast<double>(height - 1 - y) / height);
      double f1 = lowHz * std::pow(highHz / lowHz, static_cast<double>(height - y) / height);
      size_t k0 = static_cast<size_t>(f0 * size / kSampleRate);
      size_t k1 = std::max(k0, static_cast<size_t>(f1 * size / kSampleRate));
      double magnitude = 0.0;
      for (size_t k = k0; k <= k1 && k < size / 2; ++k)
        magnitude = std::max(magnitude, std::abs(spectrum[k]));
      double db = toDb(magnitude * 4.0 / size);
      heatColour((db + 90.0) / 80.0, &image[(static_cast<size_t>(y) * width + x) * 3]);
    }
  }
  // Ticks along the top at the show's section turns; faint lines at 100 Hz, 1 kHz, 10 kHz.
  for (double turn : {20,  28,  36,  44,  52,  60,  68,  84,  92,  100, 108,
                      116, 124, 132, 148, 156, 164, 172, 180, 188, 196, 198}) {
    int x = static_cast<int>(turn * columnsPerSecond);
    for (int y = 0; y < 10 && x < width; ++y)
      std::fill_n(&image[(static_cast<size_t>(y) * width + x) * 3], 3, 255);
  }
  for (double hz : {100.0, 1000.0, 10000.0}) {
    int y = height - 1 - static_cast<int>(height * std::log(hz / lowHz) / std::log(highHz / lowHz));
    for (int x = 0; x < width; x += 4)
      std::fill_n(&image[(static_cast<size_t>(y) * width + x) * 3], 3, 160);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = path + ": cannot write the file";
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    error = path + ": PNG encoding failed";
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, &image[static_cast<size_t>(y) * width * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) {
    error = path + ": cannot write the file";
    return false;
  }
  return true;
}

}  // namespace synth
