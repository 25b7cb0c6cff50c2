#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace orben::session {

// A JSON string literal of `text`. Valid UTF-8 passes through; any other
// byte (object files are 8-bit text, and a corrupt line is quoted back in a
// message) is taken as Latin-1, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// A JSON document as tuka2 builds it: members in the order they were set.
using JsonDocument = nlohmann::ordered_json;

// Writes `document` on one line, without blanks, its strings as
// jsonString makes them.
void writeJsonDocument(const JsonDocument& document, std::ostream& out);

// Writes one JSON value as it goes, in the form writeJsonDocument gives a
// document, for reports too large to hold whole: the commas between members
// and items are its own. Members and items that are small values are
// written through writeJsonDocument.
class JsonStream {
 public:
  explicit JsonStream(std::ostream& out) : out_(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }
  // The next member's key; its value follows.
  void key(std::string_view name);
  void item(std::string_view text);
  void item(const std::string& text) { item(std::string_view(text)); }
  void item(const char* text) { item(std::string_view(text)); }
  void item(const JsonDocument& value);
  template <typename Value>
  void member(std::string_view name, const Value& value) {
    key(name);
    item(value);
  }

 private:
  void open(char bracket);
  void close(char bracket);
  // The comma before an item or a member, but the first of its container.
  void separate();

  std::ostream& out_;
  // For each open container: whether it has had an item or member yet.
  std::vector<bool> started_;
  bool after_key_ = false;
};

}  // namespace orben::session
