#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "debug/checks.h"
#include "loader/load_command.h"
#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "session/headless_ui.h"
#include "session/presets.h"
#include "session/program_file.h"
#include "session/run.h"
#include "session/source_map.h"

namespace orben::session {

// Where the machine's random values (memory and cells at power-on) come
// from: every one `fill` when it is given, else drawn from `seed`, else
// from a seed of the host's choosing.
struct PowerOnValues {
  std::optional<std::uint16_t> fill;
  std::optional<std::uint64_t> seed;
};
std::unique_ptr<RandomSource> makeRandomSource(const PowerOnValues& values);

// One TUKA-2 with nobody at its panel, as every front end without windows
// uses it: made, switched on, loaded, preset, keyed and run to a stop. The
// checks for the classic mistakes watch it from the start.
class Session {
 public:
  explicit Session(const PowerOnValues& values = {});
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Tuka2& tuka() { return tuka_; }
  const Tuka2& tuka() const { return tuka_; }
  Machine& machine() { return tuka_.machine; }
  const Machine& machine() const { return tuka_.machine; }
  // Every message the machine has shown, in order.
  const MessageLog& messages() const { return ui_.messages; }
  // The classic mistakes found so far, in order.
  const std::vector<Check>& checks() const { return checks_.found(); }

  // The ORBEN start-up only: the machine stays off (what tuka2 dis needs).
  void startUp();
  // The start-up, then On/Off, as a user switches TUKA-2 on; the ports'
  // power-on values are kept for run()'s result. Call one of the two, once.
  void switchOn();

  // A program file (loadProgramFile): an object file, or else a source
  // assembled in memory, whose map sourceMap() then gives. Load errors and
  // the assembler's diagnostics go to `err`.
  ProgramLoad load(const std::string& path, std::ostream& err);
  // A source in memory, assembled as the file `name` would be.
  ProgramLoad loadSource(std::string_view text, const std::string& name, std::ostream& err);
  // Object-file bytes already read (a program loaded for many runs), under
  // the file name `name`; the source map becomes empty.
  void loadObject(ObjectFormat format, const std::string& name, std::string_view bytes);

  void writePresets(const Presets& presets) { session::writePresets(tuka_, presets); }
  void setInput(int port, const WordText& word);
  // The start address into the keypad, as Ejecutar reads it.
  void keyStart(const WordText& word);
  // Step mode (Paso a paso) off, so that the step timer runs on.
  void leaveStepMode();

  // Ejecutar, then on to a stop (runToTheEnd); the result carries the
  // ports' power-on values. A traced run writes its lines on `trace`.
  RunResult run(const RunLimits& limits);
  RunResult run(const RunLimits& limits, RunPath path, std::ostream& trace);

  // The address `text` names: a name of the last source loaded (whatever
  // its case; a label wins over a hexadecimal reading), else one to four
  // hexadecimal digits; none for anything else or a value outside 0..FFFF.
  std::optional<std::uint16_t> addressOf(std::string_view text) const;

  // The map of the last source loaded; empty after an object file.
  const SourceMap& sourceMap() const { return source_map_; }

 private:
  HeadlessUi ui_;
  std::unique_ptr<RandomSource> random_;
  Tuka2 tuka_;
  Checks checks_;
  SourceMap source_map_;
  std::array<WordText, kPortCount> inputs_at_power_on_;
  std::array<WordText, kPortCount> outputs_at_power_on_;
};

}  // namespace orben::session
