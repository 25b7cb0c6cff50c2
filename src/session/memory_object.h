#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "loader/load_command.h"
#include "machine/machine.h"
#include "session/source_map.h"

namespace orben::session {

// The words first..last of memory, both included.
struct MemoryRange {
  std::uint16_t first = 0;
  std::uint16_t last = 0;
  friend bool operator==(const MemoryRange&, const MemoryRange&) = default;
};

// The range a save of memory starts at: the words the loaded source put
// there, from its lowest address to its highest; 0000..0000 without one.
MemoryRange defaultMemoryRange(const SourceMap& map);

// An address as typed: 1 to 4 hexadecimal digits, either case, nothing
// else (no blanks, no sign).
std::optional<std::uint16_t> addressOfText(std::string_view text);

// What the two typed addresses of a range come to.
enum class RangeCheck : std::uint8_t {
  Valid,
  BadAddress,  // one of them is not 1 to 4 hexadecimal digits
  Reversed,    // the first is above the last
};
RangeCheck checkMemoryRange(std::string_view first, std::string_view last, MemoryRange& range);

// What a range refused is told with; empty for a valid one.
inline constexpr std::string_view kBadAddressMessage =
    "Escriba una dirección de 1 a 4 cifras hexadecimales.";
inline constexpr std::string_view kReversedRangeMessage =
    "La primera dirección debe ser menor o igual que la última.";
std::string_view rangeCheckMessage(RangeCheck check);

// The object file of the words of `range`, in address order: in EHC each
// word with the source line `map` knows for its address as the comment
// (as the assembler writes it), none where the map knows none; in HEX a
// data record a word and the end record. Words the machine has no storage
// for (F000 and above, the monitor's) are left out: loaded back, the file
// gives every word of the range as it was and touches no other.
std::string memoryObjectText(const Machine& machine, const SourceMap& map, MemoryRange range,
                             ObjectFormat format);

// How a save of memory ended.
enum class MemorySave : std::uint8_t {
  Saved,
  BadExtension,  // the name ends neither in .EHC nor in .HEX (kBadExtensionMessage)
  NoStorage,     // the whole range lies at F000 or above (kLoadRefusedMessage)
  FileError,     // the file could not be written; the reason says why
};

// The object file of `range` for a file named `name`, in `text`, as
// saveMemoryObject would write it: Saved, or BadExtension or NoStorage with
// the message in `text` instead.
MemorySave memoryObjectNamed(const Machine& machine, const SourceMap& map, MemoryRange range,
                             const std::string& name, std::string& text);

// Guardar memoria como programa objeto: the words of `range` into the file
// `path`, in the format its extension names (as the loader reads it), all
// at once as a source is saved: a failed write leaves no file behind and an
// old one as it was. A range of no stored word writes nothing (a file of no
// word would not load).
MemorySave saveMemoryObject(const Machine& machine, const SourceMap& map, MemoryRange range,
                            const std::string& path, std::string& reason);

}  // namespace orben::session
