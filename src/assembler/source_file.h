#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orben::assembler {

// The whole text of a source (or of a program a grader reads once and loads
// for every case), or nothing with the reason in `reason`: a file that
// cannot be opened, is not a regular file, or is larger than
// kSourceLimit. The reason is the system's or one of ours, kept in English
// for JSON: a person is shown tr(reason).
std::optional<std::string> ReadSourceFile(const std::string& path, std::string& reason);

// No program of a 64K-word machine comes near this size, and a disk image
// or an endless device named as a source is answered before it fills
// memory.
inline constexpr std::uint64_t kSourceLimit = std::uint64_t{64} << 20;

}  // namespace orben::assembler
