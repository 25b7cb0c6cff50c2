#include "disasm/listing_commands.h"

#include "disasm/disassembler.h"
#include "machine/user_interface.h"

namespace orben {

namespace {

// The grid's guard says what a refused store says, and one line more.
const std::string kGridGuardMessage =
    std::string(kStoreRefusedMessage) + "\rQue sea la última vez...";

}  // namespace

std::string listingKey(std::string_view address) {
  std::string key = "[";
  key += address;
  key += "]: ";
  return key;
}

std::string RawListingLine(std::string_view address, std::string_view content) {
  return listingKey(address) + std::string(content);
}

void ClearListing(Listing& listing) {
  listing.clear();
}

void RebuildListing(Listing& listing) {
  listing.disassembleAll();
}

void DisassemblerMode::toggle() {
  if (m_.disassemblerMode()) {
    m_.setDisassemblerMode(false);
    m_.setCaption(MenuItem::DisassemblerMode, "Activar Modo Desensamblador");
    ClearListing(listing_);
    return;
  }
  if (!m_.ui().askYesNo(kDisassemblerModeTitle, kDisassemblerModeQuestion)) return;
  m_.setDisassemblerMode(true);
  ClearListing(listing_);
  m_.setCaption(MenuItem::DisassemblerMode, "Desactivar Modo Desensamblador");
}

void DisassemblerMode::noteGridCaret(long long caret_byte_index) {
  m_.setMemoryGridCursor(static_cast<std::int32_t>(caret_byte_index));
}

void DisassemblerMode::relistEditedWord() {
  const long long address = m_.memoryGridCursor() / 2;
  if (address >= Machine::kMemoryWords) {
    m_.ErrorStop();
    m_.showMessage(kGridGuardMessage);
  }
  if (!m_.disassemblerMode()) {
    listing_.setSorted(false);
    return;
  }
  listing_.setSorted(true);
  const WordText address_text = ValueToWordText(address);
  const int found = listing_.findLast(listingKey(address_text.view()));
  if (found >= 0) listing_.remove(found);
  const WordText word = m_.ReadMemoryWord(address);
  const int value = wordAddress(word.view());
  if (value >= 0 && address <= 0xFFFF) {
    listing_.add(static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(value),
                 Listing::Form::Disassembled);
  } else {
    // The monitor's area has no word: its key and an empty disassembly.
    listing_.add(listingKey(address_text.view()) + Disassemble(word.view()));
  }
}

}  // namespace orben
