#pragma once

#include <string>
#include <string_view>

#include "disasm/listing.h"
#include "machine/machine.h"

namespace orben {

// "[" + address + "]: ", the start of every listing line.
std::string listingKey(std::string_view address);
// The raw line a load appends: "[0010]: 2105".
std::string RawListingLine(std::string_view address, std::string_view content);
// The final line: "[0010]: LLI R1, H'05".
std::string ListingLine(std::string_view address, std::string_view content);

// Removes every line and scrolls the list back to its left edge.
void ClearListing(Listing& listing);
// Rewrites every raw line into its address part and the disassembly of its
// content digits, keeping positions and the selection.
void RebuildListing(Listing& listing);

inline constexpr std::string_view kDisassemblerModeTitle = "Modo Desensamblador";
inline constexpr std::string_view kDisassemblerModeQuestion =
    "Al comenzar el Modo Desensamblador perderá\rlos datos del proyecto en curso.\r¿Desea "
    "comenzar este modo?";

// The menu command Mododesensamblador1: off at once; on only after Yes to
// the question. Either way the listing is emptied.
void Mododesensamblador1Click(Machine& machine);

// The memory grid's key-down: notes the byte index under the caret.
void Al_Pulsar_Memoria(Machine& machine, long long caret_byte_index);
// The memory grid's key-up: guards the monitor's area and, in disassembler
// mode, rewrites the line of the word noted at the last key-down.
void Editar_Memoria(Machine& machine);

}  // namespace orben
