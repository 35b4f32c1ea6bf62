// Starting, reading and waiting for child processes.
#include "app/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/ffmpeg_pipe.h"

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
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!setup.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, setup.folder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, setup.input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  std::vector<std::string> args = setup.args;
  std::vector<std::string> environment = environmentWith(setup.extraEnvironment);
  const int spawned = posix_spawn(&child.pid, program.c_str(), &actions, nullptr,
                                  pointers(args).data(), pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  close(errors[1]);
  if (spawned != 0) {
    close(output[0]);
    close(errors[0]);
    child = {};
    error = "cannot start " + program + ": " + std::strerror(spawned);
    return false;
  }
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
