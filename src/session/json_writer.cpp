#include "session/json_writer.h"

#include <cstdio>

namespace orben::session {

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t utf8Sequence(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length;
  unsigned min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  unsigned code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    code = (code << 6) | (c & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    char escape[8];
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const std::size_t n = utf8Sequence(text, i)) {
      out.append(text.substr(i, n));
      i += n - 1;
    } else {
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    }
  }
  out += '"';
  return out;
}

void writeJsonDocument(const JsonDocument& document, std::ostream& out) {
  switch (document.type()) {
    case JsonDocument::value_t::object: {
      out << '{';
      bool first = true;
      for (const auto& [key, value] : document.items()) {
        if (!first) out << ',';
        first = false;
        out << jsonString(key) << ':';
        writeJsonDocument(value, out);
      }
      out << '}';
      return;
    }
    case JsonDocument::value_t::array: {
      out << '[';
      bool first = true;
      for (const auto& value : document) {
        if (!first) out << ',';
        first = false;
        writeJsonDocument(value, out);
      }
      out << ']';
      return;
    }
    case JsonDocument::value_t::string:
      out << jsonString(document.get_ref<const std::string&>());
      return;
    case JsonDocument::value_t::boolean:
      out << (document.get<bool>() ? "true" : "false");
      return;
    case JsonDocument::value_t::number_integer:
      out << document.get<std::int64_t>();
      return;
    case JsonDocument::value_t::number_unsigned:
      out << document.get<std::uint64_t>();
      return;
    default:
      // Floating-point values have no place in a report; null is null.
      out << (document.is_number_float() ? document.dump() : "null");
      return;
  }
}

void JsonStream::separate() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (started_.empty()) return;
  if (started_.back()) out_ << ',';
  started_.back() = true;
}

void JsonStream::open(char bracket) {
  separate();
  out_ << bracket;
  started_.push_back(false);
}

void JsonStream::close(char bracket) {
  started_.pop_back();
  out_ << bracket;
}

void JsonStream::key(std::string_view name) {
  separate();
  out_ << jsonString(name) << ':';
  after_key_ = true;
}

void JsonStream::item(std::string_view text) {
  separate();
  out_ << jsonString(text);
}

void JsonStream::item(const JsonDocument& value) {
  separate();
  writeJsonDocument(value, out_);
}

}  // namespace orben::session
