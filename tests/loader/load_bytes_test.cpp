// A load from bytes already in memory, as the browser edition loads a
// chosen file: the same result as the file on disk, the extension rule
// before the size limit, and a larger file refused unread.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "loader_support.h"

namespace orben::testing {
namespace {

constexpr std::string_view kProgram = "0000 2105 ; LLI\r\n0001 2203\r\nbasura\r\n0004 F000\r\n";

TEST(LoadBytes, GivesWhatTheSameFileOnDiskGives) {
  const auto path = std::filesystem::temp_directory_path() / "orben_load_bytes.EHC";
  std::ofstream(path, std::ios::binary) << kProgram;
  LoaderBench from_disk;
  LoaderBench from_memory;
  EXPECT_EQ(from_disk.machine.memory().size(), from_memory.machine.memory().size());
  const LoadOutcome disk =
      LoadCommand(from_disk.machine, from_disk.listing).loadFile(path.string());
  const LoadOutcome memory =
      LoadCommand(from_memory.machine, from_memory.listing).loadBytes(path.string(), kProgram);
  std::filesystem::remove(path);
  EXPECT_EQ(disk, LoadOutcome::FormatError);
  EXPECT_EQ(memory, disk);
  EXPECT_EQ(from_memory.listed(), from_disk.listed());
  EXPECT_EQ(from_memory.memory(), from_disk.memory());
  EXPECT_EQ(from_memory.ui.messages, from_disk.ui.messages);
  EXPECT_EQ(from_memory.ui.messages.size(), 1u);
}

TEST(LoadBytes, TheExtensionRuleThenTheSizeLimit) {
  const std::string over(kLargestObjectInMemory + 1, '0');
  struct Case {
    std::string name;
    std::string_view bytes;
    LoadOutcome outcome;
    std::size_t messages;
    std::size_t file_errors;
  };
  const Case cases[] = {
      {"programa.txt", kProgram, LoadOutcome::BadExtension, 1, 0},
      {"grande.txt", over, LoadOutcome::BadExtension, 1, 0},  // the name is judged first
      {"grande.EHC", over, LoadOutcome::FileError, 0, 1},
      {"corto.ehc", "0010 2105\r\n", LoadOutcome::Loaded, 0, 0},
  };
  for (const Case& c : cases) {
    LoaderBench bench;
    const auto before = bench.memory();
    EXPECT_EQ(LoadCommand(bench.machine, bench.listing).loadBytes(c.name, c.bytes), c.outcome)
        << c.name;
    EXPECT_EQ(bench.ui.messages.size(), c.messages) << c.name;
    ASSERT_EQ(bench.ui.file_errors.size(), c.file_errors) << c.name;
    if (c.outcome != LoadOutcome::Loaded) {
      EXPECT_EQ(bench.memory(), before) << c.name;
      EXPECT_TRUE(bench.listed().empty()) << c.name;
    }
    if (c.file_errors > 0) {
      EXPECT_EQ(bench.ui.file_errors[0],
                c.name + "|larger than 64 MiB: no TUKA-2 object file needs that much");
    }
  }
}

TEST(LoadBytes, TheFileErrorBoxInSpanish) {
  EXPECT_EQ(fileErrorMessage("a.ehc", "larger than 64 MiB: no TUKA-2 object file needs that much"),
            "Error de entrada/salida: a.ehc\rocupa más de 64 MiB: ningún programa objeto de "
            "TUKA-2 necesita tanto");
  // A reason the catalog does not know stays as it is.
  EXPECT_EQ(fileErrorMessage("b.hex", "No such file"),
            "Error de entrada/salida: b.hex\rNo such file");
}

}  // namespace
}  // namespace orben::testing
