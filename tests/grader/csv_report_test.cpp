#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <streambuf>

#include "grader/csv_report.h"
#include "grader/grading_folder.h"
#include "grader/sheet_reader.h"
#include "runner/test_command.h"

namespace orben::grader {
namespace {

namespace fs = std::filesystem;

// This process's working folder for as long as it lives: the programs are
// named on the command line as a teacher in that folder names them.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : before_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~InFolder() { fs::current_path(before_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path before_;
};

constexpr const char* kCases = R"toml(
title = "Doble"
scale = 10
[[case]]
name = "doble, de 21"
points = 2
inputs = { "02" = "0015" }
expect.outputs = { "01" = "002A" }
[[case]]
name = 'cero "Z"'
points = 2
partial = true
inputs = { "02" = "0000" }
expect.outputs = { "01" = "0000" }
expect.flags = { Z = 1 }
[[case]]
name = "11/11"
hidden = true
inputs = { "02" = "0100" }
expect.outputs = { "01" = "0200" }
[[case]]
name = "=1+1"
points = 3
inputs = { "02" = "7FFF" }
expect.outputs = { "01" = "FFFE" }
)toml";

// The doubling, right; then Z cleared by adding 1 to 0.
constexpr const char* kDoubles = "IN R1, H'02\nADDS R2, R1, R1\nOUT H'01, R2\nHALT\n";
constexpr const char* kDoublesThenClearsZ =
    "IN R1, H'02\nADDS R2, R1, R1\nOUT H'01, R2\nLLI R3, 1\nADDS R3, R3, R0\nHALT\n";
constexpr const char* kEchoesThenClearsZ =
    "IN R1, H'02\nOUT H'01, R1\nLLI R3, 1\nADDS R3, R3, R0\nHALT\n";

struct Row {
  const char* program;
  const char* source;
  // Each case's points as the cases' words give them: a partial case its
  // share of the expectations that held (the stop, the port, the flag).
  std::vector<double> points;
  int passed;
  const char* copies;  // the last column: the programs loading the same words
};

const std::vector<Row>& Class() {
  static const std::vector<Row> rows = {
      {"José Pérez Núñez.asm", kDoubles, {2, 2, 1, 3}, 4, "same as copia.asm"},
      {"a, \"b\".asm", kDoublesThenClearsZ, {2, 2.0 * 2 / 3, 1, 3}, 3, ""},
      {"=1+1", kEchoesThenClearsZ, {0, 2.0 * 2 / 3, 0, 0}, 0, ""},
      {"11/11", "FOO\n", {0, 0, 0, 0}, 0, ""},
      {"copia.asm", kDoubles, {2, 2, 1, 3}, 4, "same as José Pérez Núñez.asm"},
  };
  return rows;
}

double Hundredths(double value) {
  return std::round(value * 100) / 100;
}

TEST_F(GradingTest, TheGradeSheetReadsBackCellByCellInGnumeric) {
  if (!HaveSsconvert()) GTEST_SKIP() << "no ssconvert (Debian package gnumeric)";
  write("casos.toml", kCases);
  std::vector<std::string> args = {"casos.toml"};
  for (const Row& row : Class()) {
    write(row.program, row.source);
    args.emplace_back(row.program);
  }
  args.insert(args.end(), {"--csv", "notas.csv", "-j", "2"});
  {
    const InFolder here(folder_);
    std::ostringstream out, err;
    EXPECT_EQ(runner::testCommandLine(args, out, err), 1) << err.str();
  }
  const std::string bytes = read((folder_ / "notas.csv").string());
  // UTF-8 with its mark, every line ended by CR LF, none ending the file
  // short.
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::size_t lines = 0;
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    EXPECT_EQ(bytes[at - 1], '\r') << "a line ends with LF alone at byte " << at;
    ++lines;
  }
  EXPECT_EQ(lines, Class().size() + 1);

  const auto sheet = ReadBack(folder_ / "notas.csv");
  ASSERT_TRUE(sheet.has_value()) << "ssconvert could not read the sheet";
  const auto text = [&](int row, int column, const std::string& expected) {
    const auto found = sheet->find({row, column});
    ASSERT_NE(found, sheet->end()) << row << "," << column;
    EXPECT_EQ(found->second.type, CellType::Text)
        << row << "," << column << " " << found->second.value;
    EXPECT_EQ(found->second.value, expected) << row << "," << column;
  };
  const auto number = [&](int row, int column, double expected) {
    const auto found = sheet->find({row, column});
    ASSERT_NE(found, sheet->end()) << row << "," << column;
    EXPECT_EQ(found->second.type, CellType::Number)
        << row << "," << column << " " << found->second.value;
    EXPECT_DOUBLE_EQ(std::stod(found->second.value), expected) << row << "," << column;
  };
  const std::vector<std::string> header = {"program", "points",       "max_points", "passed_cases",
                                           "cases",   "doble, de 21", "cero \"Z\"", "11/11",
                                           "=1+1",    "grade",        "copies"};
  for (std::size_t c = 0; c < header.size(); ++c) text(0, static_cast<int>(c), header[c]);
  EXPECT_EQ(sheet->count({0, static_cast<int>(header.size())}), 0u);
  constexpr int kMaxPoints = 2 + 2 + 1 + 3;
  for (std::size_t r = 0; r < Class().size(); ++r) {
    const Row& row = Class()[r];
    const int at = static_cast<int>(r) + 1;
    double total = 0;
    for (double points : row.points) total += points;
    text(at, 0, row.program);
    number(at, 1, Hundredths(total));
    number(at, 2, kMaxPoints);
    number(at, 3, row.passed);
    number(at, 4, 4);
    for (std::size_t c = 0; c < row.points.size(); ++c) {
      number(at, 5 + static_cast<int>(c), Hundredths(row.points[c]));
    }
    number(at, 9, Hundredths(total / kMaxPoints * 10));
    if (*row.copies == '\0') {
      EXPECT_EQ(sheet->count({at, 10}), 0u) << row.program;
    } else {
      text(at, 10, row.copies);
    }
  }
}

