#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/catalog.h"

namespace orben {

// Where an object file's bytes come from: a file on disk, or a text in
// memory for the command-line runner and the tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `buffer`; 0 when no more bytes come, either at
  // the end of the data or after a read error (then error() says why).
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // Empty while nothing has failed. The system's reason or one of ours,
  // kept in English (the catalog's key): a person is shown tr(error()).
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
// file is let go on every way out of a load. Only regular files are
// opened: a pipe, socket or device could block the program or never end.
class FileSource : public ByteSource {
 public:
  FileSource() = default;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // False when the file cannot be opened or is not a regular file; error()
  // gives the reason.
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

// One object-file line as the readers judge it, made ready while it
// streams in: upper-cased, cut at its first ';' and its blanks collapsed,
// as PrepareLine makes it. Only its first kKept characters are kept, enough
// for any record and for the quote of a corrupt line.
struct PreparedLine {
  static constexpr std::size_t kKept = 256;

  std::string text;          // the prepared line's first characters
  std::uint64_t length = 0;  // the whole prepared line's length
  std::uint64_t words = 0;   // its runs of non-blank characters
  bool whole = true;         // false when reading stopped inside the line

  // The whole prepared line is in `text`.
  bool complete() const { return whole && length == text.size(); }
};

// Splits a byte source into prepared lines. A line ends at a carriage
// return, at a carriage return followed by a line feed, or at a line feed
// alone, so files saved with any of the three conventions read line by
// line. The data ends at its last byte or at the first 1AH, after which
// nothing is read. Bytes are taken in blocks, and a line is judged as it
// streams: however long a line or a file, the reader holds one block and a
// few hundred characters.
class LineReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  // A line longer than this ends reading as a read error: no object line
  // needs it, and a file of one endless line (a disk image, a sparse file)
  // is answered in a moment instead of being read for minutes.
  static constexpr std::uint64_t kLineLimit = std::uint64_t{64} << 20;
  static constexpr std::string_view kLineTooLong = N_("Line too long (over 64 MiB)");

  explicit LineReader(ByteSource& source, std::size_t block_size = kBlockSize);

  // Before each block, `progress` is told how many bytes were taken so
  // far; when it answers false, reading stops there (cancelled()).
  void onProgress(std::function<bool(std::uint64_t)> progress) { progress_ = std::move(progress); }

  // The next line into `line`. Past the end it gives the empty line, so the
  // first read of an empty file gives one empty line. Once the prepared
  // line is longer than `enough`, the rest cannot change what the reader
  // makes of it: reading stops inside the line (line.whole is false) and
  // nothing more is read. False when a read error, a line over kLineLimit
  // or a stop from the progress cut the line short.
  bool readLine(PreparedLine& line, std::uint64_t enough = UINT64_MAX);
  // True when no further line follows: the bytes are used up, a 1AH came
  // next, a read error happened (error() is then not empty) or reading was
  // stopped (cancelled()).
  bool atEnd();
  bool failed() const { return !error_.empty(); }
  bool cancelled() const { return cancelled_; }
  const std::string& error() const { return error_; }
  // Lets go of the source at once; nothing more is read.
  void close();

 private:
  bool fill();
  // Cuts the line at the line end at pos_ and steps over it.
  bool endLine();

  ByteSource& source_;
  std::function<bool(std::uint64_t)> progress_;
  std::uint64_t bytes_taken_ = 0;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  bool cancelled_ = false;
  std::string error_;
};

}  // namespace orben
