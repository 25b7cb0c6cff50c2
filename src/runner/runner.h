#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "machine/user_interface.h"
#include "runner/options.h"

namespace orben::runner {

// The user of a headless run: remembers every message, answers no question
// and chooses no file, and keeps the file error the platform would report.
class HeadlessUi final : public UserInterface {
 public:
  std::vector<std::string> messages;
  std::string file_error;

  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  std::optional<WordText> askValue() override { return std::nullopt; }
  std::optional<std::string> askObjectFile(const FileRequest&) override { return std::nullopt; }
  std::optional<int> askSpeed(int) override { return std::nullopt; }
  void reportFileError(std::string_view name, std::string_view reason) override {
    file_error = std::string(name) + ": " + std::string(reason);
  }
};

// Runs a parsed command line and returns the exit status: 0 when run
// stopped at HALT or dis loaded without a message, 1 otherwise, 2 when the
// file cannot be read as an object program.
int execute(const Options& options, std::ostream& out, std::ostream& err);

// The whole command: parses `arguments` (without the program name) and
// executes them; a usage error gives status 2 and one line on `err`.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace orben::runner
