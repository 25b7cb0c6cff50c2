#include "loader/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orben {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfText = '\x1A';

constexpr bool endsLine(char c) {
  return c == kCarriageReturn || c == kLineFeed || c == kEndOfText;
}

std::string systemReason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

}  // namespace

std::size_t MemorySource::read(char* buffer, std::size_t size) {
  const std::size_t n = std::min({size, chunk_, data_.size()});
  std::memcpy(buffer, data_.data(), n);
  data_.remove_prefix(n);
  return n;
}

bool FileSource::open(const std::string& path) {
  error_.clear();
  errno = 0;
  file_.reset(std::fopen(path.c_str(), "rb"));
  if (!file_) {
    error_ = systemReason(errno);
    return false;
  }
  // Blocks go straight into the reader's buffer; a second buffer would only
  // copy them once more.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  std::error_code ignored;
  const auto size = std::filesystem::file_size(path, ignored);
  size_hint_ = ignored ? 0 : size;
  return true;
}

std::size_t FileSource::read(char* buffer, std::size_t size) {
  if (!file_ || !error_.empty()) return 0;
  errno = 0;
  const std::size_t n = std::fread(buffer, 1, size, file_.get());
  if (n < size && std::ferror(file_.get())) error_ = systemReason(errno);
  return n;
}

LineReader::LineReader(ByteSource& source, std::uint64_t size_hint, std::size_t block_size)
    : source_(source), size_hint_(size_hint), buffer_(std::max<std::size_t>(block_size, 1)) {}

bool LineReader::fill() {
  if (ended_) return false;
  const std::size_t n = source_.read(buffer_.data(), buffer_.size());
  if (n == 0) {
    ended_ = true;
    error_ = source_.error();
    return false;
  }
  bytes_taken_ += n;
  pos_ = 0;
  end_ = n;
  return true;
}

void LineReader::makeRoom(std::string& line) const {
  // Only a line longer than a whole block is worth it: room for everything
  // the source still holds, taken once, instead of doubling its storage
  // again and again and holding old and new copies on the way.
  if (line.size() < buffer_.size() || size_hint_ <= bytes_taken_) return;
  const std::uint64_t wanted = line.size() + (size_hint_ - bytes_taken_);
  if (wanted > line.capacity() && wanted < line.max_size()) {
    line.reserve(static_cast<std::size_t>(wanted));
  }
}

bool LineReader::readLine(std::string& line) {
  line.clear();
  for (;;) {
    if (pos_ == end_ && !fill()) return !failed();  // the last line has no line end
    const char* const data = buffer_.data();
    const char* const begin = data + pos_;
    const char* const limit = data + end_;
    const char* const stop = std::find_if(begin, limit, [](char c) { return endsLine(c); });
    line.append(begin, stop);
    pos_ = static_cast<std::size_t>(stop - data);
    if (stop == limit) {
      makeRoom(line);
      continue;
    }
    if (*stop == kEndOfText) {
      ended_ = true;
      pos_ = end_ = 0;
      return true;
    }
    ++pos_;
    if (*stop == kCarriageReturn) {
      // A line feed straight after a carriage return belongs to the same
      // line end. A read error while looking for it does not spoil the line,
      // which is already whole; atEnd reports it.
      if (pos_ == end_ && !fill()) return true;
      if (buffer_[pos_] == kLineFeed) ++pos_;
    }
    return true;
  }
}

bool LineReader::atEnd() {
  if (pos_ == end_ && !fill()) return true;
  if (buffer_[pos_] != kEndOfText) return false;
  ended_ = true;
  pos_ = end_ = 0;
  return true;
}

void LineReader::close() {
  ended_ = true;
  pos_ = end_ = 0;
  source_.close();
}

}  // namespace orben
