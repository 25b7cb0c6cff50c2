#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orben::segments {

// A seven-segment display's picture as geometry, for every front end that
// draws one: where the digit cells of a control lie, each segment's
// polygon and which segments a value lights. A digit cell is designed on
// a grid 28 units wide and 35 units high; each segment is a polygon of six
// points in these units (points may repeat).
struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
using Polygon = std::array<Point, 6>;

enum class Segment : std::uint8_t {
  A,  // top
  B,  // upper right
  C,  // lower right
  D,  // bottom
  E,  // lower left
  F,  // upper left
  G,  // middle
  DecimalPoint,
  ColonLower,
  ColonUpper,
};

inline constexpr std::array<Polygon, 10> kDesign = {{
    {{{9, 0}, {9, 0}, {24, 0}, {24, 0}, {20, 4}, {13, 4}}},          // a
    {{{26, 2}, {26, 2}, {26, 14}, {24, 16}, {22, 14}, {22, 6}}},     // b
    {{{26, 20}, {26, 20}, {26, 32}, {22, 28}, {22, 20}, {24, 18}}},  // c
    {{{24, 34}, {24, 34}, {9, 34}, {9, 34}, {13, 30}, {20, 30}}},    // d
    {{{7, 32}, {7, 32}, {7, 20}, {9, 18}, {11, 20}, {11, 28}}},      // e
    {{{7, 14}, {7, 14}, {7, 2}, {11, 6}, {11, 14}, {9, 16}}},        // f
    {{{11, 17}, {13, 15}, {20, 15}, {22, 17}, {20, 19}, {13, 19}}},  // g
    {{{2, 32}, {2, 32}, {5, 32}, {5, 32}, {5, 34}, {2, 34}}},        // decimal point
    {{{2, 22}, {2, 22}, {5, 22}, {5, 22}, {5, 25}, {2, 25}}},        // colon, lower dot
    {{{2, 10}, {2, 10}, {5, 10}, {5, 10}, {5, 13}, {2, 13}}},        // colon, upper dot
}};

// States of segments a..g for the values 0..15 ('1' lit, '0' unlit).
inline constexpr std::array<std::string_view, 16> kPatterns = {
    "1111110", "0110000", "1101101", "1111001", "0110011", "1011011", "1011111", "1110000",
    "1111111", "1111011", "1110111", "0011111", "1001110", "0111101", "1001111", "1000111",
};

// Where one cell's design lands: its top and the design's scales.
struct CellGeometry {
  int y0 = 0;
  float sx = 0;
  float sy = 0;

  // A segment of the cell whose left edge is at x; each coordinate's
  // fraction is dropped.
  Polygon map(int x, const Polygon& design) const {
    Polygon polygon;
    for (std::size_t i = 0; i < design.size(); ++i) {
      polygon[i] = {x + static_cast<int>(static_cast<float>(design[i].x) * sx),
                    y0 + static_cast<int>(static_cast<float>(design[i].y) * sy)};
    }
    return polygon;
  }
};

// 2% of the width and 12% of the height are margins, split evenly on both
// sides; the rest is cut into `digits` cells of equal width, each the 28 by
// 35 units of the design scaled.
struct CellLayout {
  int left = 0;
  int width = 0;
  CellGeometry geometry;
};
CellLayout cellLayout(int width, int height, int digits);

enum class Alignment : std::uint8_t { Left, Right, Centre };
// A segment's colour: the display's lit or unlit segment colour.
enum class Light : std::uint8_t { On, Off };

// The value with the padding its alignment gives it: blanks, or zeros with
// leading zeros, so that its hexadecimal digits fill `digits` cells.
std::string paddedText(std::string_view value, int digits, Alignment alignment, bool leading_zeros);

// The seven segments of `digit` (0..15) in the cell at x, a to g.
void forEachDigitSegment(const CellGeometry& cell, int x, int digit,
                         const std::function<void(const Polygon&, Light)>& draw);

// Every segment of a control of width by height showing `value` (UTF-8),
// in drawing order, left to right: each hexadecimal digit its seven
// segments and one cell; a blank one empty cell; '.' or ',' the decimal
// point of the cell at hand, ':' its colon (upper dot, then lower), both
// lit; any other character nothing and no advance. At most `digits` digits
// are drawn; nothing at all with no digit cells or an empty control.
void forEachSegment(int width, int height, int digits, Alignment alignment, bool leading_zeros,
                    std::string_view value, const std::function<void(const Polygon&, Light)>& draw);

}  // namespace orben::segments
