// Starting, reading and waiting for child processes.
#include "capture/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "capture/ffmpeg_pipe.h"

// The browser build has neither prctl nor processes (its fork always fails).
#ifdef __linux__
#include <sys/prctl.h>
#endif

extern char** environ;

namespace {

// Our environment with `extra` put in place of the same names.
std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    bool replaced = false;
    for (const std::string& setting : extra)
      replaced = replaced || setting.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) result.push_back(variable);
  }
  result.insert(result.end(), extra.begin(), extra.end());
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& text : strings) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

bool startChild(const ChildSetup& setup, ChildProcess& child, std::string& error) {
  const std::string program =
      setup.program.find('/') == std::string::npos ? findOnPath(setup.program) : setup.program;
  if (program.empty()) {
    error = "the " + setup.program + " command was not found on PATH";
    return false;
  }
  int output[2], errors[2];
  if (pipe2(output, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(errors, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    close(output[0]);
    close(output[1]);
    return false;
  }
  int status[2];  // the child reports a failed exec here; closed by the exec
  if (pipe2(status, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    for (int fd : {output[0], output[1], errors[0], errors[1]}) close(fd);
    return false;
  }
  std::vector<std::string> args = setup.args;
  std::vector<std::string> environment = environmentWith(setup.extraEnvironment);
  std::vector<char*> argv = pointers(args);
  std::vector<char*> envp = pointers(environment);
  [[maybe_unused]] const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here to the exec.
    int failure = 0;
    // A child outlives no parent: when this process dies, however it dies,
    // the child gets SIGTERM (it may have died before the request took hold).
#ifdef __linux__
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) failure = ESRCH;
#endif
    if (!failure && !setup.folder.empty() && chdir(setup.folder.c_str()) != 0) failure = errno;
    if (!failure) {
      const int input = open(setup.input.c_str(), O_RDONLY);
      if (input < 0 || dup2(input, STDIN_FILENO) < 0) failure = errno;
    }
    if (!failure && (dup2(output[1], STDOUT_FILENO) < 0 || dup2(errors[1], STDERR_FILENO) < 0))
      failure = errno;
    if (!failure) {
      execve(program.c_str(), argv.data(), envp.data());
      failure = errno;
    }
    ssize_t ignored = write(status[1], &failure, sizeof failure);
    (void)ignored;
    _exit(127);
  }
  const int forkErrno = errno;
  close(status[1]);
  close(output[1]);
  close(errors[1]);
  int childFailure = pid < 0 ? forkErrno : 0;
  if (pid > 0) {
    ssize_t got;
    do {
      got = read(status[0], &childFailure, sizeof childFailure);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof childFailure)) childFailure = 0;
  }
  close(status[0]);
  if (childFailure != 0) {
    if (pid > 0) waitpid(pid, nullptr, 0);
    close(output[0]);
    close(errors[0]);
    child = {};
    error = "cannot start " + program + ": " + std::strerror(childFailure);
    return false;
  }
  child.pid = pid;
  child.output = output[0];
  child.errors = errors[0];
  return true;
}

int waitChild(ChildProcess& child, std::string& how) {
  for (int* fd : {&child.output, &child.errors}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(child.pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  child.pid = -1;
  if (waited < 0) {
    how = std::string("lost track of it: ") + std::strerror(errno);
    return 127;
  }
  if (WIFSIGNALED(status)) {
    how = "signal " + std::to_string(WTERMSIG(status));
    return 128 + WTERMSIG(status);
  }
  if (WEXITSTATUS(status) != 0) how = "exit status " + std::to_string(WEXITSTATUS(status));
  return WEXITSTATUS(status);
}

bool runCommand(const ChildSetup& setup, std::string& error) {
  ChildProcess child;
  if (!startChild(setup, child, error)) return false;
  std::string messages;
  pollfd fds[2] = {{child.output, POLLIN, 0}, {child.errors, POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (pollfd& fd : fds) {
      if (fd.fd < 0 || !(fd.revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t got = read(fd.fd, buffer, sizeof buffer);
      if (got > 0) {
        messages.append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fd.fd = -1;
        --open;
      }
    }
  }
  std::string how;
  if (waitChild(child, how) == 0) return true;
  while (!messages.empty() && messages.back() == '\n') messages.pop_back();
  error = setup.args.front() + " failed (" + how + ")" + (messages.empty() ? "" : ": " + messages);
  return false;
}
