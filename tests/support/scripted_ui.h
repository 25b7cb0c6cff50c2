#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "machine/random_source.h"
#include "machine/user_interface.h"

namespace orben::testing {

// A user who answers every box from a script and remembers what was shown.
// An unscripted question fails loudly rather than guessing an answer.
class ScriptedUi : public UserInterface {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;  // "title|text" of every yes/no box
  std::vector<FileRequest> file_requests;
  std::vector<int> speed_dialogs;        // item marked when each speed dialog opened
  std::vector<std::string> file_errors;  // "name|reason"

  std::deque<bool> yes_no_answers;
  std::deque<std::optional<WordText>> value_answers;
  std::deque<std::optional<std::string>> file_answers;
  std::deque<std::optional<int>> speed_answers;
  // Runs when a message box is shown, as a modal box's event loop would let
  // a timer tick run; receives the message.
  std::function<void(const std::string&)> on_message;

  void showMessage(std::string_view text) override {
    messages.emplace_back(text);
    if (on_message) on_message(messages.back());
  }
  bool askYesNo(std::string_view title, std::string_view text) override {
    questions.push_back(std::string(title) + "|" + std::string(text));
    return take(yes_no_answers, "yes/no");
  }
  std::optional<WordText> askValue() override { return take(value_answers, "value"); }
  std::optional<std::string> askObjectFile(const FileRequest& request) override {
    file_requests.push_back(request);
    return take(file_answers, "file");
  }
  std::optional<int> askSpeed(int selected) override {
    speed_dialogs.push_back(selected);
    return take(speed_answers, "speed");
  }
  void reportFileError(std::string_view name, std::string_view reason) override {
    file_errors.push_back(std::string(name) + "|" + std::string(reason));
  }

 private:
  template <typename T>
  static T take(std::deque<T>& answers, const char* what) {
    if (answers.empty()) throw std::logic_error(std::string("unscripted ") + what + " dialog");
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A random source that replays given draws, then repeats the last one.
class ReplayRandom : public RandomSource {
 public:
  explicit ReplayRandom(std::vector<int> draws = {0}) : draws_(std::move(draws)) {}
  int below(int n) override {
    const int v = draws_[next_ < draws_.size() ? next_++ : draws_.size() - 1];
    return v % n;
  }

 private:
  std::vector<int> draws_;
  std::size_t next_ = 0;
};

}  // namespace orben::testing
