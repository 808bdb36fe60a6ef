// A private Xvfb for one test or benchmark: started with -displayfd so that
// it picks a free display number itself, ended when the object goes.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vt {

class OwnXvfb {
 public:
  // `screen` as Xvfb takes it ("800x600x24"); `opts` are further options.
  explicit OwnXvfb(const std::string& screen, std::vector<std::string> opts = {}) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      // No reset when a client leaves: the next would be turned away meanwhile.
      std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen",
                                       "0",    screen,       "-noreset"};
      args.insert(args.end(), opts.begin(), opts.end());
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      if (!freopen("/dev/null", "w", stderr)) _exit(127);
      execv("/usr/bin/Xvfb", argv.data());
      _exit(127);
    }
    close(fds[1]);
    // The number comes with a newline, not always in one write; the
    // server gives up if the pipe closes before it is all out.
    std::string got;
    char c;
    while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') got += c;
    close(fds[0]);
    if (!got.empty()) number_ = std::atoi(got.c_str());
  }
  OwnXvfb(const OwnXvfb&) = delete;
  OwnXvfb& operator=(const OwnXvfb&) = delete;
  ~OwnXvfb() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  // -1 when the server did not start.
  int number() const { return number_; }

 private:
  pid_t pid_ = -1;
  int number_ = -1;
};

}  // namespace vt
