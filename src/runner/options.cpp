#include "runner/options.h"

#include <algorithm>
#include <charconv>

#include "loader/line_scanner.h"

namespace orben::runner {

const char* const kVersion = "tuka2 (ORBEN) 0.1.0";

const char* const kUsage =
    R"(tuka2: runs and lists TUKA-2 object programs without a window.

Usage:
  tuka2 run FILE [--json] [--start HHHH] [--fill HHHH] [--seed N] [--in PP=HHHH]...
                 [--max-steps N] [--dump-memory] [--trace]
  tuka2 dis FILE [--fill HHHH]
  tuka2 --help | --version

run   does what a user does at the front panel: switches TUKA-2 on (memory
      initialised), loads FILE (.EHC or .HEX, by the last four characters of
      its name), sets the --in input ports, keys --start into the keypad,
      leaves step mode with Paso a paso, presses Ejecutar and lets the step
      timer tick until the run ends:
        halt            at HALT
        error           at an execution error that stops the run
        no-instruction  at a fetch from F000 or above, which executes nothing
        max-steps       after --max-steps instructions (0 executes nothing)
      Messages of the load (a format error, corrupt lines, refused
      addresses) are kept with the others; the run goes on after them, as it
      would at the front panel.
dis   loads FILE and prints the program listing, one line each; messages go
      to stderr.

Options:
  --json          print one JSON object: stop, steps (calls of the
                  instruction cycle), pc, ir, ar, dr, keypad, registers (R0..RF),
                  flags {Z,S,C,V}, step_mode, inputs (64), outputs (64),
                  messages (every message box, '\r' kept), listing, selected
                  (index of the listing's selected line, or null), and with
                  --dump-memory also memory (one text per word 0000..EFFF).
                  Without --json a short summary is printed.
  --start HHHH    the address keyed in before Ejecutar (default 0000)
  --fill HHHH     that word in every memory word and every random power-on
                  value, instead of random ones
  --seed N        seed of the random values (default: the clock)
  --in PP=HHHH    input port PP (00..3F, but not 01: that is the keypad,
                  set it with --start) holds HHHH; may be repeated
  --max-steps N   stop after N instructions (default 1000000)
  --dump-memory   with --json, add the memory words
  --trace         one line per executed instruction on stderr: address,
                  word, disassembly and the cells it changed

Exit status: 0 when run stopped at HALT or dis loaded without a message;
1 otherwise; 2 for a usage error or a file that cannot be read as an object
program (missing, unreadable, or a name not ending in .EHC or .HEX), with a
one-line reason on stderr.
)";

namespace {

// One to `width` hexadecimal digits, either case, as upper-case digits
// padded to `width`, as an object file's words are read.
std::optional<std::string> hexField(const std::string& text, std::size_t width) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsHexDigit)) return std::nullopt;
  return PadLeft(UpperCaseText(text), width, '0');
}

std::optional<std::uint64_t> wholeNumber(const std::string& text) {
  std::uint64_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

ParseResult usageError(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

}  // namespace

ParseResult parseArguments(const std::vector<std::string>& arguments) {
  Options options;
  if (arguments.empty()) return usageError("no command given (try --help)");
  const std::string& command = arguments[0];
  if (command == "--help" || command == "-h") {
    options.command = Command::Help;
    return {options, {}};
  }
  if (command == "--version") {
    options.command = Command::Version;
    return {options, {}};
  }
  if (command == "run") {
    options.command = Command::Run;
  } else if (command == "dis") {
    options.command = Command::Dis;
  } else {
    return usageError("unknown command '" + command + "' (try --help)");
  }
  const bool run = options.command == Command::Run;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= arguments.size()) return std::nullopt;
      return arguments[++i];
    };
    if (arg == "--fill") {
      const auto text = value();
      const auto digits = text ? hexField(*text, 4) : std::nullopt;
      if (!digits) return usageError("--fill needs a word of one to four hexadecimal digits");
      options.fill = static_cast<std::uint16_t>(WordTextToValue(*digits));
    } else if (run && arg == "--json") {
      options.json = true;
    } else if (run && arg == "--dump-memory") {
      options.dump_memory = true;
    } else if (run && arg == "--trace") {
      options.trace = true;
    } else if (run && arg == "--start") {
      const auto text = value();
      const auto digits = text ? hexField(*text, 4) : std::nullopt;
      if (!digits) return usageError("--start needs an address of one to four hexadecimal digits");
      options.start = *digits;
    } else if (run && arg == "--seed") {
      const auto text = value();
      const auto number = text ? wholeNumber(*text) : std::nullopt;
      if (!number) return usageError("--seed needs a whole number");
      options.seed = *number;
    } else if (run && arg == "--max-steps") {
      const auto text = value();
      const auto number = text ? wholeNumber(*text) : std::nullopt;
      if (!number) return usageError("--max-steps needs a whole number");
      options.max_steps = *number;
    } else if (run && arg == "--in") {
      const auto text = value();
      const auto equals = text ? text->find('=') : std::string::npos;
      if (equals == std::string::npos) return usageError("--in needs PP=HHHH");
      const auto port = hexField(text->substr(0, equals), 2);
      const auto word = hexField(text->substr(equals + 1), 4);
      if (!port || !word) return usageError("--in needs PP=HHHH in hexadecimal");
      const int number = ByteTextToValue(*port);
      if (number > 0x3F) return usageError("--in: input ports go from 00 to 3F");
      if (number == 1) return usageError("--in: port 01 is the keypad; key it with --start");
      options.inputs.emplace_back(number, *word);
    } else if (!arg.empty() && arg[0] == '-') {
      return usageError("unknown option '" + arg + "' for " + command + " (try --help)");
    } else if (options.file.empty()) {
      options.file = arg;
    } else {
      return usageError("only one FILE may be given");
    }
  }
  if (options.file.empty()) return usageError(command + " needs a FILE");
  return {options, {}};
}

}  // namespace orben::runner
