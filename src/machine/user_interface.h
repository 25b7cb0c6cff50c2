#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine/word_text.h"

namespace orben {

// What the file-open dialog of the load command is set to.
struct FileRequest {
  std::string default_extension;
  std::string filter;  // "description|pattern|description|pattern"
  std::string title;
};

// Everything the machine tells or asks its user goes through here; the
// windows implement it with real dialogs, the tests and the command-line
// runner with scripts. Every box is modal: the call returns when the user
// has answered. In texts, '\r' is a line break.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // The message box: the application's title, the text, one OK button.
  virtual void showMessage(std::string_view text) = 0;
  // The question box with Yes and No; true for Yes.
  virtual bool askYesNo(std::string_view title, std::string_view text) = 0;
  // The value entry dialog: four upper-case hexadecimal digits after
  // "¡Vale!", nothing after "Cancelar" or the close button.
  virtual std::optional<WordText> askValue() = 0;
  // The file-open dialog: the chosen file's full name, nothing on cancel.
  virtual std::optional<std::string> askObjectFile(const FileRequest& request) = 0;
  // The speed dialog, opened with item `selected` marked: the item marked
  // when "¡Vale!" is pressed (-1 when none is), nothing after "Cancelar".
  virtual std::optional<int> askSpeed(int selected) = 0;
  // The platform's report of a file that cannot be opened or read. The
  // reason is the system's or one of ours in English, to be shown through
  // tr in the language of whoever reads it.
  virtual void reportFileError(std::string_view file_name, std::string_view reason) = 0;

  // One of many alike messages of one command: the message box with a
  // second button, "Omitir los demás avisos"; true when the user chose it.
  virtual bool showMessageOrSkipRest(std::string_view text) {
    showMessage(text);
    return false;
  }
  // A load has read `done` of `total` bytes (total 0 when unknown). A load
  // that goes on for a while shows its progress with a way to stop it:
  // false when the user asks to stop reading.
  virtual bool showLoadProgress(std::uint64_t /*done*/, std::uint64_t /*total*/) { return true; }
  // The load has ended: its progress, if shown, goes away.
  virtual void endLoadProgress() {}
};

inline constexpr std::string_view kSkipRestCaption = "Omitir los demás avisos";

}  // namespace orben
