// ORBEN's own texts: the language a locale asks for, the placeholders, and
// the compiled Spanish catalog.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "text/catalog.h"

namespace orben {
namespace {

TEST(Language, IsChosenAsGnuProgramsChooseIt) {
  using Env = std::map<std::string, std::string>;
  const struct {
    Env env;
    Language expected;
  } cases[] = {
      {{}, Language::English},
      {{{"LANG", "es_ES.UTF-8"}}, Language::Spanish},
      {{{"LANG", "es_AR.UTF-8"}}, Language::Spanish},
      {{{"LANG", "es"}}, Language::Spanish},
      {{{"LANG", "es@euro"}}, Language::Spanish},
      {{{"LANG", "en_US.UTF-8"}}, Language::English},
      {{{"LANG", "C"}}, Language::English},
      {{{"LANG", "POSIX"}}, Language::English},
      {{{"LANG", "est_EE"}}, Language::English},  // not "es" followed by a region
      {{{"LANG", "e"}}, Language::English},
      // The first set and not empty wins: LC_ALL, LC_MESSAGES, LANG.
      {{{"LC_ALL", "C"}, {"LANG", "es_ES.UTF-8"}}, Language::English},
      {{{"LC_ALL", ""}, {"LANG", "es_ES.UTF-8"}}, Language::Spanish},
      {{{"LC_MESSAGES", "es_MX.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, Language::Spanish},
      {{{"LC_ALL", "en_US.UTF-8"}, {"LC_MESSAGES", "es_ES.UTF-8"}}, Language::English},
      // LANGUAGE only when none of them is set; its first entry.
      {{{"LANGUAGE", "es:en"}}, Language::Spanish},
      {{{"LANGUAGE", "en:es"}}, Language::English},
      {{{"LANGUAGE", "es"}, {"LANG", "C"}}, Language::English},
      {{{"LANGUAGE", ""}}, Language::English},
  };
  for (const auto& c : cases) {
    const auto variable = [&](const char* name) -> const char* {
      const auto found = c.env.find(name);
      return found == c.env.end() ? nullptr : found->second.c_str();
    };
    std::string described;
    for (const auto& [name, value] : c.env) described += name + "=" + value + " ";
    EXPECT_EQ(languageFromEnvironment(variable), c.expected) << described;
  }
}

TEST(Text, FillsItsPlaceholdersInAnyOrderAndKeepsTheRest) {
  const struct {
    const char* pattern;
    std::string expected;
  } cases[] = {
      {"{0} and {1}", "a and b"},
      {"{1} before {0}", "b before a"},
      {"{0}{0}", "aa"},
      {"{{0}} stays", "{0} stays"},
      {"{2} has no value", "{2} has no value"},
      {"{x} and { and }", "{x} and { and }"},
      {"ends in {", "ends in {"},
      {"{}", "{}"},
  };
  for (const auto& c : cases) {
    const std::string_view values[] = {"a", "b"};
    EXPECT_EQ(formatText(c.pattern, values, 2), c.expected) << c.pattern;
  }
  EXPECT_EQ(trf("{0} steps, {1}", 12, std::string("done")), "12 steps, done");
}

TEST(Text, IsShownInTheLanguageAskedForAndStaysEnglishWithoutATranslation) {
  const Text check("RET at {0} with an empty stack (RE = {1}): a return with no call before it",
                   "0004", "F000");
  EXPECT_EQ(check.in(Language::English),
            "RET at 0004 with an empty stack (RE = F000): a return with no call before it");
  EXPECT_EQ(check.in(Language::Spanish),
            "RET en 0004 con la pila vacía (RE = F000): un retorno sin una llamada antes");
  const Text unknown("a text the catalog has never seen: {0}", 7);
  EXPECT_EQ(unknown.in(Language::Spanish), "a text the catalog has never seen: 7");
  const Language before = currentLanguage();
  setLanguage(Language::Spanish);
  EXPECT_EQ(check.str(), check.in(Language::Spanish));
  EXPECT_EQ(tr("check: {0} at {1}, step {2}: {3}"), "aviso: {0} en {1}, paso {2}: {3}");
  setLanguage(Language::English);
  EXPECT_EQ(check.str(), check.in(Language::English));
  setLanguage(before);
}

// A value that is one of our texts shows in the language of the text it
// fills, however deep it lies.
TEST(Text, AValueThatIsATextShowsInTheLanguageOfItsText) {
  const char* const line = "check: {0} at {1}, step {2}: {3}";
  const char* const ret =
      "RET at {0} with an empty stack (RE = {1}): a return with no call before it";
  const Text inner(ret, "0004", "F000");
  const Text outer(line, "empty-stack-return", "0004", 9, inner);
  EXPECT_EQ(outer.in(Language::English),
            "check: empty-stack-return at 0004, step 9: RET at 0004 with an empty stack (RE = "
            "F000): a return with no call before it");
  EXPECT_EQ(outer.in(Language::Spanish),
            "aviso: empty-stack-return en 0004, paso 9: RET en 0004 con la pila vacía (RE = "
            "F000): un retorno sin una llamada antes");
  const Text deeper(line, "x", "0000", 1, outer);
  EXPECT_EQ(deeper.in(Language::Spanish),
            "aviso: x en 0000, paso 1: aviso: empty-stack-return en 0004, paso 9: RET en 0004 con "
            "la pila vacía (RE = F000): un retorno sin una llamada antes");
  // Equal texts have equal values, the texts among them included.
  EXPECT_EQ(outer, Text(line, "empty-stack-return", "0004", 9, Text(ret, "0004", "F000")));
  EXPECT_NE(outer, Text(line, "empty-stack-return", "0004", 9, Text(ret, "0005", "F000")));
  EXPECT_NE(outer, Text(line, "empty-stack-return", "0004", 9, inner.in(Language::English)));
}

}  // namespace
}  // namespace orben
