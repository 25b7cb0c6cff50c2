#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace orben::runner {

// A JSON string literal of `text`. Valid UTF-8 passes through; any other
// byte (object files are 8-bit text, and a corrupt line is quoted back in a
// message) is taken as Latin-1, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// Writes one JSON object, member by member, with the commas in place.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }
  void key(std::string_view key);
  void text(std::string_view text);
  void number(long long value);
  void null();

 private:
  void open(char bracket);
  void close(char bracket);
  void separate();

  std::ostream& out_;
  bool first_ = true;
  bool after_key_ = false;
};

}  // namespace orben::runner
