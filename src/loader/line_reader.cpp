#include "loader/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "loader/line_scanner.h"
#include "text/catalog.h"

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

constexpr std::string_view kNotRegularFile = N_("Not a regular file");

}  // namespace

std::size_t MemorySource::read(char* buffer, std::size_t size) {
  const std::size_t n = std::min({size, chunk_, data_.size()});
  // An empty view may hold no address at all, and memcpy takes none.
  if (n != 0) std::memcpy(buffer, data_.data(), n);
  data_.remove_prefix(n);
  return n;
}

bool FileSource::open(const std::string& path) {
  error_.clear();
  file_.reset();
  // A pipe would block the open until something writes to it, and a device
  // may never end: only a regular file is opened. A name that does not
  // exist is left to the open, for the system's own reason.
  std::error_code status_error;
  const auto status = std::filesystem::status(path, status_error);
  if (!status_error && std::filesystem::exists(status) &&
      !std::filesystem::is_regular_file(status)) {
    error_ = std::filesystem::is_directory(status)
                 ? std::make_error_code(std::errc::is_a_directory).message()
                 : std::string(kNotRegularFile);
    return false;
  }
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

LineReader::LineReader(ByteSource& source, std::size_t block_size)
    : source_(source), buffer_(std::max<std::size_t>(block_size, 1)) {}

bool LineReader::fill() {
  if (ended_) return false;
  if (progress_ && !progress_(bytes_taken_)) {
    ended_ = cancelled_ = true;
    return false;
  }
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

namespace {

// PrepareLine, a piece of a line at a time: the letters upper-cased,
// nothing from the first ';' on, every run of blanks one space between
// words and none at either end.
class Preparer {
 public:
  explicit Preparer(PreparedLine& line) : line_(line) {}

  void take(const char* begin, const char* end) {
    if (in_comment_) return;
    for (const char* p = begin; p != end; ++p) {
      const char c = *p;
      if (c == ';') {
        in_comment_ = true;
        return;
      }
      if (IsBlankChar(c)) {
        blank_pending_ = line_.length > 0;
        continue;
      }
      if (line_.length == 0 || blank_pending_) ++line_.words;
      if (blank_pending_) put(' ');
      blank_pending_ = false;
      put(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
  }

 private:
  void put(char c) {
    if (line_.text.size() < PreparedLine::kKept) line_.text.push_back(c);
    ++line_.length;
  }

  PreparedLine& line_;
  bool in_comment_ = false;
  bool blank_pending_ = false;
};

}  // namespace

bool LineReader::readLine(PreparedLine& line, std::uint64_t enough) {
  line.text.clear();
  line.length = line.words = 0;
  line.whole = true;
  Preparer preparer(line);
  std::uint64_t raw = 0;
  for (;;) {
    // The last line has no line end; a cut one ends reading.
    if (pos_ == end_ && !fill()) return !failed() && !cancelled_;
    const char* const data = buffer_.data();
    const char* const begin = data + pos_;
    const char* const limit = data + end_;
    const char* const stop = std::find_if(begin, limit, [](char c) { return endsLine(c); });
    raw += static_cast<std::uint64_t>(stop - begin);
    if (raw > kLineLimit) {
      error_ = kLineTooLong;
      ended_ = true;
      pos_ = end_ = 0;
      return false;
    }
    preparer.take(begin, stop);
    pos_ = static_cast<std::size_t>(stop - data);
    if (line.length > enough) {
      line.whole = false;
      ended_ = true;
      pos_ = end_ = 0;
      return true;
    }
    if (stop != limit) return endLine();
  }
}

bool LineReader::endLine() {
  const char end = buffer_[pos_];
  if (end == kEndOfText) {
    ended_ = true;
    pos_ = end_ = 0;
    return true;
  }
  ++pos_;
  if (end == kCarriageReturn) {
    // A line feed straight after a carriage return belongs to the same line
    // end. A read error while looking for it does not spoil the line, which
    // is already whole; atEnd reports it.
    if (pos_ == end_ && !fill()) return true;
    if (buffer_[pos_] == kLineFeed) ++pos_;
  }
  return true;
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
