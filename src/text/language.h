#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string_view>

namespace orben {

// The languages ORBEN's own texts come in. The machine's captions and
// message boxes are Spanish in both.
enum class Language : std::uint8_t { English, Spanish };

// The language a locale name asks for: Spanish for "es" with any region,
// encoding or modifier ("es", "es_AR.UTF-8", "es_ES@euro"), English for
// any other ("C", "POSIX", "en_US.UTF-8", "fr").
Language languageOfLocale(std::string_view locale);

// As GNU programs choose: the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty; when none is, the first entry of LANGUAGE; English
// when nothing is set. `variable` reads the environment.
Language languageFromEnvironment(const std::function<const char*(const char*)>& variable =
                                     [](const char* name) {
                                       return static_cast<const char*>(std::getenv(name));
                                     });

// The language of this process's texts, English until set.
Language currentLanguage();
void setLanguage(Language language);

}  // namespace orben
