// The assembler's diagnostics in English and in Spanish, from one assembly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/assembler.h"

namespace orben::assembler {
namespace {

// The language current while a test runs, given back when it ends.
class CurrentLanguage {
 public:
  explicit CurrentLanguage(Language language) : before_(currentLanguage()) {
    setLanguage(language);
  }
  ~CurrentLanguage() { setLanguage(before_); }
  CurrentLanguage(const CurrentLanguage&) = delete;
  CurrentLanguage& operator=(const CurrentLanguage&) = delete;

 private:
  Language before_;
};

// One diagnostic of each kind a student meets, hints included: where it
// is and what it says in either language.
TEST(AssemblerLanguages, EachDiagnosticInEnglishAndInSpanish) {
  const struct {
    std::string source;
    std::size_t line, column;
    Severity severity;
    const char* english;
    const char* spanish;
  } cases[] = {
      {"HLAT", 1, 1, Severity::Error, "unknown instruction 'HLAT' (did you mean HALT?)",
       "instrucción desconocida 'HLAT' (¿querías decir HALT?)"},
      {"LII R1, 2", 1, 1, Severity::Error,
       "unknown instruction 'LII' (did you mean LLI, LHI or LDI?)",
       "instrucción desconocida 'LII' (¿querías decir LLI, LHI o LDI?)"},
      {"BX", 1, 1, Severity::Error, "unknown instruction 'BX' (did you mean BR, BZ, BS, BC or BV?)",
       "instrucción desconocida 'BX' (¿querías decir BR, BZ, BS, BC o BV?)"},
      {"bucle LLI R1, 1", 1, 1, Severity::Error,
       "unknown instruction 'bucle' (a label needs ':' after it)",
       "instrucción desconocida 'bucle' (una etiqueta lleva ':' detrás)"},
      {"LLI R1, 0x10", 1, 9, Severity::Error,
       "'0x10' is not a number (hexadecimal numbers are written H'10)",
       "'0x10' no es un número (los números hexadecimales se escriben H'10)"},
      {"LLI R1, H'1FF", 1, 9, Severity::Error,
       "value H'1FF does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit value write "
       "LDI R1, H'1FF",
       "el valor H'1FF no cabe en 8 bits (0..255 o -128..-1): para un valor de 16 bits escribe LDI "
       "R1, H'1FF"},
      {"OUT H'100, R1", 1, 5, Severity::Error, "value H'100 does not fit the 8-bit port (00..FF)",
       "el valor H'100 no cabe en los 8 bits del puerto de entrada/salida (00..FF)"},
      {"BZ fin\nfin: HALT", 1, 4, Severity::Error,
       "branches and calls take no operand: the target goes in RD first (LDI RD, fin)",
       "los saltos y las llamadas no llevan operando: pon antes el destino en RD (LDI RD, fin)"},
      // What was found, or the end of the line where something was due.
      {"LLI R1 1", 1, 8, Severity::Error, "expected ',', found '1'", "se esperaba ',', no '1'"},
      {"ADDS R1, R2", 1, 12, Severity::Error, "expected ',', found the end of the line",
       "se esperaba ',' antes del final de la línea"},
      {"SHL", 1, 4, Severity::Error, "expected a register (R0..RF), found the end of the line",
       "se esperaba un registro (R0..RF) antes del final de la línea"},
      {"LD R1, [R3+1]", 1, 9, Severity::Error,
       "memory is reached as [RD+displacement]; expected RD, found 'R3'",
       "a la memoria se llega con [RD+desplazamiento]; se esperaba RD, no 'R3'"},
      {"x: DW 1\nX: DW 2", 2, 1, Severity::Error, "'X' is already defined at line 1",
       "'X' ya está definido en la línea 1"},
      {"LLI R1, R2", 1, 9, Severity::Error, "'R2' is a register, not a value",
       "'R2' es un registro, no un valor"},
      // Warnings, and diagnostics of the whole source.
      {"LLI R1, 1\nx: ADDS R2, R1, R1\nDW 7", 2, 4, Severity::Warning,
       "execution runs on past 0001 into the data at 0002",
       "la ejecución sigue más allá de 0001 y entra en los datos de 0002"},
      {"LD R1, [RD-3]\nHALT", 1, 11, Severity::Warning,
       "the machine adds displacement FD to RD as 253, not -3",
       "la máquina suma a RD el desplazamiento FD como 253, no como -3"},
      {"", 0, 0, Severity::Error, "the source is empty: nothing to assemble",
       "el programa fuente está vacío: no hay nada que ensamblar"},
      {std::string("HALT\n; ñ") + '\0', 2, 4, Severity::Error,
       "the source is not UTF-8 or ASCII text (byte 00H here)",
       "el programa fuente no es texto UTF-8 ni ASCII (aquí hay un byte 00H)"},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    ASSERT_EQ(assembled.diagnostics.size(), 1u) << c.source;
    const Diagnostic& d = assembled.diagnostics.front();
    EXPECT_EQ(d.line, c.line) << c.source;
    EXPECT_EQ(d.column, c.column) << c.source;
    EXPECT_EQ(d.severity, c.severity) << c.source;
    EXPECT_EQ(d.message.in(Language::English), c.english) << c.source;
    EXPECT_EQ(d.message.in(Language::Spanish), c.spanish) << c.source;
    // The line a terminal shows: "error" is the same word in Spanish,
    // "warning" is "aviso".
    const bool error = c.severity == Severity::Error;
    const std::string where =
        c.line == 0 ? "p.asm: "
                    : "p.asm:" + std::to_string(c.line) + ":" + std::to_string(c.column) + ": ";
    EXPECT_EQ(DiagnosticLine("p.asm", d).in(Language::English),
              where + (error ? "error: " : "warning: ") + c.english);
    EXPECT_EQ(DiagnosticLine("p.asm", d).in(Language::Spanish),
              where + (error ? "error: " : "aviso: ") + c.spanish);
  }
}

// A diagnostic keeps its pattern and values, not the words of the language
// current when it was made: assembling in Spanish gives the same messages,
// and each shows in whichever language is current when it is shown.
TEST(AssemblerLanguages, TheLanguageIsChosenWhereTheMessageIsShown) {
  // Three errors; a port above 3F and a run off the end of the program.
  const char* const source = "LLI R1, nada\nHLAT\nLLI R2, 300\nIN R3, H'40\n";
  const Assembled english = AssembleText(source);
  Assembled spanish;
  {
    const CurrentLanguage in(Language::Spanish);
    spanish = AssembleText(source);
    ASSERT_EQ(spanish.diagnostics.size(), 5u);
    EXPECT_EQ(spanish.diagnostics[0].message.str(), "el nombre 'nada' no está definido");
  }
  ASSERT_EQ(english.diagnostics.size(), spanish.diagnostics.size());
  for (std::size_t i = 0; i < english.diagnostics.size(); ++i) {
    EXPECT_EQ(english.diagnostics[i].message, spanish.diagnostics[i].message) << i;
  }
  const CurrentLanguage in(Language::English);
  EXPECT_EQ(spanish.diagnostics[0].message.str(), "undefined name 'nada'");
}

// Every diagnostic the assembler gives has its Spanish text: none shows
// English, or a placeholder unfilled, when Spanish is asked for.
TEST(AssemblerLanguages, NoDiagnosticStaysEnglish) {
  const std::string sources[] = {
      "FOO R1",
      "bucle",
      "HLAT",
      "LII R1, 2",
      "LLI R16, 1",
      "LLI R1",
      "LLI R1 1",
      "ADDS R1, R2",
      "LLI R1, 256",
      "LD R1, [RD+300]",
      "IN R1, -129",
      "LD R1, [R3+1]",
      "LD R1, [RD+1",
      "LD R1, [RD",
      "LD R1 [RD]",
      "LLI R1, H'12345",
      "LLI R1, H'1G",
      "LLI R1, 12AB",
      "LLI R1, 12G",
      "DW 70000",
      "DW H'FFFF+1",
      "LLI R1, nada",
      "x: DW 1\nX: DW 2",
      "x EQU 1\nx EQU 2\nHALT",
      "r1: HALT",
      "halt EQU 3",
      "LLI R1, R2",
      "LLI R1, HALT",
      "LLI R1, ORG",
      "ORG fin\nfin: HALT",
      "ORG -1",
      "a EQU a+1\nDW a",
      "HALT R1",
      "HALT # no",
      "DW",
      "LLI R1, LO 3",
      "LLI R1, HI(3",
      "x EQU 1 2\nHALT",
      "ORG H'FFFF\nDW 1, 2",
      "BZ fin\nfin: HALT",
      "br RD",
      ", R1",
      "",
      "; nothing\n",
      std::string("HALT\n") + '\0',
      "ORG H'EFFF\nDW 1, 2, 3\nORG H'EFFF\nHALT\nIN R1, H'40\nLD R1, [RD-1]",
      "LLI R1, 1\n  ADDS R2, R1, R1",
      "LLI R1, 1\nDW 7",
  };
  std::size_t seen = 0;
  for (const std::string& source : sources) {
    const Assembled assembled = AssembleText(source);
    EXPECT_FALSE(assembled.diagnostics.empty()) << source;
    for (const Diagnostic& d : assembled.diagnostics) {
      const std::string english = d.message.in(Language::English);
      const std::string spanish = d.message.in(Language::Spanish);
      EXPECT_NE(spanish, english) << source;
      EXPECT_EQ(spanish.find('{'), std::string::npos) << spanish;
      EXPECT_EQ(english.find('{'), std::string::npos) << english;
      ++seen;
    }
  }
  EXPECT_GT(seen, std::size(sources));
}

}  // namespace
}  // namespace orben::assembler
