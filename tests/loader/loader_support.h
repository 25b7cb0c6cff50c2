#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "disasm/listing.h"
#include "loader/line_reader.h"
#include "loader/load_command.h"
#include "machine/machine.h"
#include "support/scripted_ui.h"

namespace orben::testing {

using Lines = std::vector<std::string>;

// A scripted user who also notes how many listing lines there were each time
// the file dialog opened.
class WatchingUi : public ScriptedUi {
 public:
  const Listing* listing = nullptr;
  std::vector<int> lines_at_dialog;
  std::optional<std::string> askObjectFile(const FileRequest& request) override {
    lines_at_dialog.push_back(listing->count());
    return ScriptedUi::askObjectFile(request);
  }
};

// A machine over a watching user, memory all zero bytes.
struct LoaderBench {
  LoaderBench() { ui.listing = &listing; }
  WatchingUi ui;
  ReplayRandom random;
  Machine machine{ui, random};
  Listing listing;

  Lines listed() const {
    Lines lines;
    for (int i = 0; i < listing.count(); ++i) lines.push_back(listing.line(i));
    return lines;
  }
  std::string word(long long address) const { return machine.ReadMemoryWord(address).str(); }
  std::vector<std::uint8_t> memory() const {
    return {machine.memory().data(), machine.memory().data() + machine.memory().size()};
  }
};

// Gives `data`, which must outlive it, in reads of at most `chunk` bytes;
// at its end either nothing more or, with `fail_at_end`, the read error
// "fallo de lectura". Notes whether it was closed; a read after that fails
// the test.
class ProbeSource : public MemorySource {
 public:
  explicit ProbeSource(std::string_view data, bool fail_at_end = false,
                       std::size_t chunk = SIZE_MAX)
      : MemorySource(data, chunk), fail_at_end_(fail_at_end) {}
  std::size_t read(char* buffer, std::size_t size) override {
    if (closed) ADD_FAILURE() << "read after close";
    if (closed) return 0;
    const std::size_t n = MemorySource::read(buffer, size);
    if (n == 0 && fail_at_end_) error_ = "fallo de lectura";
    return n;
  }
  const std::string& error() const override { return error_; }
  void close() override { closed = true; }
  bool closed = false;

 private:
  bool fail_at_end_;
  std::string error_;
};

// A load command over a loader bench, with a folder of files of its own.
class LoadCommandTest : public ::testing::Test, public testing::LoaderBench {
 protected:
  LoadCommandTest() { std::filesystem::create_directories(folder_); }
  ~LoadCommandTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }
  std::string write(const std::string& name, std::string_view bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return pathOf(name);
  }

  LoadCommand load{machine, listing};

 private:
  const std::filesystem::path folder_ =
      std::filesystem::path(::testing::TempDir()) / ("orben-loader-" + std::to_string(::getpid()));
};

}  // namespace orben::testing
