#include "session/message_log.h"

#include <cstdint>
#include <stdexcept>

namespace orben::session {

namespace {

constexpr const char* kLost = "the temporary file of the messages cannot be read back";

// A number in seven-bit groups, lowest first, the high bit set on all but
// the last.
void appendNumber(std::string& out, std::uint64_t n) {
  while (n >= 0x80) {
    out += static_cast<char>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  out += static_cast<char>(n);
}

std::uint64_t readNumber(std::FILE* file) {
  std::uint64_t n = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    const int c = std::fgetc(file);
    if (c == EOF) break;
    n |= static_cast<std::uint64_t>(c & 0x7F) << shift;
    if ((c & 0x80) == 0) return n;
  }
  throw std::runtime_error(kLost);
}

}  // namespace

void MessageLog::add(std::string_view text) {
  const std::size_t cost = text.size() + sizeof(std::string);
  if (spilled_ == 0 && used_ + cost <= kept_bytes_) {
    kept_.emplace_back(text);
    used_ += cost;
    return;
  }
  if (!spill_) {
    spill_.reset(std::tmpfile());
    if (!spill_) throw std::runtime_error("no temporary file for the messages");
  }
  // Each message as the length it shares with the one before it, then the
  // rest's length and the rest: the messages of corrupt lines differ only in
  // the line they quote, so the file stays near the size of those lines.
  std::size_t shared = 0;
  while (shared < text.size() && shared < last_spilled_.size() &&
         text[shared] == last_spilled_[shared]) {
    ++shared;
  }
  const std::string_view rest = text.substr(shared);
  std::string record;
  appendNumber(record, shared);
  appendNumber(record, rest.size());
  record += rest;
  if (std::fwrite(record.data(), 1, record.size(), spill_.get()) != record.size()) {
    throw std::runtime_error("the temporary file of the messages cannot be written");
  }
  last_spilled_.assign(text);
  ++spilled_;
}

void MessageLog::readSpilled(const std::function<void(std::string_view)>& each) const {
  std::FILE* file = spill_.get();
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (std::size_t i = 0; i < spilled_; ++i) {
    const std::uint64_t shared = readNumber(file);
    const std::uint64_t rest = readNumber(file);
    if (shared > text.size() || rest > SIZE_MAX - shared) throw std::runtime_error(kLost);
    const auto length = static_cast<std::size_t>(rest);
    text.resize(static_cast<std::size_t>(shared) + length);
    if (std::fread(text.data() + shared, 1, length, file) != length) {
      throw std::runtime_error(kLost);
    }
    each(text);
  }
  std::fseek(file, 0, SEEK_END);  // further messages are added at the end
}

std::vector<std::string> MessageLog::all() const {
  std::vector<std::string> messages;
  messages.reserve(size());
  forEach([&](std::string_view text) { messages.emplace_back(text); });
  return messages;
}

}  // namespace orben::session
