#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "runner/runner.h"
#include "runner/tuka2_process.h"
#include "support/json_value.h"

namespace orben::runner {
namespace {

namespace fs = std::filesystem;
using orben::testing::Json;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class AsmCommandTest : public ::testing::Test {
 protected:
  AsmCommandTest() {
    folder_ = fs::temp_directory_path() /
              ("tuka2-asm-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  ~AsmCommandTest() override { fs::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
    return (folder_ / name).string();
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  int tuka2(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return runCommandLine(args, out, err);
  }
  std::vector<std::string> folderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
  std::ostringstream out;
  std::ostringstream err;
};

// Each example assembles to the object file beside it, byte for byte, and
// runs to the result its comment states.
TEST_F(AsmCommandTest, ExamplesAssembleToTheirFilesAndRunToTheirResults) {
  const struct {
    const char* name;
    const char* object;
    const char* run_options;
    std::vector<std::pair<int, const char*>> outputs;  // port, word
  } examples[] = {
      {"suma", "suma.ehc", "", {{1, "0008"}}},
      {"suma_1_a_n", "suma_1_a_n.ehc", "", {{1, "0037"}}},  // 1 + ... + 10 = 55
      {"subrutina", "subrutina.ehc", "", {{1, "000E"}, {2, "0042"}}},
      {"doble_entrada", "doble_entrada.ehc", " --in 02=0015", {{1, "002A"}}},
      {"multiplica", "multiplica.ehc", "", {{1, "008F"}}},  // 13 x 11 = 143
      {"llena", "llena.ehc", " --fill 1234", {}},
      {"llena", "llena.hex", " --fill 1234", {}},
  };
  for (const auto& e : examples) {
    const std::string source = std::string(ORBEN_EXAMPLES) + "/" + e.name + ".asm";
    const std::string object = std::string(ORBEN_EXAMPLES) + "/" + e.object;
    const std::string made = path(e.object);
    ASSERT_EQ(tuka2({"asm", source, "-o", made}), 0) << err.str();
    EXPECT_EQ(ReadFile(made), ReadFile(object)) << e.object;
    const Ran ran = runTuka2("run " + object + " --json --dump-memory --seed 11" + e.run_options);
    EXPECT_EQ(ran.status, 0) << e.object;
    const Json report = Json::parse(ran.out);
    EXPECT_EQ(report["stop"].text, "halt") << e.object;
    for (const auto& [port, word] : e.outputs) {
      EXPECT_EQ(report["outputs"].items.at(port).text, word) << e.object << " port " << port;
    }
    if (std::string(e.name) == "llena") {
      const auto& memory = report["memory"].items;
      for (int address = 0x100; address < 0x110; ++address) {
        EXPECT_EQ(memory.at(address).text, "00AA") << e.object << " at " << address;
      }
      EXPECT_EQ(memory.at(0xFF).text, "1234") << "the words around the block stay as they were";
      EXPECT_EQ(memory.at(0x110).text, "1234") << "the words around the block stay as they were";
    }
  }
}

// What is written is the program that was meant: the listing of the
// assembled file shows each source instruction as it was written, at the
// address its place gives.
TEST_F(AsmCommandTest, ListingOfTheObjectShowsTheSource) {
  const std::vector<std::string> lines = {"LD R1, [RD+H'10]",
                                          "ST [RD+H'FF], R2",
                                          "LLI R3, H'7F",
                                          "LHI R3, H'80",
                                          "IN R4, H'3F",
                                          "OUT H'01, R4",
                                          "ADDS R5, R6, R7",
                                          "SUBS R8, R9, RA",
                                          "NAND RB, RC, RD",
                                          "SHL RE",
                                          "SHR RF",
                                          "SHRA R0",
                                          "BZ",
                                          "CALLV",
                                          "RET",
                                          "HALT"};
  std::string source = "        ORG H'0200\n";
  for (const auto& line : lines) source += "        " + line + "\n";
  const std::string file = write("todas.asm", source);
  for (const char* object : {"todas.ehc", "todas.HEX"}) {
    ASSERT_EQ(tuka2({"asm", file, "-o", path(object)}), 0) << err.str();
    ASSERT_EQ(tuka2({"dis", path(object)}), 0) << err.str();
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::ostringstream address;
      address << std::uppercase << std::hex << (0x200 + i);
      expected.push_back("[0" + address.str() + "]: " + lines[i]);
    }
    std::vector<std::string> listed;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) listed.push_back(line);
    EXPECT_EQ(listed, expected) << object;
  }
}

TEST_F(AsmCommandTest, ObjectFormatsAsWritten) {
  const std::string file = write("p.asm", "  ORG H'12AB\n  LDI R1, H'BEEF ; ¡carga!\n");
  ASSERT_EQ(tuka2({"asm", file}), 0) << err.str();
  EXPECT_EQ(ReadFile(path("p.ehc")),
            "12AB 21EF ; LDI R1, H'BEEF ; ¡carga!\r\n12AC 31BE ; LDI R1, H'BEEF ; ¡carga!\r\n");
  EXPECT_EQ(out.str(), file + ": 2 words to " + path("p.ehc") + ", 1 warning\n");
  ASSERT_EQ(tuka2({"asm", file, "-o", path("p.hex")}), 0) << err.str();
  const std::string hex = ReadFile(path("p.hex"));
  EXPECT_EQ(hex, ":0212AB0021EF31\r\n:0212AC0031BE51\r\n:00000001FF\r\n");
  // Each record's bytes, checksum included, add up to 0 modulo 256.
  std::istringstream records(hex);
  for (std::string record; std::getline(records, record);) {
    unsigned sum = 0;
    for (std::size_t i = 1; i + 1 < record.size(); i += 2) {
      sum += static_cast<unsigned>(std::stoi(record.substr(i, 2), nullptr, 16));
    }
    EXPECT_EQ(sum % 256, 0u) << record;
  }
}

// With any error nothing is written: an existing object file and listing
// stay exactly as they were, and no temporary file is left behind.
TEST_F(AsmCommandTest, AnErrorWritesNothing) {
  const std::string file = write("mal.asm", "bien: HALT\n  LLI R1, nada\n  FOO\n");
  write("mal.ehc", "0000 1234 ; old\n");
  write("mal.lst", "old listing");
  ::chmod(path("mal.ehc").c_str(), 0640);
  EXPECT_EQ(tuka2({"asm", file, "-l", path("mal.lst")}), 1);
  EXPECT_EQ(err.str(), file + ":2:11: error: undefined name 'nada'\n" + file +
                           ":3:3: error: unknown instruction 'FOO' (a label needs ':' after it)\n" +
                           file + ": 2 errors, nothing written\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(ReadFile(path("mal.ehc")), "0000 1234 ; old\n");
  EXPECT_EQ(ReadFile(path("mal.lst")), "old listing");
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"mal.asm", "mal.ehc", "mal.lst"}));
  // Once mended, both are replaced, the object file keeping its permissions.
  write("mal.asm", "bien: HALT\n");
  EXPECT_EQ(tuka2({"asm", file, "-l", path("mal.lst")}), 0) << err.str();
  EXPECT_EQ(ReadFile(path("mal.ehc")), "0000 F000 ; bien: HALT\r\n");
  EXPECT_NE(ReadFile(path("mal.lst")).find("bien            0000  label     line 1"),
            std::string::npos)
      << ReadFile(path("mal.lst"));
  struct stat info {};
  ASSERT_EQ(::stat(path("mal.ehc").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"mal.asm", "mal.ehc", "mal.lst"}));
}

