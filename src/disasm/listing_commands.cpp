#include "disasm/listing_commands.h"

#include "disasm/disassembler.h"
#include "machine/user_interface.h"

namespace orben {

namespace {

constexpr std::string_view kGridGuardMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la posición F000H "
    "de memoria.\rQue sea la última vez...";

}  // namespace

std::string ListingKey(std::string_view address) {
  std::string key = "[";
  key += address;
  key += "]: ";
  return key;
}

std::string RawListingLine(std::string_view address, std::string_view content) {
  return ListingKey(address) + std::string(content);
}

std::string ListingLine(std::string_view address, std::string_view content) {
  return ListingKey(address) + Disassemble(content);
}

void ClearListing(Listing& listing) {
  listing.Clear();
}

void RebuildListing(Listing& listing) {
  listing.RewriteAll([](const std::string& line) {
    const std::string_view text(line);
    const std::string_view content = text.size() > 8 ? text.substr(8, 4) : std::string_view();
    return std::string(text.substr(0, 8)) + Disassemble(content);
  });
}

void Mododesensamblador1Click(Machine& machine) {
  if (machine.DisassemblerMode() == 1) {
    machine.SetControl(Control::DisassemblerMode, 0);
    machine.SetCaption(Control::DisassemblerMenuCaption, "Activar Modo Desensamblador");
    ClearListing(machine.listing());
    return;
  }
  if (!machine.ui().AskYesNo(kDisassemblerModeTitle, kDisassemblerModeQuestion)) return;
  machine.SetControl(Control::DisassemblerMode, 1);
  ClearListing(machine.listing());
  machine.SetCaption(Control::DisassemblerMenuCaption, "Desactivar Modo Desensamblador");
}

void Al_Pulsar_Memoria(Machine& machine, long long caret_byte_index) {
  machine.SetControl(Control::MemoryGridCursor, static_cast<int>(caret_byte_index));
}

void Editar_Memoria(Machine& machine) {
  const long long address = machine.control(Control::MemoryGridCursor) / 2;
  if (address >= Machine::kMemoryWords) {
    machine.ErrorStop();
    machine.ShowMessage(kGridGuardMessage);
  }
  Listing& listing = machine.listing();
  if (machine.DisassemblerMode() != 1) {
    listing.SetSorted(false);
    return;
  }
  listing.SetSorted(true);
  const WordText address_text = ValueToWordText(address);
  const std::string key = ListingKey(address_text.view());
  const int found = listing.FindLast(key);
  if (found >= 0) listing.Remove(found);
  listing.Add(key + Disassemble(machine.ReadMemoryWord(address).view()));
}

}  // namespace orben
