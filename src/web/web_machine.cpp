#include "web/web_machine.h"

#include "disasm/listing_commands.h"

namespace orben::web {

WebMachine::WebMachine(double seed)
    : random_(static_cast<std::uint64_t>(seed)), tuka_(ui_, random_) {
  tuka_.listing.addObserver(&revision_);
  tuka_.machine.memory().addObserver(&memory_revision_);
  tuka_.power.startUp();
}

WebMachine::~WebMachine() {
  tuka_.machine.memory().removeObserver(&memory_revision_);
  tuka_.listing.removeObserver(&revision_);
}

bool WebMachine::editDisplay(std::string_view name, std::optional<WordText> answer) {
  const auto cell = cellOfDisplay(name);
  if (!cell) return false;
  if (answer) ui_.answerValue(*answer);
  editCellByHand(tuka_.machine, *cell);
  ui_.forgetAnswers();
  return true;
}

void WebMachine::chooseSpeed(std::optional<int> item) {
  if (item) ui_.answerSpeed(*item);
  tuka_.run.chooseSpeed();
  ui_.forgetAnswers();
}

void WebMachine::toggleDisassemblerMode(bool yes) {
  ui_.answerYesNo(yes);
  tuka_.disassembler.toggle();
  ui_.forgetAnswers();
}

void WebMachine::openLoad() {
  ClearListing(tuka_.listing);
}

LoadOutcome WebMachine::loadChosen(const std::string& name, std::string_view bytes) {
  return tuka_.load.loadBytes(name, bytes);
}

bool WebMachine::running() const {
  const Machine& m = tuka_.machine;
  return m.powerOn() && m.stepMode() == StepMode::Timed && m.panelState() == PanelState::Executing;
}

int WebMachine::tick(int count) {
  int executed = 0;
  while (executed < count && !ui_.hasMessages() && tuka_.run.tick()) ++executed;
  return executed;
}

}  // namespace orben::web
