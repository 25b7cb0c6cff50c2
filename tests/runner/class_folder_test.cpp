// A folder of handed-in programs as tuka2 test takes it, and the feedback
// it writes for the students, as the real tuka2 does under either locale.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runner/program_folders.h"
#include "runner/tuka2_process.h"

namespace orben::runner {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kSpanish = {"PATH=/usr/bin:/bin", "LANG=es_ES.UTF-8"};
const std::vector<std::string> kEnglish = {"PATH=/usr/bin:/bin", "LANG=C"};

constexpr const char* kDoubles = "IN R1, H'02\nADDS R2, R1, R1\nOUT H'01, R2\nHALT\n";
constexpr const char* kCases = R"toml(title = "Doble"
scale = 10
[[case]]
name = "doble de 21"
inputs = { "02" = "0015" }
expect.outputs = { "01" = "002A" }
)toml";

class ClassFolderTest : public ::testing::Test {
 protected:
  ClassFolderTest() {
    folder_ = fs::temp_directory_path() /
              ("tuka2-class-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  ~ClassFolderTest() override { fs::remove_all(folder_); }
  std::string write(const std::string& name, const std::string& text) {
    fs::create_directories((folder_ / name).parent_path());
    std::ofstream(folder_ / name, std::ios::binary) << text;
    return (folder_ / name).string();
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  fs::path folder_;
};

TEST_F(ClassFolderTest, AFolderStandsForItsProgramsInByteOrder) {
  // The programs, each extension in some case; byte order puts capitals
  // before '_', '_' before small letters, and 'ñ' (C3 B1) after them all.
  for (const char* name : {"b.asm", "A.S", "Z.asm", "_x.asm", "c.EHC", "d.hex", "e.Hex", "ñ.asm"}) {
    write(std::string("entregas/") + name, kDoubles);
  }
  // Left out: other files, names that only hold an extension's letters,
  // subfolders and what they hold, a folder named like a program.
  for (const char* name :
       {"notas.txt", "x.asm.bak", "Makefile", "asm", "sub/z.asm", "dir.asm/y.asm", "s"}) {
    write(std::string("entregas/") + name, kDoubles);
  }
  const std::vector<std::string> in_order = {"A.S",   "Z.asm", "_x.asm", "b.asm",
                                             "c.EHC", "d.hex", "e.Hex",  "ñ.asm"};
  for (const std::string& given : {path("entregas"), path("entregas") + "/"}) {
    const ClassPrograms expanded = ExpandProgramFolders({path("uno.asm"), given, path("dos.s")});
    EXPECT_TRUE(expanded.errors.empty());
    std::vector<std::string> expected = {path("uno.asm")};
    for (const auto& name : in_order) expected.push_back(path("entregas") + "/" + name);
    expected.push_back(path("dos.s"));
    EXPECT_EQ(expanded.programs, expected) << given;
  }
  // tuka2 test grades them in that order.
  const std::string cases = write("casos.toml", kCases);
  const RanApart ran = runTuka2With({"test", cases, path("entregas"), "-j", "3"}, kEnglish);
  std::vector<std::string> graded;
  for (std::size_t at = 0;
       (at = ran.out.find('\n' + path("entregas") + "/", at)) != std::string::npos; ++at) {
    const std::size_t name = at + path("entregas").size() + 2;
    const std::string line = ran.out.substr(name, ran.out.find('\n', name) - name);
    // Each program's own heading, not its line in the final table.
    if (line.find(' ') == std::string::npos) graded.push_back(line);
  }
  EXPECT_EQ(graded, in_order) << ran.out;
  // The .EHC and .HEX files hold a source, not an object: they fail, the
  // sources pass.
  EXPECT_EQ(ran.status, 1) << ran.err;
}

TEST_F(ClassFolderTest, AFolderWithoutProgramsIsAUsageError) {
  write("vacia/notas.txt", "x");
  write("vacia/sub/a.asm", kDoubles);
  const std::string cases = write("casos.toml", kCases);
  const std::string program = write("a.asm", kDoubles);
  const ClassPrograms expanded = ExpandProgramFolders({program, path("vacia")});
  ASSERT_EQ(expanded.errors.size(), 1u);
  const struct {
    const std::vector<std::string>& environment;
    std::string said;
  } languages[] = {
      {kEnglish, "tuka2: the folder " + path("vacia") +
                     " holds no programs (.asm, .s, .EHC or .HEX files)\n"},
      {kSpanish, "tuka2: la carpeta " + path("vacia") +
                     " no contiene ningún programa (archivos .asm, .s, .EHC o .HEX)\n"},
  };
  for (const auto& language : languages) {
    const RanApart ran =
        runTuka2With({"test", cases, program, path("vacia")}, language.environment);
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, language.said);
    // Nothing graded: the arguments are checked first.
    EXPECT_EQ(ran.out, "");
  }
}

// The students' feedback is Spanish under any locale, the same bytes in
// each, while the teacher's report speaks the locale's language.
TEST_F(ClassFolderTest, FeedbackIsSpanishWhateverTheLocale) {
  const std::string cases = write("casos.toml", kCases);
  write("g1/ana.asm", kDoubles);
  write("g2/ana.asm", "IN R1, H'02\nOUT H'01, R1\nHALT\n");
  std::vector<std::string> feedbacks;
  for (const auto* environment : {&kEnglish, &kSpanish}) {
    fs::remove_all(path("fb"));
    const RanApart ran = runTuka2With(
        {"test", cases, path("g1/ana.asm"), path("g2/ana.asm"), "--feedback", path("fb")},
        *environment);
    EXPECT_EQ(ran.status, 1) << ran.err;
    const bool english = environment == &kEnglish;
    EXPECT_NE(ran.out.find(english ? "  PASS  doble de 21" : "  BIEN  doble de 21"),
              std::string::npos)
        << ran.out;
    const std::string first = read("fb/g1_ana.asm.txt");
    const std::string second = read("fb/g2_ana.asm.txt");
    EXPECT_NE(first.find("\nBIEN  doble de 21  (1/1 punto)\n"), std::string::npos) << first;
    EXPECT_NE(first.find("\nTotal: 1/1 puntos, 1/1 casos, nota 10 sobre 10\n"), std::string::npos)
        << first;
    EXPECT_NE(second.find("puerto de salida 01: se esperaba 002A y hay 0015"), std::string::npos)
        << second;
    EXPECT_NE(second.find("Programa: " + path("g2/ana.asm")), std::string::npos) << second;
    feedbacks.push_back(first + second);
  }
  EXPECT_EQ(feedbacks[0], feedbacks[1]);
}

}  // namespace
}  // namespace orben::runner
