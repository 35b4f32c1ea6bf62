// Child processes of a parallel capture: started with a command line, an
// environment of our own plus a few settings, a working folder and a file
// as standard input; their standard output and error read through pipes;
// waited for and described when they fail.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ChildProcess {
  pid_t pid = -1;
  int output = -1;  // read end of its standard output, or -1
  int errors = -1;  // read end of its standard error, or -1
};

struct ChildSetup {
  std::string program;                        // a path, or a name looked up on PATH
  std::vector<std::string> args;              // args[0] is the program's name
  std::vector<std::string> extraEnvironment;  // "NAME=value", replacing ours
  std::string folder;                         // working folder; empty: ours
  std::string input = "/dev/null";            // file read as standard input
};

// Starts the child; false with the reason in error. The child gets SIGTERM
// when this process ends, so that no range renders on as an orphan.
bool startChild(const ChildSetup& setup, ChildProcess& child, std::string& error);
// Waits for the child to end and closes its pipes. Returns its exit status,
// or 128 + the signal's number when a signal ended it; describes anything
// but status 0 in `how` ("exit status 1", "signal 15").
int waitChild(ChildProcess& child, std::string& how);
// Runs a command to its end; false with the reason and its messages in error.
bool runCommand(const ChildSetup& setup, std::string& error);
