// The asset report and the collection of the loaded files.
#include "runtime/asset_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>

#include "runtime/directing_tools.h"
#include "runtime/show_clock.h"
#include "runtime/timer.h"

namespace {

constexpr int kImageKind = 0;
constexpr int kMeshKind = 1;

// Every line of the report is flushed as it is written.
std::ostream& line(std::ostream& out) { return out << std::endl; }

// Copies one file into the collection folder unless its copy is there
// already. Missing folders or sources are ignored: a developer tool.
void collect(const std::string& path) {
  std::error_code ignored;
  std::filesystem::copy_file(path, kAssetCollectionFolder + path,
                             std::filesystem::copy_options::none, ignored);
}

// The copy section of one kind: each path once, in sorted order; returns
// how many records it copied.
int writeCopySection(std::ostream& out, const std::vector<LoadedImage>& sorted, int kind) {
  int copied = 0;
  for (size_t i = 0; i < sorted.size(); ++i) {
    if (sorted[i].kind != kind) continue;
    // Sorted by path, so an earlier record with the same path is the one before.
    if (i > 0 && sorted[i - 1].path == sorted[i].path) continue;
    out << "Name  : " << sorted[i].path << line;
    ++copied;
    collect(sorted[i].path);
  }
  return copied;
}

}  // namespace

void writeAssetList(DirectingTools& directing, ShowClock& clock) {
  std::ofstream& out = directing.assetListFile.stream();
  std::vector<LoadedImage>& records = directing.loadedImages;

  out << line << "-- JPG LIST" << line;
  long long bytes = 0;
  for (const LoadedImage& record : records) {
    if (record.kind != kImageKind) continue;
    out << record.path << " (" << record.width << "," << record.height << ") @ " << record.slot
        << " position. " << line;
    bytes += 3LL * record.width * record.height;
  }
  out << line << "-- 3DS LIST" << line;
  for (const LoadedImage& record : records) {
    if (record.kind == kMeshKind) out << record.path << " " << record.slot << " position. " << line;
  }
  out << line << "Total : " << records.size() << " files,  " << bytes << " bytes" << line;
  out << "Loadtime :" << timerRead(clock) - clock.loadSeconds << line;
  out << line << line;

  // std::string compares bytes as unsigned characters, shorter first on a tie.
  std::stable_sort(records.begin(), records.end(),
                   [](const LoadedImage& a, const LoadedImage& b) { return a.path < b.path; });
  out << "-- JPG Sorted" << line;
  for (const LoadedImage& record : records) {
    if (record.kind == kImageKind) out << "Name  : " << record.path << line;
  }
  out << line << "-- JPG LIST" << line;
  int copied = writeCopySection(out, records, kImageKind);
  out << line << "-- 3DS LIST" << line;
  copied += writeCopySection(out, records, kMeshKind);
  out << "Total sorted : " << copied;
  // The report takes its name once whole; one that cannot be written is silent.
  std::string ignored;
  directing.assetListFile.commit(ignored);
}
