#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orben::testing {

// Just enough JSON to read what tuka2 prints: objects, arrays, strings
// (with \uXXXX escapes below 0x100), integers and null. Throws on anything
// malformed, so a broken report fails the test that reads it.
struct Json {
  enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
  long long number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;
  std::vector<std::string> keys;  // members in their order

  const Json& operator[](const std::string& key) const {
    auto it = members.find(key);
    if (it == members.end()) throw std::runtime_error("no member " + key);
    return it->second;
  }
  const Json& operator[](std::size_t i) const { return items.at(i); }
  bool isNull() const { return kind == Kind::Null; }

  static Json parse(std::string_view source) {
    std::size_t at = 0;
    Json value = parseValue(source, at);
    skipBlanks(source, at);
    if (at != source.size()) throw std::runtime_error("trailing text after JSON");
    return value;
  }

 private:
  static void skipBlanks(std::string_view s, std::size_t& at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t')) ++at;
  }
  static void expect(std::string_view s, std::size_t& at, char c) {
    skipBlanks(s, at);
    if (at >= s.size() || s[at] != c) throw std::runtime_error(std::string("expected ") + c);
    ++at;
  }
  static std::string parseString(std::string_view s, std::size_t& at) {
    expect(s, at, '"');
    std::string out;
    while (at < s.size() && s[at] != '"') {
      char c = s[at++];
      if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at >= s.size()) throw std::runtime_error("cut escape");
      c = s[at++];
      switch (c) {
        case 'r':
          out += '\r';
          break;
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'u': {
          const long code = std::strtol(std::string(s.substr(at, 4)).c_str(), nullptr, 16);
          at += 4;
          if (code >= 0x100) throw std::runtime_error("escape beyond Latin-1");
          out += static_cast<char>(code);
          break;
        }
        default:
          throw std::runtime_error("bad escape");
      }
    }
    expect(s, at, '"');
    return out;
  }
  static Json parseValue(std::string_view s, std::size_t& at) {
    skipBlanks(s, at);
    if (at >= s.size()) throw std::runtime_error("cut JSON");
    Json v;
    const char c = s[at];
    if (c == '{') {
      v.kind = Kind::Object;
      ++at;
      skipBlanks(s, at);
      if (s[at] == '}') return ++at, v;
      while (true) {
        std::string key = parseString(s, at);
        expect(s, at, ':');
        if (v.members.count(key)) throw std::runtime_error("repeated key " + key);
        v.keys.push_back(key);
        v.members[key] = parseValue(s, at);
        skipBlanks(s, at);
        if (s[at] == ',') {
          ++at;
          continue;
        }
        expect(s, at, '}');
        return v;
      }
    }
    if (c == '[') {
      v.kind = Kind::Array;
      ++at;
      skipBlanks(s, at);
      if (s[at] == ']') return ++at, v;
      while (true) {
        v.items.push_back(parseValue(s, at));
        skipBlanks(s, at);
        if (s[at] == ',') {
          ++at;
          continue;
        }
        expect(s, at, ']');
        return v;
      }
    }
    if (c == '"') {
      v.kind = Kind::String;
      v.text = parseString(s, at);
      return v;
    }
    if (s.substr(at, 4) == "null") {
      at += 4;
      return v;
    }
    std::size_t end = at;
    if (s[end] == '-') ++end;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    if (end == at) throw std::runtime_error("unexpected character in JSON");
    v.kind = Kind::Number;
    v.number = std::stoll(std::string(s.substr(at, end - at)));
    at = end;
    return v;
  }
};

}  // namespace orben::testing