// Names a spreadsheet would take for a formula, a number, a date, a time, a
// truth value or an error come back as the text they are; other names are
// written as they are, so that LibreOffice shows them without a mark.
// ("5 " is left out: Gnumeric may trim the blanks after a number's text.)
TEST(GradeSheet, EveryNameStaysTextAsWritten) {
  if (!HaveSsconvert()) GTEST_SKIP() << "no ssconvert (Debian package gnumeric)";
  const std::vector<std::string> tricky = {
      "11/11", "1/2",   "2026-01-01", "nov 11", "Nov-2020", "mayo 3", "3:45", "3:45 PM",
      "TRUE",  "false", "#N/A",       "(5)",    "$5",       "5%",     "1e3",  ".5",
      "1,000", " 5",    "\t5",        "€5",     "١٢",       "=1+1",   "+x",   "-x",
      "@x",    "'x",    "5-",         "a\nb",   "\"q\"",    "15 nov", "3 pm", "2026-01-01 3:45"};
  const std::vector<std::string> plain = {"ana.asm", "José Pérez Núñez.asm", "N = 10", "caso 1",
                                          "Friday",  "entregas/luis.s",      "jan",    "./ana.asm",
                                          "ñu.asm",  "15H da 2AH",           "1a.asm", "2 casos"};
  for (const std::string& name : plain) EXPECT_EQ(CsvText(name), name);
  std::vector<ProgramResult> results;
  for (const auto* names : {&tricky, &plain}) {
    for (const std::string& name : *names) {
      ProgramResult result;
      result.program = name;
      results.push_back(result);
    }
  }
  // The extra column, as the copies' column will be, with the names in
  // the opposite order.
  const std::vector<SheetColumn> extra = {
      {"= copias", [&](std::size_t i) { return results[results.size() - 1 - i].program; }}};
  const fs::path csv = fs::temp_directory_path() / ("tuka2-names-" + std::to_string(::getpid()));
  {
    std::ofstream out(csv, std::ios::binary);
    WriteCsv(CaseFile{}, results, out, extra);
  }
  const auto sheet = ReadBack(csv);
  for (const char* extension : {"", ".gnumeric", ".xml"}) {
    fs::path made = csv;
    fs::remove(made += extension);
  }
  ASSERT_TRUE(sheet.has_value());
  const auto expect_text = [&](int row, int column, const std::string& expected) {
    const auto found = sheet->find({row, column});
    ASSERT_NE(found, sheet->end()) << expected;
    EXPECT_EQ(found->second.type, CellType::Text) << expected << " read as " << found->second.value;
    EXPECT_EQ(found->second.value, expected) << "written as " << CsvText(expected);
  };
  expect_text(0, 5, "= copias");
  for (std::size_t i = 0; i < results.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    expect_text(row, 0, results[i].program);
    expect_text(row, 5, results[results.size() - 1 - i].program);
    const auto points = sheet->find({row, 1});
    ASSERT_NE(points, sheet->end());
    EXPECT_EQ(points->second.type, CellType::Number);
  }
}

// A stream that asks for the interrupt once the first program is graded,
// as its progress line shows.
class InterruptAtFirstProgress : public std::stringbuf {
 public:
  explicit InterruptAtFirstProgress(std::atomic<bool>& flag) : flag_(flag) {}

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (std::string_view(text, static_cast<std::size_t>(count)).find("1/") != std::string::npos) {
      flag_.store(true);
    }
    return std::stringbuf::xsputn(text, count);
  }

 private:
  std::atomic<bool>& flag_;
};

TEST_F(GradingTest, AnInterruptedRunSheetsAndFeedsBackTheProgramsGraded) {
  const std::string cases = write("casos.toml", kCases);
  const std::string first = write("primero.asm", kDoubles);
  const std::string second = write("segundo.asm", kDoubles);
  const std::string third = write("tercero.asm", kDoubles);
  const std::string csv = (folder_ / "notas.csv").string();
  const std::string feedback = (folder_ / "fb").string();
  std::atomic<bool> interrupted{false};
  InterruptAtFirstProgress progress(interrupted);
  std::ostream err(&progress);
  std::ostringstream out;
  const int status = runner::testCommandLine(
      {cases, first, second, third, "-j", "1", "--csv", csv, "--feedback", feedback}, out, err,
      {true, &interrupted});
  EXPECT_EQ(status, 130) << progress.str();
  EXPECT_NE(progress.str().find("2 programs left ungraded"), std::string::npos) << progress.str();
  const std::string sheet = read(csv);
  // No copies among those graded: its last cell is empty.
  EXPECT_NE(sheet.find("\r\n" + first + ",8,8,4,4,2,2,1,3,10,\r\n"), std::string::npos) << sheet;
  EXPECT_EQ(sheet.find(second), std::string::npos) << sheet;
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(feedback)) {
    written.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(written, std::vector<std::string>{"primero.asm.txt"});
}

}  // namespace
}  // namespace orben::grader
