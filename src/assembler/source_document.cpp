#include "assembler/source_document.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "assembler/source_file.h"
#include "assembler/source_text.h"

namespace orben::assembler {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The end of the first line that has one; a line feed when none has.
LineEnd FirstLineEnd(std::string_view text) {
  const std::size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos || text[end] == '\n') return LineEnd::Lf;
  return end + 1 < text.size() && text[end + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

// Every line of `text` ended by a line feed, whichever way it ended.
std::string WithLineFeeds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '\r') {
      lines.push_back(text[pos]);
      continue;
    }
    lines.push_back('\n');
    if (pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  }
  return lines;
}

std::string WithLineEnds(std::string_view text, LineEnd end) {
  if (end == LineEnd::Lf) return std::string(text);
  const std::string_view written = end == LineEnd::CrLf ? "\r\n" : "\r";
  std::string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') {
      lines += written;
    } else {
      lines.push_back(c);
    }
  }
  return lines;
}

}  // namespace

SourceDocument::SourceDocument(std::string bytes) : bytes_(std::move(bytes)) {
  std::string storage;
  const std::string_view utf8 = Utf8Source(bytes_, storage);
  const std::string_view raw(bytes_);
  const bool marked = raw.starts_with(kByteOrderMark);
  if (!IsUtf8(marked ? raw.substr(kByteOrderMark.size()) : raw)) {
    encoding_ = SourceEncoding::Windows1252;
  } else if (marked) {
    encoding_ = SourceEncoding::Utf8WithBom;
  }
  line_end_ = FirstLineEnd(utf8);
  text_ = WithLineFeeds(utf8);
}

std::string SourceDocument::bytesFor(std::string_view text) const {
  if (text == text_ && !bytes_.empty()) return bytes_;
  const std::string lines = WithLineEnds(text, line_end_);
  switch (encoding_) {
    case SourceEncoding::Utf8:
      break;
    case SourceEncoding::Utf8WithBom:
      return std::string(kByteOrderMark) + lines;
    case SourceEncoding::Windows1252:
      if (auto bytes = Windows1252Bytes(lines)) return *std::move(bytes);
      break;
  }
  return lines;
}

void SourceDocument::saved(std::string_view text) {
  std::string bytes = bytesFor(text);
  if (encoding_ == SourceEncoding::Windows1252 && !Windows1252Bytes(text)) {
    encoding_ = SourceEncoding::Utf8;
  }
  bytes_ = std::move(bytes);
  text_ = std::string(text);
}

std::optional<SourceDocument> ReadSourceDocument(const std::string& path, std::string& reason) {
  auto bytes = ReadSourceFile(path, reason);
  if (!bytes) return std::nullopt;
  return SourceDocument(*std::move(bytes));
}

bool WriteSourceFile(const std::string& path, std::string_view bytes, std::string& reason) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temporary = target;
  temporary += ".orben-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      reason = std::strerror(errno);
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      reason = std::strerror(errno);
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  const fs::file_status old = fs::status(target, error);
  if (!error && fs::exists(old)) fs::permissions(temporary, old.permissions(), error);
  fs::rename(temporary, target, error);
  if (error) {
    reason = error.message();
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace orben::assembler
