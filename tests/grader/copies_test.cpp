#include "grader/copies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "grader/grading_folder.h"
#include "grader/program.h"
#include "runner/test_command.h"

namespace orben::grader {
namespace {

using runner::testCommandLine;

// A source of data words only, each "ORG H'address" then "DW H'word".
std::string DwSource(const std::vector<LoadedWord>& words) {
  std::ostringstream source;
  for (const auto& [address, word] : words) {
    source << std::hex << std::uppercase << "  ORG H'" << address << "\n  DW H'" << word << '\n';
  }
  return source.str();
}

// `count` words from `address`, the first being `first` and each next one
// more.
std::vector<LoadedWord> Consecutive(std::uint16_t address, std::uint16_t first, int count) {
  std::vector<LoadedWord> words;
  for (int i = 0; i < count; ++i) {
    words.emplace_back(static_cast<std::uint16_t>(address + i),
                       static_cast<std::uint16_t>(first + i));
  }
  return words;
}

// The words an object file says it loads, read from its "AAAA WWWW" lines.
std::vector<LoadedWord> EhcWords(const std::string& path) {
  std::ifstream in(path);
  std::vector<LoadedWord> words;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 9) continue;
    words.emplace_back(static_cast<std::uint16_t>(std::stoul(line.substr(0, 4), nullptr, 16)),
                       static_cast<std::uint16_t>(std::stoul(line.substr(5, 4), nullptr, 16)));
  }
  return words;
}

ProgramResult Loaded(const std::string& path) {
  Program program = PrepareProgram(path);
  ProgramResult result;
  result.program = path;
  result.trouble = program.trouble;
  result.words = std::move(program.words);
  return result;
}

class CopiesTest : public GradingTest {
 protected:
  // A class whose agreements are worked out by hand: a 39-word program A;
  // B, A with two words changed (37 of 39: 94.87 %); C, A with a word
  // more (39 of 40: 97.5 %; with B 37 of 40: 92.5 %); D, A one address
  // up (no address agrees); E, 20 other words elsewhere; F, E with one
  // word changed (19 of 20: 95 %); G, E written again another way.
  std::vector<std::string> byHand() {
    auto a = Consecutive(0, 0x1000, 39);
    auto b = a;
    b[10].second = 0x2010;
    b[20].second = 0x2020;
    auto c = a;
    c.emplace_back(39, 0x1027);
    auto e = Consecutive(0x0100, 0x3000, 20);
    auto f = e;
    f[7].second = 0x0007;
    auto g = e;
    std::reverse(g.begin(), g.end());
    return {write("a.asm", DwSource(a)), write("b.asm", DwSource(b)),
            write("c.asm", DwSource(c)), write("d.asm", DwSource(Consecutive(1, 0x1000, 39))),
            write("e.asm", DwSource(e)), write("f.asm", DwSource(f)),
            write("g.asm", DwSource(g))};
  }
};

TEST_F(CopiesTest, PairsAtOrAboveTheAgreementAskedFor) {
  std::vector<ProgramResult> results;
  for (const auto& path : byHand()) results.push_back(Loaded(path));
  ASSERT_EQ(results[0].words.size(), 39u);
  constexpr std::size_t A = 0, B = 1, C = 2, E = 4, F = 5, G = 6;
  const struct {
    int at;
    std::vector<SimilarPair> pairs;
  } rows[] = {
      {1, {{A, C, 97}, {E, F, 95}, {F, G, 95}, {A, B, 94}, {B, C, 92}}},
      {90, {{A, C, 97}, {E, F, 95}, {F, G, 95}, {A, B, 94}, {B, C, 92}}},
      {93, {{A, C, 97}, {E, F, 95}, {F, G, 95}, {A, B, 94}}},
      // 94.87 % is shown as 94 and is not 95 % or more.
      {95, {{A, C, 97}, {E, F, 95}, {F, G, 95}}},
      {96, {{A, C, 97}}},
      {97, {{A, C, 97}}},
      {98, {}},
      {100, {}},
  };
  for (const auto& row : rows) {
    const Copies copies = findCopies(results, row.at);
    EXPECT_EQ(copies.similar_at, row.at);
    EXPECT_EQ(copies.similar, row.pairs) << "--similar " << row.at;
    // E and G are one identical group, never a pair.
    EXPECT_EQ(copies.identical, (std::vector<std::vector<std::size_t>>{{E, G}}));
  }
  const Copies identical_only = findCopies(results, std::nullopt);
  EXPECT_TRUE(identical_only.similar.empty());
  EXPECT_FALSE(identical_only.similar_at.has_value());
  EXPECT_EQ(identical_only.identical.size(), 1u);
}

