#pragma once

// ORBEN's own texts in the language of the process (currentLanguage()).
// The English text is the key; the Spanish ones come from po/es.po,
// compiled into the program when it is built, so that a build without the
// platform's gettext (the browser edition) has them too. The tools that
// extract and check the catalog know tr, trf and N_ as the markers.

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "text/language.h"

namespace orben {

// `english` in the current language, or in `language`. A text the catalog
// lacks stays English.
std::string_view tr(std::string_view english);
std::string_view tr(std::string_view english, Language language);

// Marks a text for the catalog where it is kept in a table and translated
// where it is shown.
constexpr std::string_view N_(std::string_view english) {
  return english;
}

// `pattern` with each "{N}" replaced by the Nth of `arguments` (from 0);
// "{{" and "}}" stand for a brace.
std::string formatText(std::string_view pattern, const std::string_view* arguments,
                       std::size_t count);

namespace detail {
inline std::string_view textOf(std::string_view text) {
  return text;
}
inline std::string_view textOf(const std::string& text) {
  return text;
}
inline std::string_view textOf(const char* text) {
  return text;
}
template <std::integral T>
std::string textOf(T number) {
  return std::to_string(number);
}
}  // namespace detail

// The translated `pattern` with its placeholders filled in.
template <typename... Arguments>
std::string trf(std::string_view pattern, const Arguments&... arguments) {
  const auto texts = std::make_tuple(std::string(detail::textOf(arguments))...);
  return std::apply(
      [&](const auto&... text) {
        const std::string_view views[] = {std::string_view(text)..., std::string_view()};
        return formatText(tr(pattern), views, sizeof...(Arguments));
      },
      texts);
}

// One of our texts with the values for its placeholders, kept so that it
// can be shown in either language: reports on a terminal use the current
// one, JSON always English. `pattern` is a literal, the catalog's key. A
// value may be another Text, shown in the language of the one it fills.
class Text {
 public:
  Text() = default;
  template <typename... Arguments>
  explicit Text(std::string_view pattern, const Arguments&... arguments) : pattern_(pattern) {
    arguments_.reserve(sizeof...(Arguments));
    (add(arguments), ...);
  }

  std::string in(Language language) const;
  // In the current language.
  std::string str() const { return in(currentLanguage()); }
  std::string_view pattern() const { return pattern_; }
  bool operator==(const Text&) const = default;

 private:
  // A value as written, or one of our texts (then `text` holds it alone).
  struct Argument {
    std::string written;
    std::vector<Text> text;
    bool operator==(const Argument&) const = default;
  };

  void add(const Text& text) { arguments_.push_back({{}, {text}}); }
  template <typename T>
  void add(const T& value) {
    arguments_.push_back({std::string(detail::textOf(value)), {}});
  }

  std::string_view pattern_;
  std::vector<Argument> arguments_;
};

// The columns `text` takes on a terminal: its characters, each byte that
// does not continue a UTF-8 sequence counted as one.
std::size_t shownWidth(std::string_view text);

// Each of `texts` in `language`.
std::vector<std::string> linesIn(const std::vector<Text>& texts, Language language);

}  // namespace orben
