#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace orben::runner {

// A JSON string literal of `text`. Valid UTF-8 passes through; any other
// byte (object files are 8-bit text, and a corrupt line is quoted back in a
// message) is taken as Latin-1, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// A JSON document as tuka2 builds it: members in the order they were set.
using JsonDocument = nlohmann::ordered_json;

// Writes `document` on one line, without blanks, its strings as
// jsonString makes them.
void writeJsonDocument(const JsonDocument& document, std::ostream& out);

}  // namespace orben::runner
