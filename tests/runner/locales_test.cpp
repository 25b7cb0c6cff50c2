// tuka2 in the four locales a course meets: Spain's and Argentina's
// Spanish, US English and the C locale. A person reads each text in the
// locale's language; JSON, object files and exit statuses are the same in
// all four.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "runner/tuka2_process.h"
#include "support/scratch_folder.h"

namespace orben::runner {
namespace {

struct Locale {
  const char* lang;
  bool spanish;
};
const Locale kLocales[] = {
    {"es_ES.UTF-8", true}, {"es_AR.UTF-8", true}, {"en_US.UTF-8", false}, {"C", false}};

TEST(Tuka2Locales, EachTextInTheLocalesLanguageEveryResultTheSame) {
  const ScratchFolder folder("tuka2-locales");
  // No HALT: the run goes on into memory nothing wrote, which a check notes.
  const std::string program = folder.write("sin_halt.asm", "  LLI R1, 5\n  OUT H'01, R1\n");
  const std::string faulty = folder.write("mal.asm", "  LLI R1, 0x10\n  HALT\n");
  const std::string cases = folder.write(
      "casos.toml", "[[case]]\nname = \"cinco\"\nexpect.outputs = { \"01\" = \"0005\" }\n");
  const std::string bad_cases = folder.write("malos.toml", "[[case]]\nstart = 12\n");
  const struct {
    std::vector<std::string> arguments;
    bool json;  // the same bytes in every locale
    // What a person reads, in each language: lines of the output or of
    // the error output, each to be found in one and not in the other.
    std::vector<std::string> english, spanish;
  } commands[] = {
      {{"run", program, "--fill", "0000", "--max-steps", "5"},
       false,
       {"stop: max-steps after 5 steps", "keypad 0000", "flags Z=0 S=0 C=0 V=0  step mode 0",
        "output port 01: 0005", "check: unwritten-word at 0002, step 3: executing 0002",
        "warning: execution runs on past 0001"},
       {"parada: max-steps tras 5 pasos", "teclado 0000", "banderas Z=0 S=0 C=0 V=0  paso a paso 0",
        "puerto de salida 01: 0005", "aviso: unwritten-word en 0002, paso 3: se ejecuta 0002",
        "aviso: la ejecución sigue más allá de 0001"}},
      {{"run", program, "--fill", "0000", "--max-steps", "5", "--json"}, true, {}, {}},
      {{"asm", faulty},
       false,
       {"mal.asm:1:11: error: '0x10' is not a number (hexadecimal numbers are written H'10)",
        "1 error, nothing written"},
       {"mal.asm:1:11: error: '0x10' no es un número (los números hexadecimales se escriben H'10)",
        "1 error, no se ha escrito nada"}},
      {{"test", cases, program},
       false,
       {"  FAIL  cinco  (0/1 point)", "0/1 points, 0/1 cases", "a word nothing has written"},
       {"  MAL   cinco  (0/1 punto)", "0/1 puntos, 0/1 casos", "una palabra que nada ha escrito"}},
      {{"test", cases, program, "--json"}, true, {}, {}},
      {{"test", bad_cases, program},
       false,
       {"malos.toml:2:9: start must be a word of one to four hexadecimal digits in quotes"},
       {"malos.toml:2:9: start debe ser una palabra de una a cuatro cifras hexadecimales"}},
      {{"run", "--help"},
       false,
       {"Usage: tuka2 run [OPTIONS] FILE", "stop after N instructions (default 1000000)"},
       {"Uso: tuka2 run [OPCIONES] ARCHIVO",
        "se detiene tras N instrucciones (por omisión 1000000)"}},
      {{"test", "--help"},
       false,
       {"Usage: tuka2 test [OPTIONS] CASES PROGRAM...", "Exit status: 0 when every case"},
       {"Uso: tuka2 test [OPCIONES] CASOS PROGRAMA...", "Estado de salida: 0 cuando se superan"}},
  };
  for (const auto& command : commands) {
    std::string described;
    for (const auto& word : command.arguments) described += word + " ";
    std::map<std::string, RanApart> runs;
    for (const Locale& locale : kLocales) {
      const RanApart ran = runTuka2With(command.arguments,
                                        {"PATH=/usr/bin:/bin", std::string("LANG=") + locale.lang});
      const std::string both = ran.out + ran.err;
      for (const auto& line : locale.spanish ? command.spanish : command.english)
        EXPECT_NE(both.find(line), std::string::npos) << locale.lang << ": " << described << "\n"
                                                      << both;
      for (const auto& line : locale.spanish ? command.english : command.spanish)
        EXPECT_EQ(both.find(line), std::string::npos) << locale.lang << ": " << described << "\n"
                                                      << both;
      runs[locale.lang] = ran;
    }
    for (const Locale& locale : kLocales) {
      EXPECT_EQ(runs[locale.lang].status, runs["C"].status) << locale.lang << ": " << described;
      if (command.json) {
        EXPECT_EQ(runs[locale.lang].out, runs["C"].out) << locale.lang << ": " << described;
      }
    }
  }
}

}  // namespace
}  // namespace orben::runner
