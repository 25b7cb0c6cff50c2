#pragma once

// The tuka2 executable run as a user runs it, for the end-to-end tests.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orben::runner {

struct Ran {
  int status = -1;
  std::string out;
};

inline Ran runTuka2(const std::string& arguments) {
  const std::string command = std::string(TUKA2_BINARY) + " " + arguments + " 2>/dev/null";
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.out.append(buffer, n);
  const int raw = pclose(pipe);
  ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return ran;
}

// Runs the tuka2 executable with its output thrown away: the exit status
// and the highest resident size it reached, in bytes.
struct Measured {
  int status = -1;
  long long peak = 0;
};
inline Measured runTuka2Measured(const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(TUKA2_BINARY)};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  Measured measured;
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(TUKA2_BINARY, argv.data());
    _exit(127);
  }
  int raw = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &raw, 0, &usage) != child) return measured;
  measured.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  measured.peak = static_cast<long long>(usage.ru_maxrss) * 1024;
  return measured;
}

}  // namespace orben::runner
