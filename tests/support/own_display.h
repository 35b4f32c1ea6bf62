// A display of a test's own: an Xvfb started by the test on the first free
// display number, for tests that press keys or click, so that their input
// reaches only the windows of the program they run. The test starts the
// server itself rather than through a runner script such as xvfb-run, so the
// exit status it reads is its program's own: on a busy machine xvfb-run can
// fail to clean up its temporary folder after the program has ended and
// replace the program's status with its own.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

class OwnDisplay {
 public:
  // Starts the server and waits until it accepts connections (it writes its
  // display number then); name() stays empty when it does not start.
  OwnDisplay() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      // The server writes its number on descriptor 3; exec keeps it open.
      if (fds[1] == 3)
        fcntl(3, F_SETFD, 0);
      else
        dup2(fds[1], 3);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    if (pid_ > 0) name_ = readNumber(fds[0]);
    close(fds[0]);
  }
  ~OwnDisplay() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  OwnDisplay(const OwnDisplay&) = delete;
  OwnDisplay& operator=(const OwnDisplay&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& name() const { return name_; }

 private:
  // The number the server writes once it is ready, within a minute (a loaded
  // machine can take seconds); empty when it ends or stays silent.
  static std::string readNumber(int fd) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) continue;
      char c;
      if (read(fd, &c, 1) != 1) return "";
      if (c == '\n') return number.empty() ? "" : ":" + number;
      number += c;
    }
    return "";
  }

  pid_t pid_ = -1;
  std::string name_;
};
