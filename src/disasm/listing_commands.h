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

// Removes every line and scrolls the list back to its left edge.
void ClearListing(Listing& listing);
// Rewrites every raw line into its address part and the disassembly of its
// content digits, keeping positions and the selection.
void RebuildListing(Listing& listing);

// Marks the listing line of every address that SetPC writes into PC.
class ExecutingLineMarker final : public MachineObserver {
 public:
  explicit ExecutingLineMarker(Listing& listing) : listing_(listing) {}
  Notices notices() const override {
    return {.cells = false, .flags = false, .controls = false, .captions = false};
  }
  void programCounterSet(const CellValue& pc) override {
    if (pc.isWord()) {
      listing_.selectWordAddress(pc.asWord());
    } else {
      listing_.selectAddress(pc.text());
    }
  }
  // Every word that has a line.
  void addWatchedAddresses(WatchedAddresses& addresses) const override {
    listing_.addLinedAddresses(addresses);
  }

 private:
  Listing& listing_;
};

inline constexpr std::string_view kDisassemblerModeTitle = "Modo Desensamblador";
inline constexpr std::string_view kDisassemblerModeQuestion =
    "Al comenzar el Modo Desensamblador perderá\rlos datos del proyecto en curso.\r¿Desea "
    "comenzar este modo?";

// The disassembler mode and the memory grid's edits that it lists.
class DisassemblerMode {
 public:
  DisassemblerMode(Machine& machine, Listing& listing) : m_(machine), listing_(listing) {}

  // The menu command: off at once; on only after Yes to the question.
  // Either way the listing is emptied.
  void toggle();
  // A key went down in the memory grid: notes the byte index under the
  // caret.
  void noteGridCaret(long long caret_byte_index);
  // A key came up in the memory grid: guards the monitor's area and, in
  // disassembler mode, lists again the word noted at the last key-down, at
  // its address's place.
  void relistEditedWord();

 private:
  Machine& m_;
  Listing& listing_;
};

}  // namespace orben
