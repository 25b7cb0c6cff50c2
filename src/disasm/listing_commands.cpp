#include "disasm/listing_commands.h"

#include "disasm/disassembler.h"
#include "machine/user_interface.h"

namespace orben {

namespace {

constexpr std::string_view kGridGuardMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la posición F000H "
    "de memoria.\rQue sea la última vez...";

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

std::string ListingLine(std::string_view address, std::string_view content) {
  return listingKey(address) + Disassemble(content);
}

void ClearListing(Listing& listing) {
  listing.clear();
}

void RebuildListing(Listing& listing) {
  listing.rewriteAll([](const std::string& line) {
    const std::string_view text(line);
    const std::string_view content = text.size() > 8 ? text.substr(8, 4) : std::string_view();
    return std::string(text.substr(0, 8)) + Disassemble(content);
  });
}

void Mododesensamblador1Click(Machine& machine) {
  if (machine.DisassemblerMode() == 1) {
    machine.setControl(Control::DisassemblerMode, 0);
    machine.setCaption(Control::DisassemblerMenuCaption, "Activar Modo Desensamblador");
    ClearListing(machine.listing());
    return;
  }
  if (!machine.ui().askYesNo(kDisassemblerModeTitle, kDisassemblerModeQuestion)) return;
  machine.setControl(Control::DisassemblerMode, 1);
  ClearListing(machine.listing());
  machine.setCaption(Control::DisassemblerMenuCaption, "Desactivar Modo Desensamblador");
}

void Al_Pulsar_Memoria(Machine& machine, long long caret_byte_index) {
  machine.setControl(Control::MemoryGridCursor, static_cast<int>(caret_byte_index));
}

void Editar_Memoria(Machine& machine) {
  const long long address = machine.control(Control::MemoryGridCursor) / 2;
  if (address >= Machine::kMemoryWords) {
    machine.ErrorStop();
    machine.showMessage(kGridGuardMessage);
  }
  Listing& listing = machine.listing();
  if (machine.DisassemblerMode() != 1) {
    listing.setSorted(false);
    return;
  }
  listing.setSorted(true);
  const WordText address_text = ValueToWordText(address);
  const std::string key = listingKey(address_text.view());
  const int found = listing.findLast(key);
  if (found >= 0) listing.remove(found);
  listing.add(key + Disassemble(machine.ReadMemoryWord(address).view()));
}

}  // namespace orben
