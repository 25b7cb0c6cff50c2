#include "disasm/listing.h"

#include <gtest/gtest.h>

#include <random>

namespace orben {
namespace {

std::vector<std::string> Lines(const Listing& listing) {
  std::vector<std::string> lines;
  for (int i = 0; i < listing.Count(); ++i) lines.push_back(listing.Line(i));
  return lines;
}

TEST(ListingOrder, CaseIgnoredDigitsBeforeLettersPunctuationFirst) {
  EXPECT_TRUE(Listing::Less("[0002]: HALT", "[0005]: HALT"));
  EXPECT_TRUE(Listing::Less("[0009]: X", "[000A]: X"));
  EXPECT_TRUE(Listing::Less("[00A0]: X", "[00b0]: X"));
  EXPECT_TRUE(Listing::Less("[00a0]: X", "[00B0]: X"));
  EXPECT_FALSE(Listing::Less("abc", "ABC"));
  EXPECT_FALSE(Listing::Less("ABC", "abc"));
  EXPECT_TRUE(Listing::Less("9", "a"));
  EXPECT_TRUE(Listing::Less(" ", "0"));
  EXPECT_TRUE(Listing::Less("[0010]", "[0010]: X"));
}

TEST(ListingSorted, InsertsAtTheSortedPlaceAndResortsWhenSwitchedOn) {
  Listing listing;
  listing.Add("[0005]: HALT");
  listing.Add("[0002]: RET");
  EXPECT_EQ(Lines(listing), (std::vector<std::string>{"[0005]: HALT", "[0002]: RET"}));
  listing.Select(0);
  listing.SetSorted(true);
  EXPECT_EQ(Lines(listing), (std::vector<std::string>{"[0002]: RET", "[0005]: HALT"}));
  EXPECT_EQ(listing.Selected(), 1);  // the selection stays on its line
  listing.Add("[0003]: BR");
  listing.Add("[000A]: BR");
  EXPECT_EQ(listing.Line(1), "[0003]: BR");
  EXPECT_EQ(listing.Line(3), "[000A]: BR");
  EXPECT_EQ(listing.Selected(), 2);
  listing.SetSorted(false);
  listing.Add("[0001]: BR");
  EXPECT_EQ(listing.Line(4), "[0001]: BR");
}

TEST(ListingEdit, RemovingAroundTheSelectionKeepsItOnItsLine) {
  Listing listing;
  for (const char* l : {"[0000]: A", "[0001]: B", "[0002]: C"}) listing.Add(l);
  listing.Select(2);
  listing.Remove(0);
  EXPECT_EQ(listing.Selected(), 1);
  listing.Remove(1);
  EXPECT_EQ(listing.Selected(), -1);
  listing.Remove(7);  // outside: nothing
  EXPECT_EQ(listing.Count(), 1);
  listing.Select(5);
  EXPECT_EQ(listing.Selected(), -1);
}

// The indexed selection must give the same answer as the plain search for
// "[" + PC + "]": the last matching line, the selection kept when none.
TEST(ListingSelectAddress, AgreesWithThePlainSearch) {
  std::mt19937 random(7);
  Listing listing;
  for (int i = 0; i < 300; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "[%04X]: LD R0, [RD+H'%02X]", static_cast<int>(random() % 64),
                  static_cast<int>(random() % 256));
    listing.Add(line);
  }
  listing.Add("junk [00] [0001 [0002] in the middle");
  for (int round = 0; round < 400; ++round) {
    if (round % 50 == 25) listing.Remove(static_cast<int>(random() % listing.Count()));
    if (round == 200) listing.SetSorted(true);
    char pc[5];
    std::snprintf(pc, sizeof pc, "%04X", static_cast<int>(random() % 80));
    const int before = listing.Selected();
    const int expected = listing.FindLast(std::string("[") + pc + "]");
    listing.SelectAddress(pc);
    EXPECT_EQ(listing.Selected(), expected >= 0 ? expected : before) << pc;
  }
  listing.Select(3);
  for (const char* odd : {"", "****", "00a0"}) {
    listing.SelectAddress(odd);
    EXPECT_EQ(listing.Selected(), 3) << odd;
  }
}

TEST(ListingSelectAddress, DuplicateAddressesSelectTheLastLine) {
  Listing listing;
  for (const char* l : {"[0010]: LLI R1, H'05", "[0011]: HALT", "[0010]: RET"}) listing.Add(l);
  listing.SelectAddress("0010");
  EXPECT_EQ(listing.Selected(), 2);
  listing.SelectAddress("0012");
  EXPECT_EQ(listing.Selected(), 2);
  listing.Replace(2, "[0013]: RET");
  listing.SelectAddress("0010");
  EXPECT_EQ(listing.Selected(), 0);
}

class CountingObserver : public ListingObserver {
 public:
  std::vector<std::string> events;
  void ListingCleared() override { events.push_back("cleared"); }
  void ListingReset() override { events.push_back("reset"); }
  void LineInserted(int i) override { events.push_back("insert " + std::to_string(i)); }
  void LineRemoved(int i) override { events.push_back("remove " + std::to_string(i)); }
  void LineChanged(int i) override { events.push_back("change " + std::to_string(i)); }
  void SelectionChanged(int p, int c) override {
    events.push_back("select " + std::to_string(p) + ">" + std::to_string(c));
  }
};

TEST(ListingObservers, SeeEveryChangeOnce) {
  Listing listing;
  CountingObserver seen;
  listing.AddObserver(&seen);
  listing.Add("[0001]: B");
  listing.Add("[0000]: A");
  listing.SelectAddress("0000");
  listing.SelectAddress("0000");  // already selected: nothing
  listing.SetSorted(true);
  listing.Replace(0, "[0000]: C");
  listing.Remove(1);
  listing.Clear();
  EXPECT_EQ(seen.events, (std::vector<std::string>{"insert 0", "insert 1", "select -1>1", "reset",
                                                   "change 0", "remove 1", "cleared"}));
  listing.RemoveObserver(&seen);
}

}  // namespace
}  // namespace orben
