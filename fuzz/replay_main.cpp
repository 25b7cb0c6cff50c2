// The ordinary build's stand-in for libFuzzer: runs LLVMFuzzerTestOneInput
// once on every file named on the command line and on every file of every
// folder named there, in name order, so that CTest replays each corpus.
// A broken rule or a crash ends the program there; the last name printed
// is the input that did it.
//
// With --reset-check first, for a harness that keeps its machine across
// inputs: each input A, then the next input B in name order (the last one
// followed by the first), runs on the kept machine. After A the machine
// just reset must show what a freshly built one shows, and after B it must
// show what B leaves on a freshly built one. At least one input must leave
// something for the reset to undo, or the check proves nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "observed.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The first line where the two differ, or true when they agree.
bool agree(const orben::fuzz::Observed& got, const orben::fuzz::Observed& fresh, const char* when) {
  const std::size_t n = std::min(got.size(), fresh.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (got[i] != fresh[i]) {
      std::fprintf(stderr, "%s: the kept machine shows \"%s\", a fresh one \"%s\"\n", when,
                   got[i].c_str(), fresh[i].c_str());
      return false;
    }
  }
  if (got.size() == fresh.size()) return true;
  std::fprintf(stderr, "%s: the kept machine shows %zu values, a fresh one %zu\n", when, got.size(),
               fresh.size());
  return false;
}

int checkReset(const std::vector<fs::path>& names, const std::vector<Bytes>& inputs) {
  const orben::fuzz::ReuseHooks& hooks = orben::fuzz::reuseHooks();
  if (hooks.run == nullptr || hooks.idle == nullptr) {
    std::fprintf(stderr, "this harness keeps no machine across inputs\n");
    return 2;
  }
  const orben::fuzz::Observed built = hooks.idle(false);
  std::size_t leaving = 0;
  int status = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const Bytes& a = inputs[i];
    const std::size_t next = (i + 1) % inputs.size();
    const Bytes& b = inputs[next];
    std::printf("%s, then %s\n", names[i].c_str(), names[next].c_str());
    std::fflush(stdout);
    if (hooks.run(true, a.data(), a.size()) != built) ++leaving;
    const bool reset = agree(hooks.idle(true), built, "reset");
    const bool after = agree(hooks.run(true, b.data(), b.size()),
                             hooks.run(false, b.data(), b.size()), "the next input");
    if (!reset || !after) status = 1;
  }
  std::printf("%zu of %zu inputs leave a state to reset\n", leaving, inputs.size());
  if (leaving == 0) {
    std::fprintf(stderr, "no input leaves anything to reset: the check proves nothing\n");
    return 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const bool reset_check = argc > 1 && std::strcmp(argv[1], "--reset-check") == 0;
  std::vector<fs::path> names;
  for (int i = reset_check ? 2 : 1; i < argc; ++i) {
    const fs::path named(argv[i]);
    if (fs::is_directory(named)) {
      for (const auto& entry : fs::directory_iterator(named)) {
        if (entry.is_regular_file()) names.push_back(entry.path());
      }
    } else {
      names.push_back(named);
    }
  }
  std::sort(names.begin(), names.end());
  if (names.empty()) {
    std::fprintf(stderr, "usage: %s [--reset-check] FILE-OR-FOLDER...: no input to replay\n",
                 argv[0]);
    return 2;
  }
  std::vector<Bytes> inputs;
  for (const fs::path& name : names) {
    std::ifstream file(name, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", name.c_str());
      return 2;
    }
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (reset_check) return checkReset(names, inputs);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::printf("%s (%zu bytes)\n", names[i].c_str(), inputs[i].size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(inputs[i].data(), inputs[i].size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
