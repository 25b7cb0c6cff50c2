#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orben::testing {

// Just enough JSON to read what tuka2 prints: objects (keys kept in order),
// arrays, strings with \uXXXX below 0x100, integers and null. Anything
// malformed throws, so a broken report fails the test that reads it.
struct Json {
  long long number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;
  std::vector<std::string> keys;

  const Json& operator[](const std::string& key) const { return members.at(key); }
  const Json& operator[](std::size_t i) const { return items.at(i); }

  static Json parse(std::string_view source) {
    std::size_t at = 0;
    Json value = read(source, at);
    if (skip(source, at) != source.size()) fail("text after the JSON value");
    return value;
  }

 private:
  [[noreturn]] static void fail(const std::string& what) { throw std::runtime_error(what); }
  // Passes over blanks; gives the position of the next character.
  static std::size_t skip(std::string_view s, std::size_t& at) {
    while (at < s.size() && std::string_view(" \n\r\t").find(s[at]) != std::string_view::npos) ++at;
    return at;
  }
  static bool take(std::string_view s, std::size_t& at, char c) {
    return skip(s, at) < s.size() && s[at] == c && ++at;
  }
  static void expect(std::string_view s, std::size_t& at, char c) {
    if (!take(s, at, c)) fail(std::string("expected ") + c);
  }
  static std::string string(std::string_view s, std::size_t& at) {
    expect(s, at, '"');
    std::string out;
    while (at < s.size() && s[at] != '"') {
      char c = s[at++];
      if (static_cast<unsigned char>(c) < 0x20) fail("raw control character");
      if (c == '\\') {
        c = at < s.size() ? s[at++] : '?';
        const std::size_t coded = std::string_view("rnt").find(c);
        if (c == 'u' && at + 4 <= s.size()) {
          const unsigned long code = std::stoul(std::string(s.substr(at, 4)), nullptr, 16);
          if (code >= 0x100) fail("escape beyond Latin-1");
          c = static_cast<char>(code);
          at += 4;
        } else if (coded != std::string_view::npos) {
          c = "\r\n\t"[coded];
        } else if (std::string_view("\"\\/").find(c) == std::string_view::npos) {
          fail("bad escape");
        }
      }
      out += c;
    }
    expect(s, at, '"');
    return out;
  }
  static Json read(std::string_view s, std::size_t& at) {
    Json v;
    if (skip(s, at) >= s.size()) fail("cut JSON");
    const char open = s[at];
    if (open == '"') {
      v.text = string(s, at);
    } else if (open == '{' || open == '[') {
      ++at;
      const char close = open == '{' ? '}' : ']';
      if (take(s, at, close)) return v;
      do {
        if (open == '[') {
          v.items.push_back(read(s, at));
          continue;
        }
        std::string key = string(s, at);
        expect(s, at, ':');
        if (!v.members.emplace(key, read(s, at)).second) fail("repeated " + key);
        v.keys.push_back(key);
      } while (take(s, at, ','));
      expect(s, at, close);
    } else if (s.substr(at, 4) == "null") {
      at += 4;
    } else {
      std::size_t used = 0;
      v.number = std::stoll(std::string(s.substr(at, 24)), &used);
      at += used;
    }
    return v;
  }
};

}  // namespace orben::testing
