#include "web/web_ui.h"

#include <utility>

#include "loader/load_command.h"

namespace orben::web {

void WebUi::showMessage(std::string_view text) {
  messages_.push_back({std::string(text), PageMessage::Kind::Plain});
}

bool WebUi::showMessageOrSkipRest(std::string_view text) {
  messages_.push_back({std::string(text), PageMessage::Kind::SkipRest});
  return false;
}

bool WebUi::askYesNo(std::string_view /*title*/, std::string_view /*text*/) {
  return std::exchange(yes_no_, std::nullopt).value_or(false);
}

std::optional<WordText> WebUi::askValue() {
  return std::exchange(value_, std::nullopt);
}

std::optional<std::string> WebUi::askObjectFile(const FileRequest& /*request*/) {
  // The page chooses its files itself, through the browser's file picker.
  return std::nullopt;
}

std::optional<int> WebUi::askSpeed(int /*selected*/) {
  return std::exchange(speed_, std::nullopt);
}

void WebUi::reportFileError(std::string_view file_name, std::string_view reason) {
  messages_.push_back({fileErrorMessage(file_name, reason), PageMessage::Kind::Plain});
}

}  // namespace orben::web
