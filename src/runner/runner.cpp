#include "runner/runner.h"

#include <memory>
#include <optional>

#include "loader/load_command.h"
#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "runner/asm_command.h"
#include "runner/program_file.h"
#include "runner/report.h"
#include "runner/run.h"

namespace orben::runner {

namespace {

std::unique_ptr<RandomSource> makeRandom(const Options& options) {
  if (options.fill) return std::make_unique<FillRandom>(*options.fill);
  if (options.seed) return std::make_unique<SeededRandom>(*options.seed);
  return std::make_unique<SeededRandom>();
}

// The exit status of a file that did not load, if it did not.
std::optional<int> loadFailure(ProgramLoad load) {
  switch (load) {
    case ProgramLoad::NotReadable:
      return 2;
    case ProgramLoad::NotAssembled:
      return 1;
    default:
      return std::nullopt;
  }
}

int runCommand(const Options& options, std::ostream& out, std::ostream& err) {
  HeadlessUi ui;
  const auto random = makeRandom(options);
  Tuka2 tuka(ui, *random);
  switchOn(tuka);
  Machine& m = tuka.machine;
  RunResult result;
  for (int port = 0; port < kPortCount; ++port) {
    result.inputs_at_power_on[port] = m.cell(inputPortCell(port));
    result.outputs_at_power_on[port] = m.cell(outputPortCell(port));
  }
  if (const auto status = loadFailure(loadProgramFile(tuka, ui, options.file, err))) return *status;
  const RunResult ran = runLoaded(tuka, options, err);
  result.stop = ran.stop;
  result.steps = ran.steps;
  if (options.json) {
    writeJson(tuka, result, ui.messages, options.dump_memory, out);
  } else {
    writeSummary(tuka, result, ui.messages, out);
  }
  return result.stop == "halt" ? 0 : 1;
}

int disCommand(const Options& options, std::ostream& out, std::ostream& err) {
  HeadlessUi ui;
  const auto random = makeRandom(options);
  Tuka2 tuka(ui, *random);
  tuka.power.startUp();
  if (const auto status = loadFailure(loadProgramFile(tuka, ui, options.file, err))) return *status;
  const Listing& listing = tuka.listing;
  for (int i = 0; i < listing.count(); ++i) out << listing.line(i) << '\n';
  ui.messages.forEach([&](std::string_view message) { err << messageLine(message) << '\n'; });
  return ui.messages.empty() ? 0 : 1;
}

}  // namespace

void switchOn(Tuka2& tuka) {
  tuka.power.startUp();
  tuka.power.TogglePower();
}

RunResult runLoaded(Tuka2& tuka, const Options& options, std::ostream& err) {
  Machine& m = tuka.machine;
  for (const auto& [port, word] : options.inputs) m.setCell(inputPortCell(port), word);
  m.setCell(kCellKeypad, options.start);
  tuka.run.toggleStepMode();
  return runToTheEnd(tuka, options, err);
}

int execute(const Options& options, std::ostream& out, std::ostream& err) {
  switch (options.command) {
    case Command::Help:
      out << (options.help.empty() ? kUsage : options.help.c_str());
      return 0;
    case Command::Version:
      out << kVersion << '\n';
      return 0;
    case Command::Run:
      return runCommand(options, out, err);
    case Command::Dis:
      return disCommand(options, out, err);
    case Command::Asm:
      return asmCommand(options, out, err);
  }
  return 2;
}

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  const ParseResult parsed = parseArguments(arguments);
  if (!parsed.options) {
    err << "tuka2: " << parsed.error << '\n';
    return 2;
  }
  return execute(*parsed.options, out, err);
}

}  // namespace orben::runner
