#include "assembler/source_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "machine/word_text.h"

namespace orben::assembler {

namespace {

// The length of the UTF-8 sequence at `pos`, or 0 when the bytes there are
// not one: a stray continuation byte, a cut or overlong sequence, a
// surrogate or a value beyond 10FFFF.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3F);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
}

// The characters of Windows-1252's bytes 80..9F; the five it leaves
// undefined (81, 8D, 8F, 90, 9D) stand for the control characters of the
// same number, as 00..7F and A0..FF do for theirs.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& text, char32_t value) {
  if (value < 0x80) {
    text.push_back(static_cast<char>(value));
  } else if (value < 0x800) {
    text.push_back(static_cast<char>(0xC0 | value >> 6));
    text.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xE0 | value >> 12));
    text.push_back(static_cast<char>(0x80 | (value >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  }
}

// The character of the whole UTF-8 sequence at `pos`, `length` bytes long.
char32_t Utf8Value(std::string_view text, std::size_t pos, std::size_t length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (length == 1) return lead;
  constexpr unsigned char kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t value = lead & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) {
    value = value << 6 | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
  }
  return value;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8Length(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::optional<std::string> Windows1252Bytes(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = Utf8Length(utf8, pos);
    if (length == 0) return std::nullopt;
    const char32_t value = Utf8Value(utf8, pos, length);
    pos += length;
    if (value <= 0xFF && (value < 0x80 || value > 0x9F)) {
      bytes.push_back(static_cast<char>(value));
      continue;
    }
    const auto* high = std::find(std::begin(kWindows1252High), std::end(kWindows1252High), value);
    if (high == std::end(kWindows1252High)) return std::nullopt;
    bytes.push_back(static_cast<char>(0x80 + (high - std::begin(kWindows1252High))));
  }
  return bytes;
}

std::string_view Utf8Source(std::string_view source, std::string& storage) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (source.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    source.remove_prefix(kByteOrderMark.size());
  }
  if (IsUtf8(source)) return source;
  storage.clear();
  storage.reserve(source.size() + source.size() / 2);
  for (const char c : source) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(storage, byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
  }
  return storage;
}

std::optional<TextFault> CheckText(std::string_view source) {
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t pos = 0; pos < source.size();) {
    const char c = source[pos];
    const std::size_t length = c == '\0' ? 0 : Utf8Length(source, pos);
    if (length == 0) {
      const auto byte = static_cast<unsigned char>(c);
      const std::string digits = wordOf(byte).str().substr(2);
      return TextFault{line, column,
                       Text("the source is not UTF-8 or ASCII text (byte {0}H here)", digits)};
    }
    ++column;
    if (c == '\n' || (c == '\r' && (pos + 1 >= source.size() || source[pos + 1] != '\n'))) {
      ++line;
      column = 1;
    }
    pos += length;
  }
  return std::nullopt;
}

bool SourceLines::next(std::string_view& line, std::size_t& number) {
  if (pos_ >= source_.size()) return false;
  std::size_t end = pos_;
  while (end < source_.size() && source_[end] != '\n' && source_[end] != '\r') ++end;
  line = source_.substr(pos_, end - pos_);
  number = ++number_;
  if (end < source_.size()) {
    const bool crlf = source_[end] == '\r' && end + 1 < source_.size() && source_[end + 1] == '\n';
    end += crlf ? 2 : 1;
  }
  pos_ = end;
  return true;
}

std::string_view TrimBlanks(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = line.find_last_not_of(" \t");
  return line.substr(first, last - first + 1);
}

}  // namespace orben::assembler
