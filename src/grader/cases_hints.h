#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "grader/cases.h"

namespace orben::grader {

// The first byte of `text` that is not UTF-8, as the file's fault; none
// when it all is (a NUL is left to the TOML reader).
std::optional<CasesError> NotUtf8(std::string_view text);

// What the common mistake at `line`:`column` of `text`, where the TOML
// reader stopped, likely is: a word without its quotes, a text without its
// closing quote.
std::optional<Text> SyntaxHint(std::string_view text, std::size_t line, std::size_t column);

}  // namespace orben::grader
