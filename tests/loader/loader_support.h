#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "loader/line_reader.h"
#include "machine/machine.h"
#include "support/scripted_ui.h"

namespace orben::testing {

// A machine over a scripted user, memory all zero bytes.
struct LoaderBench {
  ScriptedUi ui;
  ReplayRandom random;
  Machine machine{ui, random};

  std::vector<std::string> listed() const {
    std::vector<std::string> lines;
    for (int i = 0; i < machine.listing().count(); ++i) lines.push_back(machine.listing().line(i));
    return lines;
  }
  std::string word(long long address) const { return machine.ReadMemoryWord(address).str(); }
};

// Gives `data` in reads of at most `chunk` bytes; then either the end or,
// with `fail_at_end`, the read error "fallo de lectura". Remembers how often
// it was read and whether it was closed.
class ProbeSource : public ByteSource {
 public:
  explicit ProbeSource(std::string data, bool fail_at_end = false, std::size_t chunk = 4096)
      : data_(std::move(data)), chunk_(chunk), fail_at_end_(fail_at_end) {}
  std::size_t read(char* buffer, std::size_t size) override {
    ++reads;
    if (closed) return 0;
    const std::size_t n = std::min({size, chunk_, data_.size() - taken_});
    if (n == 0 && fail_at_end_) error_ = "fallo de lectura";
    data_.copy(buffer, n, taken_);
    taken_ += n;
    return n;
  }
  const std::string& error() const override { return error_; }
  void close() override { closed = true; }

  int reads = 0;
  bool closed = false;

 private:
  std::string data_;
  std::size_t chunk_;
  bool fail_at_end_;
  std::size_t taken_ = 0;
  std::string error_;
};

// A fresh folder under the system's temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("orben-loader-" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string write(const std::string& name, std::string_view bytes) const {
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return file.string();
  }
  std::string pathOf(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace orben::testing
