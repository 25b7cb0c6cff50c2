#include "runner/options.h"

#include <algorithm>
#include <charconv>

#include "loader/line_scanner.h"
#include "runner/command_line.h"
#include "text/catalog.h"

namespace orben::runner {

const char* const kVersion = "tuka2 (ORBEN) 0.1.0";

const std::string_view kUsage = N_(
    R"(tuka2: runs, lists, assembles and checks TUKA-2 programs without a window.

Usage:
  tuka2 run FILE [--json] [--start HHHH] [--fill HHHH] [--seed N] [--in PP=HHHH]...
                 [--max-steps N] [--break ADDR|LABEL]... [--dump-memory] [--trace]
  tuka2 debug FILE [--json] [--start HHHH] [--fill HHHH] [--seed N] [--in PP=HHHH]...
                   [--max-steps N] [--break ADDR|LABEL]...
  tuka2 dis FILE [--fill HHHH]
  tuka2 asm SOURCE [-o OUTPUT] [-l LISTING]
  tuka2 test CASES PROGRAM... [--json] [--junit FILE] [--csv FILE] [--feedback DIR]
                             [--similar P] [-j N]
  tuka2 --help | --version
  tuka2 COMMAND --help   lists the options of one command

run   does what a user does at the front panel: switches TUKA-2 on (memory
      initialised), loads FILE (.EHC or .HEX, by the last four characters of
      its name; any other name is an assembly source, assembled in memory
      as asm would, its errors and warnings on stderr), sets the --in input
      ports, keys --start into the keypad, leaves step mode with Paso a
      paso, presses Ejecutar and lets the step timer tick until the run
      ends:
        halt            at HALT
        error           at an execution error that stops the run
        no-instruction  at a fetch from F000 or above, which executes nothing
        max-steps       after --max-steps instructions (0 executes nothing)
        breakpoint      before the instruction at a --break address, which
                        does not execute (the one Ejecutar starts at does)
      Messages of the load (a format error, corrupt lines, refused
      addresses) are kept with the others; the run goes on after them, as it
      would at the front panel. Five classic mistakes never stop the run
      but are reported once per address as check: lines: unwritten-word
      (executing a word nothing wrote since memory was filled: a missing
      HALT?), rd-not-set (a branch, call, LD or ST through RD's power-on
      value), program-overwritten (an ST over an executed instruction),
      stack-into-program (a CALL's push over the program), ret-empty-stack.
debug sets the machine up as run does but stays in step mode and reads one
      command a line from standard input: step [N] (s), back [N], continue
      (c), break ADDR|LABEL (b), delete ADDR|LABEL, regs, mem ADDR [N],
      set REG|[ADDR]|inPP VALUE, where, checks, help, quit (q); the end of
      the input ends it too. Each answer says what the command changed and
      where PC is, with the source line; with --json it is one line holding
      one JSON object (command, stop, changed, checks, error and the
      machine keys of run --json but listing; mem adds memory). back steps
      back up to 1,000,000 instructions, output ports included; a hand
      edit, a load or power ends that history.
dis   loads FILE (an object file or a source, as run does) and prints the
      program listing, one line each; messages go to stderr.
asm   assembles SOURCE, written as the listing shows instructions (LD R1,
      [RD+H'10], ADDS R3, R1, R2, BZ, ...) with labels (name:), constants
      (name EQU value), ORG, DW, LDI Ra, value (LLI then LHI), numbers H'1F
      or 31, '$', LO() and HI(), into OUTPUT (default: SOURCE named .ehc, or
      .EHC when its extension has capitals): .EHC gives "AAAA CCCC ; source
      text" lines, .HEX Intel HEX records. -l writes a listing with every
      address, word and name. Errors and warnings go to stderr as
      SOURCE:LINE:COLUMN: error: message; with any error nothing is written
      and an existing OUTPUT is left as it was.
test  runs every case of the TOML file CASES on each PROGRAM (.EHC, .HEX,
      an assembly source, or a folder of them) as run would, and says for
      each case PASS or FAIL with every difference (output port 01: expected
      0037, got 0036), then the points of each program and the copies among
      them; --json gives the same as JSON, --junit FILE writes JUnit XML,
      --csv FILE a grade sheet, --feedback DIR each student's feedback in
      Spanish, --similar P also names programs alike at P % or more, -j N
      checks N programs at once.

Options:
  --json          print one JSON object: stop, steps (calls of the
                  instruction cycle), pc, ir, ar, dr, keypad, registers (R0..RF),
                  flags {Z,S,C,V}, step_mode, inputs (64), outputs (64),
                  outputs_written (the ports an OUT wrote, 0..63),
                  messages (every message box, '\r' kept), checks (each
                  with address, step, kind, text), listing, selected
                  (index of the listing's selected line, or null), and with
                  --dump-memory also memory (one text per word 0000..EFFF).
                  Without --json a short summary is printed: every input
                  port that differs from its power-on value, and every
                  output port that differs or that an OUT wrote.
  --start HHHH    the address keyed in before Ejecutar (default 0000)
  --fill HHHH     that word in every memory word and every random power-on
                  value, instead of random ones
  --seed N        seed of the random values (default: the clock)
  --in PP=HHHH    input port PP (00..3F, but not 01: that is the keypad,
                  set it with --start) holds HHHH; may be repeated
  --max-steps N   stop after N instructions (default 1000000)
  --break ADDR    stop before executing the instruction at ADDR (one to four
                  hexadecimal digits), or at LABEL when FILE is a source that
                  defines it (a label wins over a hexadecimal reading);
                  may be repeated
  --dump-memory   with --json, add the memory words
  --trace         one line per executed instruction on stderr: address,
                  word, disassembly, its source line when FILE is a source,
                  and the cells it changed

Exit status: 0 when run stopped at HALT, debug read its input to the end or
quit, dis loaded without a message, asm wrote its output (warnings allowed)
or every test case passed; 1 otherwise
(a source of run, debug or dis with assembly errors included); 2 for a usage error
or a file that cannot be read (missing, unreadable, not a regular file) or
written, or an output of asm not ending in .EHC or .HEX, with a one-line
reason on stderr.
)");

namespace {

// One to `width` hexadecimal digits, either case, as upper-case digits
// padded to `width`, as an object file's words are read.
std::optional<std::string> hexField(const std::string& text, std::size_t width) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsHexDigit)) return std::nullopt;
  return PadLeft(UpperCaseText(text), width, '0');
}

ParseResult usageError(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

}  // namespace

std::optional<std::uint64_t> wholeNumber(const std::string& text) {
  std::uint64_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

namespace {

// The checked values of the options given as text.
std::optional<std::string> checkValues(Options& options, const RawValues& raw) {
  if (raw.has_fill) {
    const auto digits = hexField(raw.fill, 4);
    if (!digits) return std::string(tr("--fill needs a word of one to four hexadecimal digits"));
    options.fill = static_cast<std::uint16_t>(WordTextToValue(*digits));
  }
  if (raw.has_start) {
    const auto digits = hexField(raw.start, 4);
    if (!digits)
      return std::string(tr("--start needs an address of one to four hexadecimal digits"));
    options.start = *digits;
  }
  if (raw.has_seed) {
    const auto number = wholeNumber(raw.seed);
    if (!number) return std::string(tr("--seed needs a whole number"));
    options.seed = *number;
  }
  if (raw.has_max_steps) {
    const auto number = wholeNumber(raw.max_steps);
    if (!number) return std::string(tr("--max-steps needs a whole number"));
    options.max_steps = *number;
  }
  for (const std::string& text : raw.inputs) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) return std::string(tr("--in needs PP=HHHH"));
    const auto port = hexField(text.substr(0, equals), 2);
    const auto word = hexField(text.substr(equals + 1), 4);
    if (!port || !word) return std::string(tr("--in needs PP=HHHH in hexadecimal"));
    const int number = ByteTextToValue(*port);
    if (number > 0x3F) return std::string(tr("--in: input ports go from 00 to 3F"));
    if (number == 1) return std::string(tr("--in: port 01 is the keypad; key it with --start"));
    options.inputs.emplace_back(number, *word);
  }
  return std::nullopt;
}

}  // namespace

ParseResult parseArguments(const std::vector<std::string>& arguments) {
  Options options;
  if (arguments.empty()) return usageError(std::string(tr("no command given (try --help)")));
  const std::string& command = arguments[0];
  if (command == "--help" || command == "-h") {
    options.command = Command::Help;
    options.help = std::string(tr(kUsage));
    return {options, {}};
  }
  if (command == "--version") {
    options.command = Command::Version;
    return {options, {}};
  }
  CommandLine line(options);
  CLI::App* app = line.command(command);
  if (app == nullptr) return usageError(trf("unknown command '{0}' (try --help)", command));
  std::vector<std::string> rest(arguments.rbegin(), arguments.rend() - 1);
  try {
    app->parse(rest);
  } catch (const CLI::CallForHelp&) {
    options.command = Command::Help;
    options.help = app->help();
    return {options, {}};
  } catch (const CLI::ParseError& error) {
    return usageError(line.reason(command, error));
  }
  for (const std::string& extra : app->remaining()) {
    if (!extra.empty() && extra[0] == '-') {
      return usageError(trf("unknown option '{0}' for {1} (try --help)", extra, command));
    }
    return usageError(command == "asm" ? std::string(tr("only one SOURCE may be given"))
                                       : std::string(tr("only one FILE may be given")));
  }
  if (auto reason = checkValues(options, line.raw())) return usageError(std::move(*reason));
  return {options, {}};
}

}  // namespace orben::runner
