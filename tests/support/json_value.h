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
  enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
  long long number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;
  std::vector<std::string> keys;

  const Json& operator[](const std::string& key) const { return members.at(key); }
  const Json& operator[](std::size_t i) const { return items.at(i); }
  bool isNull() const { return kind == Kind::Null; }

  static Json parse(std::string_view source) {
    Reader reader{source};
    Json value = reader.value();
    reader.blanks();
    if (reader.at != source.size()) throw std::runtime_error("text after the JSON value");
    return value;
  }

 private:
  struct Reader {
    std::string_view s;
    std::size_t at = 0;

    void blanks() {
      while (at < s.size() && std::string_view(" \n\r\t").find(s[at]) != std::string_view::npos)
        ++at;
    }
    bool take(char c) {
      blanks();
      if (at < s.size() && s[at] == c) return ++at, true;
      return false;
    }
    void expect(char c) {
      if (!take(c)) throw std::runtime_error(std::string("expected ") + c);
    }
    std::string string() {
      expect('"');
      std::string out;
      while (at < s.size() && s[at] != '"') {
        const char c = s[at++];
        if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character");
        if (c != '\\') {
          out += c;
          continue;
        }
        const char e = at < s.size() ? s[at++] : '?';
        const std::string_view plain = "\"\\/", coded = "rnt";
        if (plain.find(e) != std::string_view::npos) {
          out += e;
        } else if (coded.find(e) != std::string_view::npos) {
          out += "\r\n\t"[coded.find(e)];
        } else if (e == 'u' && at + 4 <= s.size()) {
          const unsigned long code = std::stoul(std::string(s.substr(at, 4)), nullptr, 16);
          if (code >= 0x100) throw std::runtime_error("escape beyond Latin-1");
          out += static_cast<char>(code);
          at += 4;
        } else {
          throw std::runtime_error("bad escape");
        }
      }
      expect('"');
      return out;
    }
    Json value() {
      Json v;
      blanks();
      if (at >= s.size()) throw std::runtime_error("cut JSON");
      const char open = s[at];
      if (open == '{' || open == '[') {
        ++at;
        const char close = open == '{' ? '}' : ']';
        v.kind = open == '{' ? Kind::Object : Kind::Array;
        if (take(close)) return v;
        do {
          if (v.kind == Kind::Array) {
            v.items.push_back(value());
            continue;
          }
          std::string key = string();
          expect(':');
          if (!v.members.emplace(key, value()).second) throw std::runtime_error("repeated " + key);
          v.keys.push_back(key);
        } while (take(','));
        expect(close);
      } else if (open == '"') {
        v.kind = Kind::String;
        v.text = string();
      } else if (s.substr(at, 4) == "null") {
        at += 4;
      } else {
        std::size_t used = 0;
        v.kind = Kind::Number;
        v.number = std::stoll(std::string(s.substr(at, 24)), &used);
        at += used;
      }
      return v;
    }
  };
};

}  // namespace orben::testing
