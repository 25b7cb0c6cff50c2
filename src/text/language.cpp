#include "text/language.h"

#include <atomic>
#include <cstdlib>

namespace orben {

namespace {

std::atomic<Language> current{Language::English};

}  // namespace

Language languageOfLocale(std::string_view locale) {
  if (locale.size() < 2 || locale.substr(0, 2) != "es") return Language::English;
  if (locale.size() == 2) return Language::Spanish;
  const char after = locale[2];
  return after == '_' || after == '.' || after == '@' ? Language::Spanish : Language::English;
}

Language languageFromEnvironment(const std::function<const char*(const char*)>& variable) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = variable(name);
    if (value != nullptr && *value != '\0') return languageOfLocale(value);
  }
  const char* list = variable("LANGUAGE");
  if (list == nullptr) return Language::English;
  const std::string_view entries(list);
  return languageOfLocale(entries.substr(0, entries.find(':')));
}

Language currentLanguage() {
  return current.load(std::memory_order_relaxed);
}

void setLanguage(Language language) {
  current.store(language, std::memory_order_relaxed);
}

}  // namespace orben
