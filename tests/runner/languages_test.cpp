// The assembler's diagnostics and the lines about files as the real tuka2
// prints them: for a person in the language its environment asks for, in
// JSON and JUnit in English whatever the environment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runner/tuka2_process.h"

namespace orben::runner {
namespace {

namespace fs = std::filesystem;

using Environment = std::vector<std::string>;

const Environment kSpanish = {"PATH=/usr/bin:/bin", "LANG=es_ES.UTF-8"};
const Environment kEnglish = {"PATH=/usr/bin:/bin", "LANG=C"};

// Three errors and a warning, each with a hint of the fix.
const char* const kFaulty =
    "  FOO\n"
    "  LLI R1, 0x10\n"
    "  IN R1, H'40\n"
    "  BZ fin\n"
    "fin: HALT\n";

// Its diagnostics, each in either language, after "SOURCE:".
struct Said {
  const char* english;
  const char* spanish;
};
const Said kSaid[] = {
    {"1:3: error: unknown instruction 'FOO' (a label needs ':' after it)",
     "1:3: error: instrucción desconocida 'FOO' (una etiqueta lleva ':' detrás)"},
    {"2:11: error: '0x10' is not a number (hexadecimal numbers are written H'10)",
     "2:11: error: '0x10' no es un número (los números hexadecimales se escriben H'10)"},
    {"3:10: warning: port 40 is above 3F: the machine refuses it when the instruction runs",
     "3:10: aviso: el puerto de entrada/salida 40 es mayor que 3F: la máquina lo rechaza cuando "
     "se ejecuta la instrucción"},
    {"4:6: error: branches and calls take no operand: the target goes in RD first (LDI RD, fin)",
     "4:6: error: los saltos y las llamadas no llevan operando: pon antes el destino en RD (LDI "
     "RD, fin)"},
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The lines of `text` that begin with `prefix`, in order.
std::vector<std::string> LinesFrom(const std::string& text, const std::string& prefix) {
  std::vector<std::string> kept;
  for (const std::string& line : Lines(text))
    if (line.rfind(prefix, 0) == 0) kept.push_back(line);
  return kept;
}

// The diagnostics of `source` among the lines of `text`: SOURCE:LINE:...
std::vector<std::string> DiagnosticsOf(const std::string& text, const std::string& source) {
  std::vector<std::string> kept;
  for (const std::string& line : LinesFrom(text, source + ":")) {
    const char after = line.size() > source.size() + 1 ? line[source.size() + 1] : ' ';
    if (after >= '1' && after <= '9') kept.push_back(line);
  }
  return kept;
}

class LanguagesTest : public ::testing::Test {
 protected:
  LanguagesTest() {
    folder_ = fs::temp_directory_path() /
              ("tuka2-languages-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  ~LanguagesTest() override { fs::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
    return (folder_ / name).string();
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

// tuka2 asm and tuka2 run print the same diagnostics and count the errors,
// in the language of LC_ALL, LC_MESSAGES, LANG or LANGUAGE, whichever
// decides.
TEST_F(LanguagesTest, AsmAndRunSpeakTheLanguageOfTheEnvironment) {
  const std::string source = write("mal.asm", kFaulty);
  const struct {
    Environment environment;
    bool spanish;
  } cases[] = {
      {kSpanish, true},
      {kEnglish, false},
      {{"PATH=/usr/bin:/bin", "LANG=es_AR.UTF-8", "LC_ALL=C"}, false},
      {{"PATH=/usr/bin:/bin", "LANG=C", "LC_MESSAGES=es_MX.UTF-8"}, true},
      {{"PATH=/usr/bin:/bin", "LANGUAGE=es:en"}, true},
      {{"PATH=/usr/bin:/bin"}, false},
  };
  for (const auto& c : cases) {
    std::string described;
    for (const auto& variable : c.environment) described += variable + " ";
    std::vector<std::string> expected;
    for (const Said& said : kSaid)
      expected.push_back(source + ":" + (c.spanish ? said.spanish : said.english));
    const struct {
      const char* command;
      const char* english;
      const char* spanish;
    } commands[] = {
        {"asm", ": 3 errors, nothing written", ": 3 errores, no se ha escrito nada"},
        {"run", ": 3 errors, nothing loaded", ": 3 errores, no se ha cargado nada"},
    };
    for (const auto& command : commands) {
      const RanApart ran = runTuka2With({command.command, source}, c.environment);
      EXPECT_EQ(ran.status, 1) << described << command.command << "\n" << ran.err;
      std::vector<std::string> lines = expected;
      lines.push_back(source + (c.spanish ? command.spanish : command.english));
      EXPECT_EQ(Lines(ran.err), lines) << described << command.command;
      EXPECT_EQ(ran.out, "") << described << command.command;
    }
    EXPECT_FALSE(fs::exists(path("mal.ehc"))) << described;
  }
}

// A source with a warning only: the object file and tuka2 run --json (its
// run stopped by the port the warning names) are the same in both
// languages; only the terminal's lines differ.
TEST_F(LanguagesTest, WhatIsWrittenForProgramsIsTheSameInBothLanguages) {
  const std::string source = write("aviso.asm", "  IN R1, H'40\n  OUT H'01, R1\n  HALT\n");
  std::vector<std::string> objects, jsons;
  for (const bool spanish : {true, false}) {
    const Environment& environment = spanish ? kSpanish : kEnglish;
    const RanApart assembled = runTuka2With({"asm", source}, environment);
    EXPECT_EQ(assembled.status, 0) << assembled.err;
    std::ifstream object(path("aviso.ehc"), std::ios::binary);
    objects.emplace_back(std::istreambuf_iterator<char>(object), std::istreambuf_iterator<char>());
    const RanApart ran = runTuka2With({"run", source, "--json", "--seed", "3"}, environment);
    EXPECT_EQ(ran.status, 1) << ran.err;  // the machine refuses the port, as warned
    jsons.push_back(ran.out);
    const std::string warning =
        source + (spanish ? ":1:10: aviso: el puerto de entrada/salida 40 es mayor que 3F: la "
                            "máquina lo rechaza cuando se ejecuta la instrucción"
                          : ":1:10: warning: port 40 is above 3F: the machine refuses it when the "
                            "instruction runs");
    EXPECT_EQ(Lines(assembled.err), std::vector<std::string>{warning});
    EXPECT_EQ(DiagnosticsOf(ran.err, source), std::vector<std::string>{warning});
    const std::string object_name = path("aviso.ehc");
    EXPECT_EQ(assembled.out,
              source + (spanish ? ": 3 palabras escritas en " + object_name + ", 1 aviso\n"
                                : ": 3 words to " + object_name + ", 1 warning\n"));
  }
  EXPECT_FALSE(objects[0].empty());
  EXPECT_EQ(objects[0], objects[1]);
  EXPECT_NE(jsons[0].find("\"stop\":\"error\""), std::string::npos) << jsons[0];
  EXPECT_EQ(jsons[0], jsons[1]);
}

// tuka2's lines about the files it reads and writes: the same exit status
// and, on the error output, the same line in the language of the
// environment, with the "tuka2: " in front and the file named as given.
// ORBEN's own reasons (a pipe, a source too large, an endless line) are in
// that language too; the system's words for a missing file stay the
// system's. Nothing goes to the output, not even with --json.
TEST_F(LanguagesTest, FileLinesSpeakTheLanguageOfTheEnvironment) {
  const std::string source = write("suma.asm", "  LLI R1, H'05\n  HALT\n");
  const std::string source_pipe = path("tubo.asm");
  const std::string object_pipe = path("cano.ehc");
  ASSERT_EQ(::mkfifo(source_pipe.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(object_pipe.c_str(), 0600), 0);
  // Sparse: no disk is used. One byte over 64 MiB for a source, and a HEX
  // file of one line of zero bytes a little longer than that.
  const std::uintmax_t mebibytes_64 = std::uintmax_t{64} << 20;
  const std::string huge_source = write("enorme.asm", "");
  fs::resize_file(huge_source, mebibytes_64 + 1);
  const std::string huge_object = write("enorme.hex", "");
  fs::resize_file(huge_object, mebibytes_64 + 4096);
  const std::string missing = path("falta.ehc");
  const std::string no_folder = path("no/hay/suma.ehc");
  const std::string no_such_file = std::strerror(ENOENT);  // the system's words

  const struct {
    std::vector<std::string> arguments;
    std::string english;  // the line after "tuka2: "
    std::string spanish;
  } rows[] = {
      {{"asm", source_pipe},
       "cannot read " + source_pipe + ": Not a regular file",
       "no se puede leer " + source_pipe + ": No es un archivo normal"},
      {{"run", object_pipe},
       "cannot read " + object_pipe + ": Not a regular file",
       "no se puede leer " + object_pipe + ": No es un archivo normal"},
      {{"run", object_pipe, "--json"},
       "cannot read " + object_pipe + ": Not a regular file",
       "no se puede leer " + object_pipe + ": No es un archivo normal"},
      {{"debug", source_pipe},
       "cannot read " + source_pipe + ": Not a regular file",
       "no se puede leer " + source_pipe + ": No es un archivo normal"},
      {{"dis", missing},
       "cannot read " + missing + ": " + no_such_file,
       "no se puede leer " + missing + ": " + no_such_file},
      {{"asm", huge_source},
       "cannot read " + huge_source + ": larger than 64 MiB: no TUKA-2 source needs that much",
       "no se puede leer " + huge_source +
           ": ocupa más de 64 MiB: ningún programa fuente de TUKA-2 necesita tanto"},
      {{"asm", source, "-o", source},
       source + " would replace the source; name another file",
       source + " sustituiría al programa fuente; indica otro archivo"},
      {{"asm", source, "-l", source},
       source + " would replace the source; name another file",
       source + " sustituiría al programa fuente; indica otro archivo"},
      {{"asm", source, "-o", path("suma.txt")},
       path("suma.txt") + ": object files must end in .EHC or .HEX",
       path("suma.txt") + ": los programas objeto tienen que terminar en .EHC o .HEX"},
      {{"asm", source, "-o", path("a.ehc"), "-l", path("a.ehc")},
       "the listing and the object file cannot both be " + path("a.ehc"),
       "el listado y el programa objeto no pueden ser los dos " + path("a.ehc")},
      {{"asm", source, "-o", no_folder},
       "cannot write " + no_folder + ": " + no_such_file,
       "no se puede escribir " + no_folder + ": " + no_such_file},
  };
  const struct {
    Environment environment;
    bool spanish;
  } environments[] = {
      {{"PATH=/usr/bin:/bin", "LANG=es_ES.UTF-8"}, true},
      {{"PATH=/usr/bin:/bin", "LANG=en_US.UTF-8"}, false},
      {{"PATH=/usr/bin:/bin", "LANG=C"}, false},
  };
  for (const auto& row : rows) {
    std::string described;
    for (const auto& argument : row.arguments) described += argument + " ";
    for (const auto& [environment, spanish] : environments) {
      const RanApart ran = runTuka2With(row.arguments, environment);
      EXPECT_EQ(ran.status, 2) << described << environment.back();
      EXPECT_EQ(ran.err, "tuka2: " + (spanish ? row.spanish : row.english) + "\n")
          << described << environment.back();
      EXPECT_EQ(ran.out, "") << described << environment.back();
    }
  }
  // The loader's endless line, in Spanish only: 64 MiB are read before it
  // is answered (tests/loader has its English reason).
  const RanApart endless = runTuka2With({"run", huge_object}, environments[0].environment);
  EXPECT_EQ(endless.status, 2);
  EXPECT_EQ(endless.err,
            "tuka2: no se puede leer " + huge_object + ": Línea demasiado larga (más de 64 MiB)\n");
  EXPECT_EQ(endless.out, "");
  // Nothing was written where a line said so, in any language.
  for (const char* name : {"suma.ehc", "suma.txt", "a.ehc", "tubo.ehc"})
    EXPECT_FALSE(fs::exists(path(name))) << name;
}

// tuka2 asm without -o, when the object name in the other capitals is
// there too: that file is named on the error output in the language of
// the environment and left as it was; the new one is written all the same.
TEST_F(LanguagesTest, TheOtherSpellingIsNamedInTheLanguageOfTheEnvironment) {
  const std::string source = write("mayor.asm", "  HALT\n");
  const std::string older = write("mayor.EHC", "0000 F000\n0001 F000\n");
  for (const bool spanish : {true, false}) {
    const RanApart ran = runTuka2With({"asm", source}, spanish ? kSpanish : kEnglish);
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, older + (spanish ? " también está aquí y no se ha modificado\n"
                                        : " is also here and was not changed\n"));
    EXPECT_EQ(ran.out, source + (spanish ? ": 1 palabra escrita en " : ": 1 word to ") +
                           path("mayor.ehc") + "\n");
    std::ifstream kept(older, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "0000 F000\n0001 F000\n");
  }
}

// tuka2 test: the text report shows the assembly's errors in the language
// of the environment; JSON and JUnit keep them English in both.
TEST_F(LanguagesTest, GraderReportsForPeopleAndForPrograms) {
  const std::string source = write("mal.asm", kFaulty);
  const std::string cases = write("casos.toml", "[[case]]\nname = \"uno\"\n");
  std::vector<std::string> english_errors = {"the assembly of " + source + " failed with 3 errors"};
  std::vector<std::string> spanish_errors = {source + " no se ha podido ensamblar: 3 errores"};
  for (const Said& said : kSaid) {
    // The grader names the errors only.
    if (std::string(said.english).find(": error: ") == std::string::npos) continue;
    english_errors.push_back(source + ":" + said.english);
    spanish_errors.push_back(source + ":" + said.spanish);
  }
  std::vector<std::string> jsons, junits;
  for (const bool spanish : {true, false}) {
    const Environment& environment = spanish ? kSpanish : kEnglish;
    const RanApart text = runTuka2With({"test", cases, source}, environment);
    EXPECT_EQ(text.status, 1) << text.err;
    std::vector<std::string> shown;
    // Once, under the program's name, before its cases.
    for (const std::string& line : LinesFrom(text.out, "  "))
      if (line.find(source) != std::string::npos) shown.push_back(line.substr(2));
    EXPECT_EQ(shown, spanish ? spanish_errors : english_errors) << text.out;
    const std::string junit = path(spanish ? "es.xml" : "en.xml");
    const RanApart json =
        runTuka2With({"test", cases, source, "--json", "--junit", junit}, environment);
    EXPECT_EQ(json.status, 1) << json.err;
    jsons.push_back(json.out);
    std::ifstream in(junit, std::ios::binary);
    junits.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(jsons[0], jsons[1]);
  EXPECT_EQ(junits[0], junits[1]);
  for (const std::string& line : english_errors) {
    // As JSON writes a string: the quotes of the errors stay as they are.
    EXPECT_NE(jsons[1].find("\"" + line + "\""), std::string::npos) << line << "\n" << jsons[1];
  }
  EXPECT_NE(junits[1].find("unknown instruction &apos;FOO&apos;"), std::string::npos) << junits[1];
}

}  // namespace
}  // namespace orben::runner