TEST_F(AsmCommandTest, WarningsKeepStatusZero) {
  const std::string file = write("w.asm", "IN R1, H'40\nORG 0\nHALT\n");
  EXPECT_EQ(tuka2({"asm", file}), 0);
  EXPECT_EQ(err.str(), file +
                           ":1:8: warning: port 40 is above 3F: the machine refuses it when the "
                           "instruction runs\n" +
                           file + ":3:1: warning: address 0000 already holds a word of line 1\n");
  EXPECT_NE(out.str().find("2 warnings"), std::string::npos);
}

TEST_F(AsmCommandTest, FilesThatCannotBeUsed) {
  const std::string good = write("g.asm", "HALT\n");
  ASSERT_EQ(::mkfifo(path("tubo.asm").c_str(), 0600), 0);
  fs::create_directories(folder_ / "carpeta.asm");
  write("vacio.asm", "");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* reason;
  } cases[] = {
      {{"asm", good, "-o", path("g.obj")}, 2, "object files must end in .EHC or .HEX"},
      {{"asm", good, "-o", good}, 2, "would replace the source"},
      {{"asm", good, "-l", good}, 2, "would replace the source"},
      {{"asm", good, "-l", path("g.ehc")}, 2, "cannot both be"},
      {{"asm", path("nada.asm")}, 2, "cannot read"},
      {{"asm", path("tubo.asm")}, 2, "Not a regular file"},
      {{"asm", path("carpeta.asm")}, 2, "Is a directory"},
      {{"asm", good, "-o", path("no/such/folder/g.ehc")}, 2, "cannot write"},
      {{"asm", path("vacio.asm")}, 1, "the source is empty"},
      {{"asm"}, 2, "asm needs a SOURCE"},
      {{"asm", good, "--bogus"}, 2, "unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tuka2(c.args), c.status) << c.args.back() << "\n" << err.str();
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
  }
  EXPECT_FALSE(fs::exists(path("g.ehc")));
  // A source named .EHC gets the same name by default: refused, not overwritten.
  const std::string ehc = write("prog.EHC", "HALT\n");
  EXPECT_EQ(tuka2({"asm", ehc}), 2);
  EXPECT_EQ(ReadFile(ehc), "HALT\n");
}