// What a spreadsheet's column says of each program.
TEST(Copies, OneProgramsCopiesInAFewCharacters) {
  std::vector<ProgramResult> results(5);
  const char* names[] = {"a.asm", "b.asm", "c.asm", "d.ehc", "e.asm"};
  for (std::size_t i = 0; i < results.size(); ++i) results[i].program = names[i];
  results[0].words = Consecutive(0, 0x1000, 25);
  results[1].words = results[0].words;
  results[1].words[3].second = 0;  // 24 of 25
  results[2].words = Consecutive(0x200, 1, 5);
  results[3].words = results[0].words;
  results[4].words = Consecutive(0x300, 1, 5);
  const Copies copies = findCopies(results, 90);
  EXPECT_EQ(copiesOf(copies, results, 0), "same as d.ehc; 96 % like b.asm");
  EXPECT_EQ(copiesOf(copies, results, 1), "96 % like a.asm; 96 % like d.ehc");
  EXPECT_EQ(copiesOf(copies, results, 3), "same as a.asm; 96 % like b.asm");
  EXPECT_EQ(copiesOf(copies, results, 2), "");
  EXPECT_EQ(copiesOf(copies, results, 4), "");
}

// Against a second computation over every pair, on loads drawn at random
// from a few originals: each copied whole, partly changed, cut or grown.
TEST(Copies, AgreeWithEveryPairComparedWordByWord) {
  std::mt19937 random(2024);
  std::vector<ProgramResult> results;
  for (int i = 0; i < 60; ++i) {
    ProgramResult result;
    result.program = std::string("p").append(std::to_string(i));
    std::map<std::uint16_t, std::uint16_t> words;
    const auto original = static_cast<unsigned>(random() % 3);
    const int size = 20 + static_cast<int>(random() % 30);
    for (int k = 0; k < size; ++k) {
      words[static_cast<std::uint16_t>(k + original * 8)] =
          static_cast<std::uint16_t>(k * 7 + original);
    }
    switch (random() % 4) {
      case 0:
        break;  // a copy
      case 1:
        for (int k = 0; k < 3; ++k)
          words[static_cast<std::uint16_t>(random() % 60)] =
              static_cast<std::uint16_t>(random() % 4);
        break;
      case 2:
        words.erase(std::prev(words.end()));
        break;
      default:
        words[0x100] = 1;
        break;
    }
    result.words.assign(words.begin(), words.end());
    if (i % 17 == 5) result.trouble = Trouble::NotAssembled, result.words.clear();
    if (i % 19 == 7) result.words.clear();
    results.push_back(std::move(result));
  }
  for (const int at : {1, 50, 80, 95}) {
    std::vector<std::vector<std::size_t>> identical;
    std::vector<SimilarPair> similar;
    std::vector<bool> grouped(results.size(), false);
    for (std::size_t a = 0; a < results.size(); ++a) {
      if (results[a].words.empty() || grouped[a]) continue;
      std::vector<std::size_t> group{a};
      for (std::size_t b = a + 1; b < results.size(); ++b) {
        if (results[b].words == results[a].words) group.push_back(b), grouped[b] = true;
      }
      if (group.size() > 1) identical.push_back(group);
    }
    for (std::size_t a = 0; a < results.size(); ++a) {
      for (std::size_t b = a + 1; b < results.size(); ++b) {
        if (results[a].words.empty() || results[b].words.empty()) continue;
        if (results[a].words == results[b].words) continue;
        std::map<std::uint16_t, std::uint16_t> x(results[a].words.begin(), results[a].words.end());
        std::map<std::uint16_t, std::uint16_t> y(results[b].words.begin(), results[b].words.end());
        std::size_t agree = 0, either = x.size();
        for (const auto& [address, word] : y) {
          const auto there = x.find(address);
          if (there == x.end()) ++either;
          if (there != x.end() && there->second == word) ++agree;
        }
        const double percent = 100.0 * static_cast<double>(agree) / static_cast<double>(either);
        if (percent >= at) similar.push_back({a, b, static_cast<int>(percent)});
      }
    }
    std::stable_sort(
        similar.begin(), similar.end(),
        [](const SimilarPair& l, const SimilarPair& r) { return l.percent > r.percent; });
    const Copies copies = findCopies(results, at);
    EXPECT_EQ(copies.identical, identical) << at;
    EXPECT_EQ(copies.similar, similar) << at;
    EXPECT_FALSE(identical.empty());
    EXPECT_FALSE(similar.empty());
  }
}

