#include "panel/segment_display.h"

#include "machine/word_text.h"

namespace orben::segments {

CellLayout cellLayout(int width, int height, int digits) {
  const int mx = static_cast<int>(width * 0.02);
  const int my = static_cast<int>(height * 0.12);
  const int cw = digits > 0 ? (width - mx) / digits : 0;
  return {mx / 2, cw,
          CellGeometry{my / 2, static_cast<float>(cw) / 28.0f,
                       static_cast<float>(height - my) / 35.0f}};
}

std::string paddedText(std::string_view value, int digits, Alignment alignment,
                       bool leading_zeros) {
  int hex_digits = 0;
  for (char c : value) {
    if (HexCharToValue(c) >= 0) ++hex_digits;
  }
  int padding = 0;
  if (alignment == Alignment::Right) {
    padding = digits - hex_digits;
  } else if (alignment == Alignment::Centre) {
    padding = (digits - hex_digits) / 2;
  }
  std::string padded(padding > 0 ? static_cast<std::size_t>(padding) : 0,
                     leading_zeros ? '0' : ' ');
  padded += value;
  return padded;
}

void forEachDigitSegment(const CellGeometry& cell, int x, int digit,
                         const std::function<void(const Polygon&, Light)>& draw) {
  const std::string_view pattern = kPatterns[static_cast<std::size_t>(digit)];
  for (std::size_t s = 0; s < 7; ++s) {
    draw(cell.map(x, kDesign[s]), pattern[s] == '1' ? Light::On : Light::Off);
  }
}

void forEachSegment(int width, int height, int digits, Alignment alignment, bool leading_zeros,
                    std::string_view value,
                    const std::function<void(const Polygon&, Light)>& draw) {
  if (digits <= 0 || width <= 0 || height <= 0) return;
  const CellLayout layout = cellLayout(width, height, digits);
  const auto design = [](Segment s) { return kDesign[static_cast<std::size_t>(s)]; };
  int x = layout.left;
  int drawn = 0;
  for (char ch : paddedText(value, digits, alignment, leading_zeros)) {
    const int digit = HexCharToValue(ch);
    if (digit >= 0) {
      forEachDigitSegment(layout.geometry, x, digit, draw);
      x += layout.width;
      if (++drawn >= digits) break;
    } else if (ch == ' ') {
      x += layout.width;
    } else if (ch == '.' || ch == ',') {
      draw(layout.geometry.map(x, design(Segment::DecimalPoint)), Light::On);
    } else if (ch == ':') {
      draw(layout.geometry.map(x, design(Segment::ColonUpper)), Light::On);
      draw(layout.geometry.map(x, design(Segment::ColonLower)), Light::On);
    }
  }
}

}  // namespace orben::segments
