#include "machine/machine.h"

#include <algorithm>

#include "machine/user_interface.h"

namespace orben {

Machine::Machine(UserInterface& ui, RandomSource& random)
    : ui_(ui),
      random_(random),
      power_menu_caption_("Encender TUKA-2"),
      step_menu_caption_("Desactivar modo Paso a Paso"),
      disassembler_menu_caption_("Activar Modo desensamblador"),
      memory_(MemoryStore::kMachineBytes) {
  cells_.fill(kOffText);
  controls_[static_cast<int>(Control::StepMode)] = 1;
  controls_[static_cast<int>(Control::PanelState)] = 2;
  controls_[static_cast<int>(Control::StepInterval)] = 1000;
  controls_[static_cast<int>(Control::InitMemoryAtPowerOn)] = 1;
}

void Machine::WriteMemoryWord(long long address, const WordText& text) {
  // A negative address cannot come from a word text; it is refused like the
  // monitor's area rather than written before the store.
  if (address >= kMemoryWords || address < 0) {
    ErrorStop();
    showMessage(kStoreRefusedMessage);
    return;
  }
  const auto view = text.view();
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(ByteTextToValue(
                                     view.substr(0, std::min<std::size_t>(2, view.size())))),
                                 static_cast<std::uint8_t>(ByteTextToValue(
                                     view.size() > 2 ? view.substr(2) : std::string_view()))};
  memory_.setBytes(2 * address, bytes);
}

void Machine::ErrorStop() {
  ++error_stops_;
  setControl(Control::StepMode, 1);
}

void Machine::showMessage(std::string_view text) {
  ui_.showMessage(text);
}

const std::string& Machine::caption(Control c) const {
  switch (c) {
    case Control::PowerMenuCaption:
      return power_menu_caption_;
    case Control::StepMenuCaption:
      return step_menu_caption_;
    default:
      return disassembler_menu_caption_;
  }
}

void Machine::setCaption(Control c, std::string text) {
  std::string* target = &disassembler_menu_caption_;
  if (c == Control::PowerMenuCaption) target = &power_menu_caption_;
  if (c == Control::StepMenuCaption) target = &step_menu_caption_;
  if (*target == text) return;
  *target = std::move(text);
  for (auto* observer : observers_) observer->controlChanged(c);
}

void Machine::addObserver(MachineObserver* observer) {
  observers_.push_back(observer);
}

void Machine::removeObserver(MachineObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace orben