// The object file takes the case of the source's extension; a file of the
// other spelling beside it is named, and left as it was.
TEST_F(AsmCommandTest, DefaultObjectInTheSourcesCase) {
  const std::string lower = write("x.asm", "HALT\n");
  write("x.EHC", "0000 1234 ; old\n");
  ASSERT_EQ(tuka2({"asm", lower}), 0) << err.str();
  EXPECT_EQ(out.str(), lower + ": 1 word to " + path("x.ehc") + "\n");
  EXPECT_EQ(err.str(), path("x.EHC") + " is also here and was not changed\n");
  EXPECT_EQ(ReadFile(path("x.ehc")), "0000 F000 ; HALT\r\n");
  EXPECT_EQ(ReadFile(path("x.EHC")), "0000 1234 ; old\n");

  const std::string upper = write("Y.ASM", "RET\n");
  write("Y.ehc", "old");
  write("y.Ehc", "old");
  ASSERT_EQ(tuka2({"asm", upper}), 0) << err.str();
  EXPECT_EQ(out.str(), upper + ": 1 word to " + path("Y.EHC") + "\n");
  // Every other spelling of the name, each as the folder has it.
  EXPECT_EQ(err.str(), path("Y.ehc") + " is also here and was not changed\n" + path("y.Ehc") +
                           " is also here and was not changed\n");
  EXPECT_EQ(ReadFile(path("Y.EHC")), "0000 E000 ; RET\r\n");

  // Nothing said once the output is named, or when nothing is written.
  ASSERT_EQ(tuka2({"asm", lower, "-o", path("x.ehc")}), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  write("x.asm", "FOO\n");
  EXPECT_EQ(tuka2({"asm", lower}), 1);
  EXPECT_EQ(err.str().find("is also here"), std::string::npos) << err.str();
  // A relative source names the other file as it names its folder.
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  write("z.asm", "HALT\n");
  write("z.EHC", "old");
  const int status = tuka2({"asm", "z.asm"});
  fs::current_path(before);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(err.str(), "z.EHC is also here and was not changed\n");
}

// A source saved as Windows-1252 gives the object file and listing of its
// UTF-8 twin.
TEST_F(AsmCommandTest, WindowsAnsiSourceWritesUtf8) {
  const std::string ansi = write("ansi.asm",
                                 "; \xBF"
                                 "cu\xE1nto?\r\n  LLI R1, 7 ; \x93siete\x94\r\n  HALT\r\n");
  const std::string utf8 = write("utf8.asm", "; ¿cuánto?\r\n  LLI R1, 7 ; “siete”\r\n  HALT\r\n");
  ASSERT_EQ(tuka2({"asm", ansi, "-l", path("ansi.lst")}), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  ASSERT_EQ(tuka2({"asm", utf8, "-l", path("utf8.lst")}), 0) << err.str();
  EXPECT_EQ(ReadFile(path("ansi.ehc")), "0000 2107 ; LLI R1, 7 ; “siete”\r\n0001 F000 ; HALT\r\n");
  EXPECT_EQ(ReadFile(path("ansi.ehc")), ReadFile(path("utf8.ehc")));
  EXPECT_EQ(ReadFile(path("ansi.lst")), ReadFile(path("utf8.lst")));
  EXPECT_NE(ReadFile(path("ansi.lst")).find("; ¿cuánto?"), std::string::npos);
}

// A source of 100 MB (sparse: no disk used) is refused before it is read,
// and one line of 10 MB is read in little more than its size.
TEST_F(AsmCommandTest, HugeSourcesInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's shadow memory counts in the resident size";
#endif
  fs::resize_file(write("enorme.asm", ""), std::uintmax_t{100} << 20);
  Measured measured = runTuka2Measured({"asm", path("enorme.asm")});
  EXPECT_EQ(measured.status, 2);
  EXPECT_LE(measured.peak, 32 << 20) << (measured.peak >> 20) << " MB";

  std::string line = "DW 1";
  while (line.size() < 10'000'000) line += ",1";
  write("larga.asm", line + "\n");
  measured = runTuka2Measured({"asm", path("larga.asm")});
  EXPECT_EQ(measured.status, 1);  // five million words go past FFFF
  EXPECT_LE(measured.peak, 3 * static_cast<long long>(line.size()) + (32 << 20))
      << (measured.peak >> 20) << " MB";
  EXPECT_EQ(tuka2({"asm", path("larga.asm")}), 1);
  EXPECT_EQ(err.str(), path("larga.asm") +
                           ":1:1: warning: a word at F000: the machine refuses to store words at "
                           "F000 and above\n" +
                           path("larga.asm") + ":1:1: error: the program goes past address FFFF\n" +
                           path("larga.asm") + ": 1 error, nothing written\n");
}

}  // namespace
}  // namespace orben::runner
