#include "session/session.h"

#include <sstream>

#include "loader/line_reader.h"
#include "loader/line_scanner.h"

namespace orben::session {

std::unique_ptr<RandomSource> makeRandomSource(const PowerOnValues& values) {
  if (values.fill) return std::make_unique<FillRandom>(*values.fill);
  if (values.seed) return std::make_unique<SeededRandom>(*values.seed);
  return std::make_unique<SeededRandom>();
}

Session::Session(const PowerOnValues& values)
    : random_(makeRandomSource(values)), tuka_(ui_, *random_), checks_(tuka_) {}

void Session::startUp() {
  tuka_.power.startUp();
}

void Session::switchOn() {
  startUp();
  tuka_.power.TogglePower();
  const Machine& m = tuka_.machine;
  for (int port = 0; port < kPortCount; ++port) {
    inputs_at_power_on_[port] = m.cell(inputPortCell(port));
    outputs_at_power_on_[port] = m.cell(outputPortCell(port));
  }
}

ProgramLoad Session::load(const std::string& path, std::ostream& err) {
  return loadProgramFile(tuka_, ui_, path, err, source_map_);
}

ProgramLoad Session::loadSource(std::string_view text, const std::string& name, std::ostream& err) {
  return loadSourceText(tuka_, text, name, err, source_map_);
}

void Session::loadObject(ObjectFormat format, const std::string& name, std::string_view bytes) {
  MemorySource source(bytes);
  tuka_.load.loadSource(format, name, source, bytes.size());
  source_map_ = SourceMap();
}

void Session::setInput(int port, const WordText& word) {
  tuka_.machine.setCell(inputPortCell(port), word);
}

void Session::keyStart(const WordText& word) {
  tuka_.machine.setCell(kCellKeypad, word);
}

void Session::leaveStepMode() {
  if (tuka_.machine.stepByStep()) tuka_.run.toggleStepMode();
}

RunResult Session::run(const RunLimits& limits) {
  std::ostringstream no_trace;
  return run(limits, RunPath::Fast, no_trace);
}

RunResult Session::run(const RunLimits& limits, RunPath path, std::ostream& trace) {
  RunResult result = runToTheEnd(tuka_, path, limits, trace, &source_map_);
  result.checks = checks_.found();
  result.inputs_at_power_on = inputs_at_power_on_;
  result.outputs_at_power_on = outputs_at_power_on_;
  return result;
}

std::optional<std::uint16_t> Session::addressOf(std::string_view text) const {
  if (const assembler::NameEntry* name = source_map_.name(text)) {
    if (name->value < 0 || name->value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(name->value);
  }
  if (text.empty() || text.size() > 4) return std::nullopt;
  const auto digits = PadLeft(UpperCaseText(std::string(text)), 4, '0');
  const int address = digits ? wordAddress(*digits) : -1;
  if (address < 0) return std::nullopt;
  return static_cast<std::uint16_t>(address);
}

}  // namespace orben::session
