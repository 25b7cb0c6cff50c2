#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace orben::assembler {

// One value for each address 0000..FFFF, the default one until set. Room
// is taken 256 addresses at a time where something is set, so that a short
// program costs a page, not the whole space.
template <typename T>
class AddressTable {
 public:
  const T& operator[](std::uint32_t address) const {
    const auto& page = pages_[address >> 8 & 0xFF];
    return page ? (*page)[address & 0xFF] : kUnset;
  }
  T& at(std::uint32_t address) {
    auto& page = pages_[address >> 8 & 0xFF];
    if (!page) page = std::make_unique<std::array<T, 256>>();
    return (*page)[address & 0xFF];
  }

 private:
  static inline const T kUnset{};
  std::array<std::unique_ptr<std::array<T, 256>>, 256> pages_;
};

}  // namespace orben::assembler