// tuka2 test on a class: an assembled program, its object file handed in
// and a hand copy of its words in DW are one group; programs that cannot
// be read or assembled, however alike, are in none.
TEST_F(CopiesTest, TheReportsNameTheCopies) {
  const std::string examples(ORBEN_EXAMPLES);
  const std::string cases = write("c.toml", "[[case]]\nexpect.outputs = { \"01\" = \"0008\" }\n");
  const std::string source = write("ana.asm", [&] {
    std::ifstream in(examples + "/suma.asm");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }());
  const std::string object = write("sara.ehc", [&] {
    std::ifstream in(examples + "/suma.ehc");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }());
  auto words = EhcWords(object);
  ASSERT_EQ(words.size(), 5u);
  std::reverse(words.begin(), words.end());  // another order, the same load
  const std::string by_hand = write("luis.asm", DwSource(words));
  const std::string other = examples + "/doble_entrada.asm";
  const std::string broken1 = write("rota1.asm", "  FOO\n");
  const std::string broken2 = write("rota2.asm", "  FOO\n");
  const std::string missing = (folder_ / "falta.ehc").string();
  const std::vector<std::string> hand = byHand();
  const std::string &e = hand[4], &f = hand[5], &g = hand[6];
  std::vector<std::string> args = {cases,   source,  other,   object, broken1, by_hand,
                                   broken2, missing, missing, e,      f,       g};
  std::ostringstream out, err;
  EXPECT_EQ(testCommandLine(args, out, err), 1) << err.str();
  const std::string text = out.str();
  const std::string identical = "\nIdentical programs\n  " + source + " = " + object + " = " +
                                by_hand + "\n  " + e + " = " + g + "\n";
  EXPECT_NE(text.find("\nProgram "), std::string::npos);
  ASSERT_GE(text.size(), identical.size());
  EXPECT_EQ(text.substr(text.size() - identical.size()), identical) << text;
  EXPECT_EQ(text.find("Similar programs"), std::string::npos);

  args.insert(args.end(), {"--similar", "90"});
  std::ostringstream similar_out, similar_err;
  EXPECT_EQ(testCommandLine(args, similar_out, similar_err), 1);
  const std::string similar = "\nSimilar programs (90 % or more)\n  95 %  " + e + " ~ " + f +
                              "\n  95 %  " + f + " ~ " + g + "\n";
  EXPECT_NE(similar_out.str().find(identical + similar), std::string::npos) << similar_out.str();
  EXPECT_EQ(similar_out.str().substr(similar_out.str().size() - similar.size()), similar);

  args.push_back("--json");
  std::ostringstream json_out, json_err;
  EXPECT_EQ(testCommandLine(args, json_out, json_err), 1);
  const auto json = nlohmann::json::parse(json_out.str());
  EXPECT_EQ(json["copies"]["identical"], nlohmann::json({{source, object, by_hand}, {e, g}}));
  EXPECT_EQ(json["copies"]["similar"],
            nlohmann::json::parse("[{\"programs\":[\"" + e + "\",\"" + f +
                                  "\"],\"percent\":95},{\"programs\":[\"" + f + "\",\"" + g +
                                  "\"],\"percent\":95}]"));

  // Alone, or among programs that share nothing, a program has no copies
  // to show.
  for (const std::vector<std::string>& programs :
       {std::vector<std::string>{source},
        std::vector<std::string>{source, other, broken1, broken2}}) {
    std::vector<std::string> few = {cases};
    few.insert(few.end(), programs.begin(), programs.end());
    few.insert(few.end(), {"--similar", "1"});
    std::ostringstream few_out, few_err;
    testCommandLine(few, few_out, few_err);
    EXPECT_EQ(few_out.str().find("Identical"), std::string::npos) << few_out.str();
    EXPECT_EQ(few_out.str().find("Similar"), std::string::npos) << few_out.str();
    few.push_back("--json");
    std::ostringstream few_json, few_json_err;
    testCommandLine(few, few_json, few_json_err);
    const auto parsed = nlohmann::json::parse(few_json.str());
    if (programs.size() == 1) {
      EXPECT_FALSE(parsed.contains("copies"));
    } else {
      EXPECT_EQ(parsed["copies"], nlohmann::json::parse(R"({"identical":[],"similar":[]})"));
    }
  }
}

TEST_F(CopiesTest, HeadingsInSpanish) {
  const std::vector<std::string> hand = byHand();
  const std::string cases =
      write("c.toml", "[[case]]\nmax_steps = 1\nexpect.stop = \"max-steps\"\n");
  const Language before = currentLanguage();
  setLanguage(Language::Spanish);
  std::ostringstream out, err;
  testCommandLine({cases, hand[4], hand[5], hand[6], "--similar", "90"}, out, err);
  setLanguage(before);
  EXPECT_NE(out.str().find("\nProgramas idénticos\n  " + hand[4] + " = " + hand[6] +
                           "\n\nProgramas parecidos (90 % o más)\n  95 %  " + hand[4] + " ~ " +
                           hand[5] + "\n"),
            std::string::npos)
      << out.str();
}

TEST_F(CopiesTest, SimilarTakesAWholePercentageFrom1To100) {
  const std::string cases = write("c.toml", "[[case]]\nexpect.stop = \"halt\"\n");
  const std::string program = write("p.asm", "HALT\n");
  for (const char* wrong : {"0", "101", "-5", "9.5", "abc", "", "1000"}) {
    std::ostringstream out, err;
    EXPECT_EQ(testCommandLine({cases, program, "--similar", wrong}, out, err), 2) << wrong;
    EXPECT_NE(err.str().find("--similar takes a whole percentage from 1 to 100, not '" +
                             std::string(wrong) + "'"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(out.str(), "");
  }
  for (const char* right : {"1", "100", "050"}) {
    std::ostringstream out, err;
    EXPECT_EQ(testCommandLine({cases, program, "--similar", right}, out, err), 0) << err.str();
  }
}

}  // namespace
}  // namespace orben::grader
