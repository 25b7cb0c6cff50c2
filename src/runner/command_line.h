#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "runner/options.h"
#include "text/catalog.h"

namespace orben::runner {

// The options whose text is checked after parsing, as given.
struct RawValues {
  std::string fill, start, seed, max_steps;
  bool has_fill = false, has_start = false, has_seed = false, has_max_steps = false;
  std::vector<std::string> inputs;
};

// CLI11's own words of a command's help (its labels, the options' group,
// the help flag) in the language of the texts; before adding options.
void inTheLanguage(CLI::App& app);

// The options of each command of tuka2 (run, dis, asm) as CLI11 reads them,
// bound to one Options; each command lists its own with --help.
class CommandLine {
 public:
  explicit CommandLine(Options& options);
  // The parser of `command`, with options.command set, or nullptr.
  CLI::App* command(const std::string& command);
  // The option texts of the parsed command.
  RawValues raw() const;
  // A parse error as a one-line reason.
  std::string reason(const std::string& command, const CLI::ParseError& error) const;
  // What the command's positional argument is called: FILE or SOURCE.
  static std::string fileName(const std::string& command);

 private:
  void addRun();
  void addDebug();
  // FILE and the options run and debug share.
  void addMachineOptions(CLI::App& app);
  void addDis();
  void addAsm();
  CLI::Option* addFill(CLI::App& app);

  Options& options_;
  CLI::App run_{
      std::string(tr("Runs a TUKA-2 program (object file or source) as the front panel would.")),
      "tuka2 run"};
  CLI::App debug_{std::string(tr("Debugs a TUKA-2 program (object file or source) one command a "
                                 "line: steps, steps back, breakpoints, registers and memory.")),
                  "tuka2 debug"};
  CLI::App dis_{std::string(tr("Loads a program (object file or source) and prints its listing.")),
                "tuka2 dis"};
  CLI::App asm_{std::string(tr("Assembles a TUKA-2 source into an object file.")), "tuka2 asm"};
  RawValues raw_;
  std::vector<CLI::Option*> fill_;
  std::vector<CLI::Option*> start_;
  std::vector<CLI::Option*> seed_;
  std::vector<CLI::Option*> max_steps_;
};

}  // namespace orben::runner
