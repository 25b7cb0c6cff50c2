#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orben::assembler {

// How a source's characters are written as bytes.
enum class SourceEncoding {
  Utf8,         // UTF-8 (ASCII is) without a byte-order mark
  Utf8WithBom,  // UTF-8 after the mark EF BB BF
  Windows1252,  // what Windows editors save as "ANSI"
};

// How a source's lines end.
enum class LineEnd { Lf, CrLf, Cr };

// A source as an editor holds it: its text as UTF-8 with every line ended
// by a line feed, and the encoding and line end its file was written with,
// so that saving writes it back the same way. An untouched source is
// written back byte for byte as it was read, even when its lines end in
// more than one way; an edited one ends all its lines as its first line
// did.
class SourceDocument {
 public:
  // A new, empty source: UTF-8, lines ended by a line feed.
  SourceDocument() = default;
  // The source of a file's bytes, read as the assembler reads them: UTF-8
  // when they are, else Windows-1252.
  explicit SourceDocument(std::string bytes);

  const std::string& text() const { return text_; }
  SourceEncoding encoding() const { return encoding_; }
  LineEnd lineEnd() const { return line_end_; }

  // The bytes of `text` written this document's way; a Windows-1252 source
  // given a character that encoding lacks is written as UTF-8 instead.
  std::string bytesFor(std::string_view text) const;
  // `text` has been written as bytesFor gave it: it becomes the document's
  // text, with the encoding it was written in.
  void saved(std::string_view text);

 private:
  std::string bytes_;
  std::string text_;
  SourceEncoding encoding_ = SourceEncoding::Utf8;
  LineEnd line_end_ = LineEnd::Lf;
};

// The source in the file `path`, or nothing with the reason in `reason`.
std::optional<SourceDocument> ReadSourceDocument(const std::string& path, std::string& reason);

// Writes `bytes` to `path` all at once: into a new file beside it, which
// then takes the old one's name (and permissions), so that a failed write
// leaves the old file as it was. False with the reason in `reason`.
bool WriteSourceFile(const std::string& path, std::string_view bytes, std::string& reason);

}  // namespace orben::assembler
