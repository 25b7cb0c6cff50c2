#include "grader/case_start.h"

#include "disasm/listing_commands.h"
#include "loader/line_reader.h"
#include "session/presets.h"
#include "session/session.h"

namespace orben::grader {

void PrepareCase(Tuka2& tuka, const Program& program, const Case& c, const CaseFile& file) {
  Machine& m = tuka.machine;
  if (!m.powerOn()) tuka.power.TogglePower();
  // The file's values drawn in the order a fresh machine draws them: its
  // memory at start-up, then at power-on the cells and memory again.
  const auto values = session::makeRandomSource(file.powerOnValues());
  tuka.power.InitialiseMemory(*values);
  tuka.power.ResetDisplays(*values);
  tuka.power.InitialiseMemory(*values);
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) m.setFlag(flag, false);
  ClearListing(tuka.listing);
  MemorySource source(program.bytes);
  tuka.load.loadSource(program.format, program.load_name, source, program.bytes.size());
  session::writePresets(tuka, {c.memory, c.registers, c.inputs});
  m.setCell(kCellKeypad, wordOf(c.start));
  m.setStepMode(StepMode::StepByStep);
}

}  // namespace orben::grader
