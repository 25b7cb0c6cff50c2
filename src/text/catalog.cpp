#include "text/catalog.h"

#include <algorithm>

#include "text/catalog_entries.h"

namespace orben {

std::string_view tr(std::string_view english) {
  return tr(english, currentLanguage());
}

std::string_view tr(std::string_view english, Language language) {
  if (language == Language::English) return english;
  const detail::CatalogEntry* first = detail::kSpanish;
  const detail::CatalogEntry* last = first + detail::kSpanishCount;
  const auto* found = std::lower_bound(
      first, last, english,
      [](const detail::CatalogEntry& entry, std::string_view key) { return entry.english < key; });
  return found != last && found->english == english ? found->translated : english;
}

std::string formatText(std::string_view pattern, const std::string_view* arguments,
                       std::size_t count) {
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if ((c == '{' || c == '}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
      text += c;
      ++i;
      continue;
    }
    if (c == '{') {
      const std::size_t close = pattern.find('}', i);
      std::size_t n = 0;
      bool number = close != std::string_view::npos && close > i + 1;
      for (std::size_t j = i + 1; number && j < close; ++j) {
        number = pattern[j] >= '0' && pattern[j] <= '9';
        n = n * 10 + static_cast<std::size_t>(pattern[j] - '0');
      }
      if (number && n < count) {
        text += arguments[n];
        i = close;
        continue;
      }
    }
    text += c;
  }
  return text;
}

std::string Text::in(Language language) const {
  std::vector<std::string> shown;  // the texts among the values, in `language`
  shown.reserve(arguments_.size());
  std::vector<std::string_view> views;
  views.reserve(arguments_.size());
  for (const Argument& argument : arguments_) {
    if (argument.text.empty()) {
      views.emplace_back(argument.written);
    } else {
      views.emplace_back(shown.emplace_back(argument.text.front().in(language)));
    }
  }
  return formatText(tr(pattern_, language), views.data(), views.size());
}

std::size_t shownWidth(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
  return width;
}

std::vector<std::string> linesIn(const std::vector<Text>& texts, Language language) {
  std::vector<std::string> lines;
  lines.reserve(texts.size());
  for (const Text& text : texts) lines.push_back(text.in(language));
  return lines;
}

}  // namespace orben
