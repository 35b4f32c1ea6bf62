// Following the range processes of a parallel capture.
#include "capture/range_jobs.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>

#include "capture/capture_ranges.h"
#include "capture/stop_signals.h"

namespace {

constexpr size_t kKeptLines = 12;

// The last lines one source said.
struct Messages {
  std::deque<std::string> lines;
  void add(const std::string& line) {
    if (line.empty()) return;
    lines.push_back(line);
    if (lines.size() > kKeptLines) lines.pop_front();
  }
  std::string text() const {
    std::string result;
    for (const std::string& line : lines) result += "\n  " + line;
    return result;
  }
};

// A pipe being read line by line. Lines of a tagged stream begin with the
// range's number and a tab; the others belong to `range` (0: no range).
struct Stream {
  int fd = -1;
  int range = 0;
  bool tagged = false;
  std::string pending;
};

// What the ranges have said so far.
class Follower {
 public:
  Follower(int ranges, std::string version, const RangeProgress& progress)
      : done_(ranges + 1, 0),
        messages_(ranges + 1),
        version_(std::move(version)),
        progress_(progress) {}

  // Reads what the streams hold; false once all of them are closed.
  // Returns early after a quarter of a second without news.
  bool follow(std::vector<Stream>& streams) {
    std::vector<pollfd> fds;
    for (const Stream& stream : streams) fds.push_back({stream.fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), 250) < 0) return anyOpen(streams);
    for (size_t i = 0; i < streams.size(); ++i) {
      if (streams[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t got = read(streams[i].fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        if (!streams[i].pending.empty()) take(streams[i], streams[i].pending);
        close(streams[i].fd);
        streams[i].fd = -1;
        continue;
      }
      streams[i].pending.append(buffer, static_cast<size_t>(got));
      size_t end;
      while ((end = streams[i].pending.find('\n')) != std::string::npos) {
        const std::string line = streams[i].pending.substr(0, end);
        streams[i].pending.erase(0, end + 1);
        take(streams[i], line);
      }
    }
    return anyOpen(streams);
  }

  // The first range that ran another version of the program, or 0.
  int strangerRange() const { return stranger_; }
  const std::string& strangerVersion() const { return strangerVersion_; }
  std::string lastMessages(int range) const { return messages_[range].text(); }

 private:
  static bool anyOpen(const std::vector<Stream>& streams) {
    for (const Stream& stream : streams)
      if (stream.fd >= 0) return true;
    return false;
  }

  void take(const Stream& stream, std::string line) {
    int range = stream.range;
    if (stream.tagged) {
      const size_t tab = line.find('\t');
      const int tag = tab == std::string::npos ? 0 : std::atoi(line.substr(0, tab).c_str());
      if (tag >= 1 && tag < static_cast<int>(done_.size())) {
        range = tag;
        line.erase(0, tab + 1);
      }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const RangeReport report = parseRangeLine(line);
    if (report.kind == RangeReport::Kind::Progress && range > 0) {
      total_ += report.done - done_[range];
      done_[range] = report.done;
      progress_(total_);
    } else if (report.kind == RangeReport::Kind::Version) {
      if (report.version != version_ && stranger_ == 0 && range > 0) {
        stranger_ = range;
        strangerVersion_ = report.version;
      }
    } else {
      messages_[range].add(line);
    }
  }

  std::vector<int> done_;
  std::vector<Messages> messages_;  // [0]: lines of no range
  std::string version_;
  const RangeProgress& progress_;
  int total_ = 0;
  int stranger_ = 0;
  std::string strangerVersion_;
};

std::string strangerMessage(const Follower& follower, const std::string& version) {
  return "it ran tessaly " + follower.strangerVersion() + ", this is tessaly " + version +
         "; every machine needs the same version, or its frames may differ";
}

// Seq, host and exit value of each job of GNU parallel's job log.
struct LoggedJob {
  int seq = 0;
  std::string host;
  int exitValue = 0;
  int signal = 0;
};

std::vector<LoggedJob> readJobLog(const std::string& path) {
  std::vector<LoggedJob> jobs;
  std::ifstream log(path);
  std::string line;
  std::getline(log, line);  // the header
  while (std::getline(log, line)) {
    std::istringstream fields(line);
    std::vector<std::string> columns;
    std::string column;
    while (std::getline(fields, column, '\t')) columns.push_back(column);
    if (columns.size() < 8) continue;
    jobs.push_back({std::atoi(columns[0].c_str()), columns[1], std::atoi(columns[6].c_str()),
                    std::atoi(columns[7].c_str())});
  }
  return jobs;
}

}  // namespace

RangeRun runRangesHere(const std::vector<ChildSetup>& ranges, const std::string& version,
                       const RangeProgress& progress) {
  RangeRun run;
  const int count = static_cast<int>(ranges.size());
  std::vector<ChildProcess> children(count);
  std::vector<Stream> streams(2 * count);  // range i's output and errors at 2i, 2i + 1
  std::string error;
  for (int i = 0; i < count; ++i) {
    if (!startChild(ranges[i], children[i], error)) {
      run.failedRange = i + 1;
      run.message = error;
      break;
    }
    streams[2 * i] = {children[i].output, i + 1, false, ""};
    streams[2 * i + 1] = {children[i].errors, i + 1, false, ""};
    children[i].output = children[i].errors = -1;  // the streams close them
  }
  Follower follower(count, version, progress);
  bool stopping = run.failedRange != 0;
  const auto stopAll = [&] {
    stopping = true;
    for (const ChildProcess& child : children)
      if (child.pid > 0) kill(child.pid, SIGTERM);
  };
  if (stopping) stopAll();
  bool open = true;
  while (open) {
    open = follower.follow(streams);
    if (!stopping && (stopSignalCaught() || follower.strangerRange() != 0)) stopAll();
    // A range whose pipes are both closed has ended: one that failed stops the others.
    for (int i = 0; i < count; ++i) {
      if (children[i].pid <= 0 || streams[2 * i].fd >= 0 || streams[2 * i + 1].fd >= 0) continue;
      std::string how;
      if (waitChild(children[i], how) != 0 && run.failedRange == 0 && !stopSignalCaught()) {
        run.failedRange = i + 1;
        run.message = how + follower.lastMessages(i + 1);
        if (!stopping) stopAll();
      }
    }
  }
  for (ChildProcess& child : children) {
    std::string how;
    if (child.pid > 0) waitChild(child, how);
  }
  run.stopped = stopSignalCaught();
  if (follower.strangerRange() != 0 && run.failedRange == 0) {
    run.failedRange = follower.strangerRange();
    run.message = strangerMessage(follower, version);
  }
  run.ok = run.failedRange == 0 && !run.stopped;
  return run;
}

RangeRun runRangesThroughParallel(const ChildSetup& parallel, int ranges, const std::string& jobLog,
                                  const std::string& version, const RangeProgress& progress) {
  RangeRun run;
  ChildProcess child;
  if (!startChild(parallel, child, run.message)) return run;
  std::vector<Stream> streams = {{child.output, 0, true, ""}, {child.errors, 0, true, ""}};
  child.output = child.errors = -1;
  Follower follower(ranges, version, progress);
  bool stopping = false;
  while (follower.follow(streams)) {
    // GNU parallel passes a TERM on to its jobs and, on the hosts, ends them.
    if (!stopping && (stopSignalCaught() || follower.strangerRange() != 0)) {
      stopping = true;
      kill(child.pid, SIGTERM);
    }
  }
  std::string how;
  const int status = waitChild(child, how);
  run.stopped = stopSignalCaught();
  if (follower.strangerRange() != 0) {
    run.failedRange = follower.strangerRange();
    run.message = strangerMessage(follower, version);
  } else if (status != 0) {
    // The job log says which range failed and where it ran: one that
    // failed by itself before those GNU parallel ended on its account.
    const std::vector<LoggedJob> jobs = readJobLog(jobLog);
    for (bool byItself : {true, false}) {
      for (const LoggedJob& job : jobs) {
        if (run.failedRange != 0 || job.seq < 1 || job.seq > ranges) continue;
        if (byItself ? job.exitValue == 0 || job.signal != 0
                     : job.exitValue == 0 && job.signal == 0)
          continue;
        run.failedRange = job.seq;
        run.host = job.host;
        run.message = (job.signal ? "signal " + std::to_string(job.signal)
                                  : "exit status " + std::to_string(job.exitValue)) +
                      follower.lastMessages(job.seq);
      }
    }
    if (run.failedRange == 0)
      run.message = "GNU parallel failed (" + how + ")" + follower.lastMessages(0);
  }
  run.ok = status == 0 && run.failedRange == 0 && !run.stopped;
  return run;
}
