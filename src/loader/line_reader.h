#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orben {

// Where an object file's bytes come from: a file on disk, or a text in
// memory for the command-line runner and the tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `buffer`; 0 when no more bytes come, either at
  // the end of the data or after a read error (then error() says why).
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // Empty while nothing has failed.
  virtual const std::string& error() const = 0;
  // Lets go of the underlying file, if any; reading afterwards gives 0.
  virtual void close() {}
};

// A text held in memory. `chunk` limits how many bytes one read gives, so
// that short reads from a slow device can be imitated.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view data, std::size_t chunk = SIZE_MAX)
      : data_(data), chunk_(chunk == 0 ? 1 : chunk) {}
  std::size_t read(char* buffer, std::size_t size) override;
  const std::string& error() const override { return error_; }
  void close() override { data_ = {}; }

 private:
  std::string_view data_;
  std::size_t chunk_;
  std::string error_;
};

// A file opened for reading as bytes; closed when this object goes, so the
// file is let go on every way out of a load.
class FileSource : public ByteSource {
 public:
  FileSource() = default;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // False when the file cannot be opened; error() gives the system's reason.
  bool open(const std::string& path);
  std::size_t read(char* buffer, std::size_t size) override;
  const std::string& error() const override { return error_; }
  void close() override { file_.reset(); }
  // The file's size when the system can tell it, else 0.
  std::uint64_t sizeHint() const { return size_hint_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::string error_;
  std::uint64_t size_hint_ = 0;
};

// Splits a byte source into text lines. A line ends at a carriage return, at
// a carriage return followed by a line feed, or at a line feed alone, so
// files saved with any of the three conventions read line by line. The data
// ends at its last byte or at the first 1AH, after which nothing is read.
// Lines have no length limit; bytes are taken in large blocks.
class LineReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  // `size_hint`, the expected number of bytes (0 when unknown), lets a long
  // line be given its full room at once instead of growing step by step.
  explicit LineReader(ByteSource& source, std::uint64_t size_hint = 0,
                      std::size_t block_size = kBlockSize);

  // The next line, without its line end, into `line`. Past the end it gives
  // the empty line, so the first read of an empty file gives one empty line.
  // False when a read error cut the line short; error() then says why.
  bool readLine(std::string& line);
  // True when no further line follows: the bytes are used up, a 1AH came
  // next, or a read error happened (error() is then not empty).
  bool atEnd();
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  // Lets go of the source at once; nothing more is read.
  void close();

 private:
  bool fill();
  void makeRoom(std::string& line) const;

  ByteSource& source_;
  std::uint64_t size_hint_;
  std::uint64_t bytes_taken_ = 0;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  std::string error_;
};

}  // namespace orben
