#pragma once

// The tuka2 executable run as a user runs it, for the end-to-end tests.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
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

// What tuka2 wrote on each of its outputs, and its exit status.
struct RanApart {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tuka2 executable on `arguments`, without a shell, with exactly
// `environment` ("NAME=value" each) and nothing of this process's own, so
// that the language it speaks is the one asked for.
// `meanwhile`, when given, is called with the child's id while it runs (to
// signal it).
inline RanApart runTuka2With(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment,
                             const std::function<void(pid_t)>& meanwhile = {}) {
  char out_name[] = "/tmp/tuka2-out-XXXXXX";
  char err_name[] = "/tmp/tuka2-err-XXXXXX";
  const int out_fd = mkstemp(out_name);
  const int err_fd = mkstemp(err_name);
  RanApart ran;
  if (out_fd < 0 || err_fd < 0) return ran;
  std::vector<std::string> words = {TUKA2_BINARY};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = environment;
  std::vector<char*> envp;
  for (auto& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int none = open("/dev/null", O_RDONLY);
    dup2(none, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execve(TUKA2_BINARY, argv.data(), envp.data());
    _exit(127);
  }
  close(out_fd);
  close(err_fd);
  if (child > 0 && meanwhile) meanwhile(child);
  int raw = 0;
  if (child > 0 && waitpid(child, &raw, 0) == child) {
    ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  for (auto [name, text] : {std::pair{out_name, &ran.out}, std::pair{err_name, &ran.err}}) {
    std::ifstream in(name, std::ios::binary);
    text->assign(std::istreambuf_iterator<char>(in), {});
    std::remove(name);
  }
  return ran;
}

// Runs the tuka2 executable with its output thrown away: the exit status
// and the highest resident size it reached, in bytes.
struct Measured {
  int status = -1;
  long long peak = 0;
};
inline Measured runTuka2Measured(const std::vector<std::string>& arguments) {
  // The peak is taken by GNU time, which starts tuka2 from its own small
  // process: a child forked from this test program would count this
  // program's resident pages, copied at the fork, in its own peak.
  char report[] = "/tmp/tuka2-peak-XXXXXX";
  const int fd = mkstemp(report);
  if (fd < 0) return {};
  close(fd);
  std::vector<std::string> words = {"time", "-f", "%M", "-o", report, TUKA2_BINARY};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  Measured measured;
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv("/usr/bin/time", argv.data());
    _exit(127);
  }
  int raw = 0;
  if (child < 0 || waitpid(child, &raw, 0) != child) return measured;
  measured.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (FILE* file = std::fopen(report, "r")) {
    long long kilobytes = 0;
    // A command ended by a signal adds a line before the figure.
    char line[256];
    while (std::fgets(line, sizeof line, file)) kilobytes = std::atoll(line);
    std::fclose(file);
    measured.peak = kilobytes * 1024;
  }
  std::remove(report);
  return measured;
}

}  // namespace orben::runner
