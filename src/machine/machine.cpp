#include "machine/machine.h"

#include <algorithm>

#include "machine/user_interface.h"

namespace orben {

Machine::Machine(UserInterface& ui, RandomSource& random)
    : ui_(ui),
      random_(random),
      captions_{"Encender TUKA-2", "Desactivar modo Paso a Paso", "Activar Modo desensamblador"},
      memory_(MemoryStore::kMachineBytes) {
  cells_.fill(CellValue::off());
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

void Machine::WriteMemoryWord(long long address, const CellValue& value) {
  if (!value.isWord() || address >= kMemoryWords || address < 0) {
    WriteMemoryWord(address, value.text());
    return;
  }
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value.asWord() >> 8),
                                 static_cast<std::uint8_t>(value.asWord() & 0xFF)};
  memory_.setBytes(2 * address, bytes);
}

void Machine::ErrorStop() {
  ++error_stops_;
  setStepMode(StepMode::StepByStep);
}

void Machine::setStepMode(StepMode mode) {
  restoreStepMode(mode, mode == StepMode::StepByStep);
}

void Machine::restoreStepMode(StepMode mode, bool lamp) {
  if (step_mode_ == mode && step_lamp_ == lamp) return;
  step_mode_ = mode;
  step_lamp_ = lamp;
  for (auto* observer : control_observers_) observer->controlChanged(Control::StepMode);
}

void Machine::showMessage(std::string_view text) {
  ui_.showMessage(text);
}

void Machine::setCaption(MenuItem item, std::string_view text) {
  std::string& caption = captions_[static_cast<std::size_t>(item)];
  if (caption == text) return;
  caption = text;
  for (auto* observer : caption_observers_) observer->captionChanged(item);
}

void Machine::addObserver(MachineObserver* observer) {
  observers_.push_back(observer);
  const Notices notices = observer->notices();
  if (notices.cells) cell_observers_.push_back(observer);
  if (notices.flags) flag_observers_.push_back(observer);
  if (notices.controls) control_observers_.push_back(observer);
  if (notices.captions) caption_observers_.push_back(observer);
  if (notices.program_counter) pc_observers_.push_back(observer);
}

void Machine::removeObserver(MachineObserver* observer) {
  for (auto* list : {&observers_, &cell_observers_, &flag_observers_, &control_observers_,
                     &caption_observers_, &pc_observers_}) {
    list->erase(std::remove(list->begin(), list->end(), observer), list->end());
  }
}

}  // namespace orben
