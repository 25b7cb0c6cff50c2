// The seven-segment geometry both front ends draw from: where cells lie,
// which segments a value lights, and what the walk draws for blanks,
// points, colons and characters it ignores.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/segment_display.h"

namespace orben::segments {
namespace {

struct Drawn {
  Polygon polygon;
  Light light;
};

std::vector<Drawn> walk(int width, int height, int digits, std::string_view value,
                        Alignment alignment = Alignment::Right, bool zeros = false) {
  std::vector<Drawn> drawn;
  forEachSegment(width, height, digits, alignment, zeros, value, [&](const Polygon& p, Light l) {
    drawn.push_back({p, l});
  });
  return drawn;
}

std::string lights(const std::vector<Drawn>& drawn) {
  std::string text;
  for (const Drawn& d : drawn) text += d.light == Light::On ? '1' : '0';
  return text;
}

TEST(SegmentDisplay, CellsOfAPanelDisplay) {
  // 67 by 26, four digits: margins int(1.34) = 1 and int(3.12) = 3 pixels,
  // cells (67 - 1) / 4 = 16 wide, starting at 0 and 1.
  const CellLayout layout = cellLayout(67, 26, 4);
  EXPECT_EQ(layout.left, 0);
  EXPECT_EQ(layout.width, 16);
  EXPECT_EQ(layout.geometry.y0, 1);
  // The top segment's third point (24, 0): 24 * 16 / 28 = 13.71, 0 * 23 / 35.
  EXPECT_EQ(layout.geometry.map(0, kDesign[0])[2], (Point{13, 1}));
  // The bottom segment's first point (24, 34) in the second cell: 16 + 13, 1 + 22.34.
  EXPECT_EQ(layout.geometry.map(16, kDesign[3])[0], (Point{29, 23}));
}

TEST(SegmentDisplay, EachDigitLightsItsSegments) {
  struct Case {
    std::string_view value;
    std::string_view lit;  // a..g
  };
  for (const Case& c : {Case{"0", "1111110"}, Case{"1", "0110000"}, Case{"8", "1111111"},
                        Case{"A", "1110111"}, Case{"b", "0011111"}, Case{"F", "1000111"}}) {
    EXPECT_EQ(lights(walk(67, 26, 1, c.value)), c.lit) << c.value;
  }
}

TEST(SegmentDisplay, TheWalkOverBlanksPointsAndOtherCharacters) {
  struct Case {
    std::string_view value;
    Alignment alignment;
    bool zeros;
    std::size_t segments;
    int first_x;  // where the first polygon's first point lies
  };
  const int cw = 16;
  const Case cases[] = {
      {"****", Alignment::Right, false, 0, 0},  // asterisks: nothing, no advance
      {"1234", Alignment::Right, false, 28, 9 * cw / 28},
      {"1", Alignment::Right, false, 7, 3 * cw + 9 * cw / 28},  // three blank cells first
      {"1", Alignment::Left, false, 7, 9 * cw / 28},
      {"1", Alignment::Centre, false, 7, cw + 9 * cw / 28},  // (4 - 1) / 2 blanks
      {"1", Alignment::Right, true, 28, 9 * cw / 28},        // zeros instead of blanks
      {"12345", Alignment::Right, false, 28, 9 * cw / 28},   // the fifth digit is not drawn
  };
  for (const Case& c : cases) {
    const auto drawn = walk(67, 26, 4, c.value, c.alignment, c.zeros);
    ASSERT_EQ(drawn.size(), c.segments) << c.value;
    if (!drawn.empty()) {
      EXPECT_EQ(drawn.front().polygon[0].x, c.first_x) << c.value;
    }
  }
  // A point lights the decimal point of the cell at hand, a colon its two
  // dots, upper first; both are lit whatever the digits.
  const auto point = walk(67, 26, 4, "12.3");
  ASSERT_EQ(point.size(), 7u * 3 + 1);
  EXPECT_EQ(point[14].light, Light::On);
  EXPECT_EQ(point[14].polygon, cellLayout(67, 26, 4).geometry.map(3 * cw, kDesign[7]));
  const auto colon = walk(67, 26, 4, "12:3");
  EXPECT_EQ(colon[14].polygon[0].y, cellLayout(67, 26, 4).geometry.map(0, kDesign[9])[0].y);
  EXPECT_LT(colon[14].polygon[0].y, colon[15].polygon[0].y);
}

TEST(SegmentDisplay, NothingForNoCellsOrNoRoom) {
  EXPECT_TRUE(walk(67, 26, 0, "1234").empty());
  EXPECT_TRUE(walk(0, 26, 4, "1234").empty());
  EXPECT_TRUE(walk(67, 0, 4, "1234").empty());
}

}  // namespace
}  // namespace orben::segments
