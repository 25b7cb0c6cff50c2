#pragma once

// The compiled catalog: made from po/es.po when the program is built.

#include <cstddef>
#include <string_view>

namespace orben::detail {

struct CatalogEntry {
  std::string_view english;
  std::string_view translated;
};

// Sorted by the English text, byte by byte.
extern const CatalogEntry kSpanish[];
extern const std::size_t kSpanishCount;

}  // namespace orben::detail
