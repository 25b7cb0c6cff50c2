#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "machine/user_interface.h"
#include "session/message_log.h"

namespace orben::session {

// The user of a headless run: remembers every message, answers no question
// and chooses no file, and keeps the file error the platform would report.
class HeadlessUi final : public UserInterface {
 public:
  struct FileError {
    std::string name;
    std::string reason;  // as the loader gives it, in English
  };

  MessageLog messages;
  std::optional<FileError> file_error;  // the last one reported

  void showMessage(std::string_view text) override { messages.add(text); }
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  std::optional<WordText> askValue() override { return std::nullopt; }
  std::optional<std::string> askObjectFile(const FileRequest&) override { return std::nullopt; }
  std::optional<int> askSpeed(int) override { return std::nullopt; }
  void reportFileError(std::string_view name, std::string_view reason) override {
    file_error = FileError{std::string(name), std::string(reason)};
  }
};

}  // namespace orben::session
