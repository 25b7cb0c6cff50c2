#include "runner/runner.h"

#include <optional>
#include <sstream>

#include "runner/asm_command.h"
#include "session/debugger.h"
#include "session/report.h"
#include "session/session.h"
#include "text/catalog.h"

namespace orben::runner {

namespace {

using session::ProgramLoad;
using session::Session;

session::PowerOnValues powerOnValues(const Options& options) {
  return {options.fill, options.seed};
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

// Switched on, loaded, the --in ports set, the --break breakpoints set and
// --start keyed, as run and debug begin; the exit status if that failed.
std::optional<int> prepare(const Options& options, Session& headless, std::ostream& err) {
  headless.switchOn();
  if (const auto status = loadFailure(headless.load(options.file, err))) return *status;
  for (const auto& [port, word] : options.inputs) headless.setInput(port, word);
  for (const std::string& where : options.breaks) {
    const auto address = headless.addressOf(where);
    if (!address) {
      err << "tuka2: "
          << trf("--break needs an address of one to four hexadecimal digits or a label of the "
                 "source, not '{0}'",
                 where)
          << '\n';
      return 2;
    }
    headless.machine().breakpoints().set(*address);
  }
  headless.keyStart(options.start);
  return std::nullopt;
}

// Prepared, step mode left, then the run and its report.
int runCommand(const Options& options, std::ostream& out, std::ostream& err) {
  Session headless(powerOnValues(options));
  if (const auto status = prepare(options, headless, err)) return *status;
  headless.leaveStepMode();
  const session::RunResult result =
      headless.run({options.max_steps, std::nullopt}, chooseRunPath(options), err);
  if (options.json) {
    session::writeJson(headless.tuka(), result, headless.messages(), options.dump_memory, out);
  } else {
    session::writeSummary(headless.tuka(), result, headless.messages(), out);
  }
  return result.stop == session::Stop::Halt ? 0 : 1;
}

// Prepared and left in step mode, then one command a line from `in`.
int debugCommand(const Options& options, std::istream& in, std::ostream& out, std::ostream& err) {
  Session headless(powerOnValues(options));
  if (const auto status = prepare(options, headless, err)) return *status;
  session::Debugger debugger(headless, options.max_steps,
                             options.json ? session::AnswerForm::Json : session::AnswerForm::Text);
  debugger.greet(out);
  for (std::string line; std::getline(in, line);) {
    if (!debugger.execute(line, out)) break;
  }
  return 0;
}

int disCommand(const Options& options, std::ostream& out, std::ostream& err) {
  Session headless(powerOnValues(options));
  headless.startUp();
  if (const auto status = loadFailure(headless.load(options.file, err))) return *status;
  const Listing& listing = headless.tuka().listing;
  for (int i = 0; i < listing.count(); ++i) out << listing.line(i) << '\n';
  headless.messages().forEach(
      [&](std::string_view message) { err << session::messageLine(message) << '\n'; });
  return headless.messages().empty() ? 0 : 1;
}

}  // namespace

session::RunPath chooseRunPath(const Options& options) {
  return options.trace ? session::RunPath::Traced : session::RunPath::Fast;
}

int execute(const Options& options, std::istream& in, std::ostream& out, std::ostream& err) {
  switch (options.command) {
    case Command::Help:
      out << (options.help.empty() ? tr(kUsage) : std::string_view(options.help));
      return 0;
    case Command::Version:
      out << kVersion << '\n';
      return 0;
    case Command::Run:
      return runCommand(options, out, err);
    case Command::Debug:
      return debugCommand(options, in, out, err);
    case Command::Dis:
      return disCommand(options, out, err);
    case Command::Asm:
      return asmCommand(options, out, err);
  }
  return 2;
}

int runCommandLine(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  const ParseResult parsed = parseArguments(arguments);
  if (!parsed.options) {
    err << "tuka2: " << parsed.error << '\n';
    return 2;
  }
  return execute(*parsed.options, in, out, err);
}

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  std::istringstream no_input;
  return runCommandLine(arguments, no_input, out, err);
}

}  // namespace orben::runner
