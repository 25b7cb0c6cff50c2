#include "session/source_debugging.h"

#include <algorithm>

namespace orben::session {

SourceDebugging::SourceDebugging(Tuka2& tuka, SourceDebuggingListener* listener)
    : tuka_(tuka), listener_(listener), history_(tuka), checks_(tuka) {
  tuka_.machine.addObserver(this);
  tuka_.machine.memory().addObserver(this);
  tuka_.processor.addInstructionObserver(this);
  could_step_back_ = canStepBack();
}

SourceDebugging::~SourceDebugging() {
  tuka_.processor.removeInstructionObserver(this);
  tuka_.machine.memory().removeObserver(this);
  tuka_.machine.removeObserver(this);
}

EditorLoad SourceDebugging::assembleAndLoad(std::string_view text, const std::string& name,
                                            const std::vector<std::size_t>& breakpoint_lines) {
  loading_ = true;
  SourceMap map;
  EditorLoad load = session::assembleAndLoad(tuka_, text, name, map);
  loading_ = false;
  if (!load.loaded) return load;
  // The breakpoints on the old program's lines go; the new lines get theirs.
  Breakpoints& breakpoints = tuka_.machine.breakpoints();
  for (const std::uint16_t address : breakpoints.kept()) {
    if (map_.lineAt(address) != nullptr) breakpoints.remove(address);
  }
  map_ = std::move(map);
  matches_ = true;
  started_ = false;
  for (const std::size_t line : breakpoint_lines) {
    if (const MappedLine* code = codeLineFrom(line)) breakpoints.set(code->address);
  }
  tell(false);
  return load;
}

void SourceDebugging::sourceEdited() {
  if (matches_) endMatch();
}

void SourceDebugging::endMatch() {
  if (!matches_) return;
  matches_ = false;
  tell(false);
}

const MappedLine* SourceDebugging::codeLineFrom(std::size_t line) const {
  if (!matches_) return nullptr;
  const auto& lines = map_.lines();
  for (const MappedLine& code : lines) {
    // A later line may have put its word over this one's (an ORG back).
    if (code.number >= line && map_.lineAt(code.address) == &code) return &code;
  }
  return nullptr;
}

std::vector<std::size_t> SourceDebugging::breakpointLines() const {
  std::vector<std::size_t> lines;
  if (!matches_) return lines;
  for (const std::uint16_t address : tuka_.machine.breakpoints().kept()) {
    const MappedLine* line = map_.lineAt(address);
    if (line != nullptr && line->address == address) lines.push_back(line->number);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

std::optional<ToggledBreakpoint> SourceDebugging::toggleAtLine(std::size_t line) {
  const MappedLine* code = codeLineFrom(line);
  if (code == nullptr) return std::nullopt;
  return toggleAtAddress(code->address);
}

ToggledBreakpoint SourceDebugging::toggleAtAddress(std::uint16_t address) {
  ToggledBreakpoint toggled;
  toggled.address = address;
  toggled.set = tuka_.machine.breakpoints().toggle(address);
  if (matches_) {
    const MappedLine* line = map_.lineAt(address);
    if (line != nullptr && line->address == address) toggled.line = line->number;
  }
  return toggled;
}

bool SourceDebugging::runToLine(std::size_t line) {
  const MappedLine* code = codeLineFrom(line);
  if (code == nullptr || !tuka_.machine.powerOn()) return false;
  if (tuka_.machine.stepMode() != StepMode::Timed) tuka_.run.toggleStepMode();
  // The first instruction runs before the mark is set, so that a run from
  // the line itself goes round to it again rather than stop at once.
  if (started_) {
    tuka_.run.continueExecution();
  } else {
    tuka_.run.executeFromKeypad();
  }
  tuka_.machine.breakpoints().runToHere(code->address);
  return true;
}

bool SourceDebugging::stepBack() {
  restoring_ = true;
  const bool back = history_.stepBack();
  restoring_ = false;
  if (back) tell(true);
  return back;
}

void SourceDebugging::cellChanged(CellId) {
  if (!in_instruction_ && !restoring_ && !loading_) tell(false);
}

void SourceDebugging::flagChanged(Flag) {
  if (!in_instruction_ && !restoring_ && !loading_) tell(false);
}

void SourceDebugging::bytesChanged(std::size_t first, std::size_t count) {
  if (in_instruction_ || restoring_ || loading_) return;
  if (matches_) {
    for (std::size_t byte = first; byte < first + count; byte += 2) {
      if (map_.lineAt(static_cast<std::uint16_t>(byte / 2)) != nullptr) {
        endMatch();
        break;
      }
    }
  }
  tell(false);
}

void SourceDebugging::instructionEnds(Outcome) {
  in_instruction_ = false;
  started_ = true;
  tell(true);
}

void SourceDebugging::stretchEnds(std::uint64_t) {
  in_instruction_ = false;
  started_ = true;
  tell(true);
}

void SourceDebugging::tell(bool stepped) {
  std::size_t line = 0;
  const CellValue& pc = tuka_.machine.cellValue(kCellPC);
  if (matches_ && tuka_.machine.powerOn() && pc.isWord()) {
    if (const MappedLine* at = map_.lineAt(pc.asWord())) line = at->number;
  }
  const bool can = canStepBack();
  const bool line_changed = line != line_at_pc_;
  const bool can_changed = can != could_step_back_;
  line_at_pc_ = line;
  could_step_back_ = can;
  if (listener_ == nullptr) {
    checks_told_ = checks_.found().size();
    return;
  }
  const auto& found = checks_.found();
  for (; checks_told_ < found.size(); ++checks_told_) {
    const Check& check = found[checks_told_];
    const MappedLine* at = matches_ ? map_.lineAt(check.address) : nullptr;
    listener_->checkFound(check, at != nullptr ? at->number : 0);
  }
  if (stepped) listener_->stepped(history_.lastChanges());
  if (line_changed) listener_->lineAtPCChanged(line);
  if (can_changed) listener_->canStepBackChanged(can);
}

}  // namespace orben::session
