#pragma once
// Starting vantrel-sim and reading from it, for the tests that run the real program.
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern char** environ;

namespace vantrel::sim::testing {

struct Child {
  pid_t pid = -1;
  int out = -1;  // its standard output
  int err = -1;  // its standard error
};

inline Child Start(const std::vector<std::string>& args) {
  int outPipe[2];
  int errPipe[2];
  EXPECT_EQ(pipe(outPipe), 0);
  EXPECT_EQ(pipe(errPipe), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addclose(&actions, errPipe[0]);
  std::vector<char*> argv;
  std::string exe = VANTREL_SIM_EXE;
  argv.push_back(exe.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  Child child;
  EXPECT_EQ(posix_spawn(&child.pid, exe.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  child.out = outPipe[0];
  child.err = errPipe[0];
  return child;
}

// Reads from `fd` until `stop` appears in what was read or `ms` pass.
inline std::string ReadUntil(int fd, char stop, int ms) {
  std::string text;
  for (int waited = 0; waited < ms; waited += 20) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
      char buffer[8192];
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
      if (text.find(stop) != std::string::npos) break;
    }
  }
  return text;
}

inline int WaitExit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vantrel::sim::testing
