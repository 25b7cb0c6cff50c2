#include "machine/machine.h"

#include <algorithm>

#include "machine/user_interface.h"

namespace orben {

Machine::Machine(UserInterface& ui, RandomSource& random)
    : ui_(ui),
      random_(random),
      captions_{"Encender TUKA-2", "Desactivar modo Paso a Paso", "Activar Modo desensamblador"},
      memory_(MemoryStore::kMachineBytes) {
  cells_.fill(kOffText);
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
  setStepMode(StepMode::StepByStep);
}

void Machine::setStepMode(StepMode mode) {
  const bool lamp = mode == StepMode::StepByStep;
  if (step_mode_ == mode && step_lamp_ == lamp) return;
  step_mode_ = mode;
  step_lamp_ = lamp;
  for (auto* observer : observers_) observer->controlChanged(Control::StepMode);
}

void Machine::showMessage(std::string_view text) {
  ui_.showMessage(text);
}

void Machine::setCaption(MenuItem item, std::string_view text) {
  std::string& caption = captions_[static_cast<std::size_t>(item)];
  if (caption == text) return;
  caption = text;
  for (auto* observer : observers_) observer->captionChanged(item);
}

void Machine::addObserver(MachineObserver* observer) {
  observers_.push_back(observer);
}

void Machine::removeObserver(MachineObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace orben
