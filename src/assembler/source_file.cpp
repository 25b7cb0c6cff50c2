#include "assembler/source_file.h"

#include <vector>

#include "loader/line_reader.h"
#include "text/catalog.h"

namespace orben::assembler {

std::optional<std::string> ReadSourceFile(const std::string& path, std::string& reason) {
  FileSource file;
  if (!file.open(path)) {
    reason = file.error();
    return std::nullopt;
  }
  const std::string_view too_large = N_("larger than 64 MiB: no TUKA-2 source needs that much");
  if (file.sizeHint() > kSourceLimit) {
    reason = too_large;
    return std::nullopt;
  }
  std::string text;
  text.reserve(static_cast<std::size_t>(file.sizeHint()));
  std::vector<char> block(std::size_t{1} << 20);
  while (const std::size_t got = file.read(block.data(), block.size())) {
    text.append(block.data(), got);
    if (text.size() > kSourceLimit) {
      reason = too_large;
      return std::nullopt;
    }
  }
  if (!file.error().empty()) {
    reason = file.error();
    return std::nullopt;
  }
  return text;
}

}  // namespace orben::assembler
