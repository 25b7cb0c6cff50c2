#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "machine/user_interface.h"
#include "panel/tuka2.h"
#include "runner/message_log.h"
#include "runner/options.h"
#include "runner/report.h"

namespace orben::runner {

// The user of a headless run: remembers every message, answers no question
// and chooses no file, and keeps the file error the platform would report.
class HeadlessUi final : public UserInterface {
 public:
  MessageLog messages;
  std::string file_error;

  void showMessage(std::string_view text) override { messages.add(text); }
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  std::optional<WordText> askValue() override { return std::nullopt; }
  std::optional<std::string> askObjectFile(const FileRequest&) override { return std::nullopt; }
  std::optional<int> askSpeed(int) override { return std::nullopt; }
  void reportFileError(std::string_view name, std::string_view reason) override {
    file_error = std::string(name) + ": " + std::string(reason);
  }
};

// Switches TUKA-2 on as a user does: the ORBEN start-up, then On/Off.
void switchOn(Tuka2& tuka);

// The front-panel run: Ejecutar, then one timer tick per instruction until
// HALT, an error stop, an empty fetch or options.max_steps; with
// options.trace a line per instruction on `err`, without it on the fast
// path (chooseRunPath, run.h), which gives the same report.
RunResult runToTheEnd(Tuka2& tuka, const Options& options, std::ostream& err);

// What tuka2 run does once its program is loaded: the options' input ports
// set, the start address keyed, step mode left, then runToTheEnd.
RunResult runLoaded(Tuka2& tuka, const Options& options, std::ostream& err);

// Runs a parsed command line and returns the exit status: 0 when run
// stopped at HALT or dis loaded without a message, 1 otherwise, 2 when the
// file cannot be read as an object program.
int execute(const Options& options, std::ostream& out, std::ostream& err);

// The whole command: parses `arguments` (without the program name) and
// executes them; a usage error gives status 2 and one line on `err`.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace orben::runner
