#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orben::session {

// Every message a headless run was shown, in order. A load of a file of
// millions of corrupt lines shows a message for each, many times the
// file's size: past the first `kept_bytes` of text the messages go to an
// unnamed temporary file, so that a report can still give every one of
// them while memory stays bounded.
class MessageLog {
 public:
  static constexpr std::size_t kKeptBytes = std::size_t{8} << 20;

  explicit MessageLog(std::size_t kept_bytes = kKeptBytes) : kept_bytes_(kept_bytes) {}

  void add(std::string_view text);
  std::size_t size() const { return kept_.size() + spilled_; }
  bool empty() const { return size() == 0; }
  // Calls `each` with every message, in the order they were shown.
  template <typename Each>
  void forEach(Each&& each) const {
    for (const auto& message : kept_) each(std::string_view(message));
    if (spilled_ > 0) readSpilled([&](std::string_view text) { each(text); });
  }
  std::vector<std::string> all() const;

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  void readSpilled(const std::function<void(std::string_view)>& each) const;

  std::size_t kept_bytes_;
  std::size_t used_ = 0;  // the kept messages' text and their strings' own size
  std::vector<std::string> kept_;
  std::unique_ptr<std::FILE, FileCloser> spill_;
  std::size_t spilled_ = 0;
  std::string last_spilled_;
};

}  // namespace orben::session
