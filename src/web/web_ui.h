#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/user_interface.h"

namespace orben::web {

// A box the page is to show, in the order the machine showed them.
struct PageMessage {
  enum class Kind : std::uint8_t {
    Plain,     // the application's title, the text, one button
    SkipRest,  // one of many alike: a second button, "Omitir los demás avisos"
  };
  std::string text;  // '\r' a line break
  Kind kind = Kind::Plain;
};

// The user of the page's machine. A page cannot wait inside a dialog, so
// it asks its user first and sets the answer here before the call that
// asks for it; a question without an answer set is cancelled. Every box
// the machine shows is queued for the page, which shows them one after
// another once the call has returned. A box of many alike is queued as if
// its user went on ("Omitir" then drops the rest of them from the queue):
// the answer changes nothing but which boxes come.
class WebUi final : public UserInterface {
 public:
  void answerValue(const WordText& value) { value_ = value; }
  void answerSpeed(int item) { speed_ = item; }
  void answerYesNo(bool yes) { yes_no_ = yes; }
  // Every answer not asked for goes: each holds for one call only.
  void forgetAnswers() {
    value_.reset();
    speed_.reset();
    yes_no_.reset();
  }

  std::vector<PageMessage> takeMessages() { return std::exchange(messages_, {}); }
  bool hasMessages() const { return !messages_.empty(); }

  void showMessage(std::string_view text) override;
  bool showMessageOrSkipRest(std::string_view text) override;
  bool askYesNo(std::string_view title, std::string_view text) override;
  std::optional<WordText> askValue() override;
  std::optional<std::string> askObjectFile(const FileRequest& request) override;
  std::optional<int> askSpeed(int selected) override;
  void reportFileError(std::string_view file_name, std::string_view reason) override;

 private:
  std::vector<PageMessage> messages_;
  std::optional<WordText> value_;
  std::optional<int> speed_;
  std::optional<bool> yes_no_;
};

}  // namespace orben::web
