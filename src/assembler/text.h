#pragma once

#include <string>
#include <string_view>

namespace orben::assembler {

// The parts of a message one after the other. (Building messages with
// "text" + std::string(...) makes GCC 12 warn about an overlapping copy
// that cannot happen.)
template <typename... Parts>
std::string Concat(const Parts&... parts) {
  std::string text;
  (text.append(std::string_view(parts)), ...);
  return text;
}

}  // namespace orben::assembler
