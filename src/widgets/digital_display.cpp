#include "widgets/digital_display.h"
#include "widgets/accessibility.h"
#include "widgets/change_announcer.h"
#include "widgets/focus_frame.h"
#include "widgets/hex_char.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPoint>
#include <QPolygon>

#include <array>
#include <memory>
#include <vector>

namespace orben {

namespace {

// A digit cell is designed on a grid 28 units wide and 35 units high; each
// segment is a polygon of six points in these units (points may repeat).
using SegmentPoints = std::array<QPoint, 6>;

constexpr int kSegmentA = 0;
constexpr int kDecimalPoint = 7;
constexpr int kColonLower = 8;
constexpr int kColonUpper = 9;

const std::array<SegmentPoints, 10> kSegments = {{
    {{{9, 0}, {9, 0}, {24, 0}, {24, 0}, {20, 4}, {13, 4}}},          // a (top)
    {{{26, 2}, {26, 2}, {26, 14}, {24, 16}, {22, 14}, {22, 6}}},     // b (upper right)
    {{{26, 20}, {26, 20}, {26, 32}, {22, 28}, {22, 20}, {24, 18}}},  // c (lower right)
    {{{24, 34}, {24, 34}, {9, 34}, {9, 34}, {13, 30}, {20, 30}}},    // d (bottom)
    {{{7, 32}, {7, 32}, {7, 20}, {9, 18}, {11, 20}, {11, 28}}},      // e (lower left)
    {{{7, 14}, {7, 14}, {7, 2}, {11, 6}, {11, 14}, {9, 16}}},        // f (upper left)
    {{{11, 17}, {13, 15}, {20, 15}, {22, 17}, {20, 19}, {13, 19}}},  // g (middle)
    {{{2, 32}, {2, 32}, {5, 32}, {5, 32}, {5, 34}, {2, 34}}},        // decimal point
    {{{2, 22}, {2, 22}, {5, 22}, {5, 22}, {5, 25}, {2, 25}}},        // colon, lower dot
    {{{2, 10}, {2, 10}, {5, 10}, {5, 10}, {5, 13}, {2, 13}}},        // colon, upper dot
}};

// States of segments a..g for the values 0..15 (1 lit, 0 unlit).
const std::array<const char*, 16> kPatterns = {
    "1111110", "0110000", "1101101", "1111001", "0110011", "1011011", "1011111", "1110000",
    "1111111", "1111011", "1110111", "0011111", "1001110", "0111101", "1001111", "1000111",
};

struct CellGeometry {
  int y0;
  float sx;
  float sy;

  QPolygon map(int x, const SegmentPoints& points) const {
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const QPoint& p : points) {
      // trunc drops the fraction (a conversion to int does exactly that).
      polygon << QPoint(x + static_cast<int>(static_cast<float>(p.x()) * sx),
                        y0 + static_cast<int>(static_cast<float>(p.y()) * sy));
    }
    return polygon;
  }
};

// Where the digit cells of a control lie: 2% of the width and 12% of the
// height are margins, split evenly on both sides; the rest is cut into
// Digits cells of equal width, each the 28 by 35 units of the design scaled.
struct CellLayout {
  int left;
  int width;
  CellGeometry geometry;
};

CellLayout cellLayout(QSize size, int digits) {
  const int mx = static_cast<int>(size.width() * 0.02);
  const int my = static_cast<int>(size.height() * 0.12);
  const int cw = (size.width() - mx) / digits;
  return {mx / 2, cw,
          CellGeometry{my / 2, static_cast<float>(cw) / 28.0f,
                       static_cast<float>(size.height() - my) / 35.0f}};
}

void drawSegment(QPainter& painter, const QPolygon& polygon, const QColor& color) {
  // Outline and fill, both in the segment's colour.
  painter.setPen(QPen(color, 1));
  painter.setBrush(color);
  painter.drawPolygon(polygon);
}

// The seven segments of `digit` in the cell at x, lit or unlit.
void drawDigit(QPainter& painter, const CellGeometry& cell, int x, int digit, const QColor& on,
               const QColor& off) {
  const char* pattern = kPatterns[static_cast<std::size_t>(digit)];
  for (int s = kSegmentA; s < kSegmentA + 7; ++s) {
    drawSegment(painter, cell.map(x, kSegments[static_cast<std::size_t>(s)]),
                pattern[s] == '1' ? on : off);
  }
}

}  // namespace

TDigitalDisplay::TDigitalDisplay(QWidget* parent) : QWidget(parent) {
  // The control paints its whole area itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(kDefaultWidth, kDefaultHeight);
  installAccessibleWidgets();
  announcer_ = new ChangeAnnouncer(
      this, [this] { return QVariant(shownText()); },
      [this] {
        QAccessibleValueChangeEvent event(this, shownText());
        QAccessible::updateAccessibility(&event);
      });
}

void TDigitalDisplay::setValue(const QString& value) {
  if (value == value_) return;
  value_ = value;
  update();
  announcer_->changed();
}

void TDigitalDisplay::setEditing(Editing editing) {
  editing_ = editing;
  setFocusPolicy(editing == Editing::Activate ? Qt::StrongFocus : Qt::NoFocus);
}

void TDigitalDisplay::setDigits(int digits) {
  digits = digits < 0 ? 0 : (digits > 255 ? 255 : digits);
  if (digits == digits_) return;
  digits_ = digits;
  update();
}

void TDigitalDisplay::setAlignment(DisplayAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  update();
}

void TDigitalDisplay::setLeadingZeros(bool on) {
  if (on == leading_zeros_) return;
  leading_zeros_ = on;
  update();
}

void TDigitalDisplay::setBckgndColor(const QColor& color) {
  if (color == bckgnd_color_) return;
  bckgnd_color_ = color;
  update();
}

void TDigitalDisplay::setDigitOnColor(const QColor& color) {
  if (color == digit_on_color_) return;
  digit_on_color_ = color;
  update();
}

void TDigitalDisplay::setDigitOffColor(const QColor& color) {
  if (color == digit_off_color_) return;
  digit_off_color_ = color;
  update();
}

QString TDigitalDisplay::paddedText() const {
  int hex_digits = 0;
  for (QChar ch : value_) {
    if (hexValue(ch) >= 0) ++hex_digits;
  }
  const QChar pad = leading_zeros_ ? QChar(u'0') : QChar(u' ');
  int padding = 0;
  if (alignment_ == Right) {
    padding = digits_ - hex_digits;
  } else if (alignment_ == Centre) {
    padding = (digits_ - hex_digits) / 2;
  }
  return (padding > 0 ? QString(padding, pad) : QString()) + value_;
}

QString TDigitalDisplay::shownText() const {
  // The same walk as the drawing's, keeping what it draws.
  QString shown;
  int drawn = 0;
  for (QChar ch : digits_ > 0 ? paddedText() : QString()) {
    const int digit = hexValue(ch);
    if (digit >= 0) {
      shown += hexDigit(digit);
      if (++drawn >= digits_) break;
    } else if (ch == u'.' || ch == u',') {
      shown += u'.';
    } else if (ch == u':') {
      shown += u':';
    }
  }
  return shown.isEmpty() ? kDarkText : shown;
}

QImage TDigitalDisplay::compose(QSize size) const {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  const int w = size.width();
  const int h = size.height();

  // The whole bitmap in the background colour.
  image.fill(bckgnd_color_);
  if (digits_ <= 0 || w <= 0 || h <= 0) return image;

  // Margins, cell width, start position and scales.
  const CellLayout layout = cellLayout(size, digits_);
  const int cw = layout.width;
  const CellGeometry& cell = layout.geometry;
  int x = layout.left;

  // The walk, left to right.
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  int drawn = 0;
  for (QChar ch : paddedText()) {
    const int digit = hexValue(ch);
    if (digit >= 0) {
      drawDigit(painter, cell, x, digit, digit_on_color_, digit_off_color_);
      x += cw;
      if (++drawn >= digits_) break;
    } else if (ch == u' ') {
      x += cw;
    } else if (ch == u'.' || ch == u',') {
      drawSegment(painter, cell.map(x, kSegments[kDecimalPoint]), digit_on_color_);
    } else if (ch == u':') {
      drawSegment(painter, cell.map(x, kSegments[kColonUpper]), digit_on_color_);
      drawSegment(painter, cell.map(x, kSegments[kColonLower]), digit_on_color_);
    }
    // Any other character: ignored, nothing drawn and no advance.
  }
  return image;
}

namespace {

// The sixteen digit cells of one look (control size, digit count, colours),
// drawn once with the segment geometry and then only copied: a register's
// repaint costs a few image copies instead of 28 polygons. Cells are drawn
// at x 0 and every point is shifted by a whole pixel, so a copy is exactly
// what drawing in place gives.
struct DigitCells {
  QSize size;
  int digits;
  QRgb background, on, off;
  int cell_width;
  std::array<QImage, 16> cells;
};

const DigitCells& digitCells(QSize size, int digits, const QColor& background, const QColor& on,
                             const QColor& off) {
  static std::vector<std::unique_ptr<DigitCells>> looks;
  for (const auto& look : looks) {
    if (look->size == size && look->digits == digits && look->background == background.rgb() &&
        look->on == on.rgb() && look->off == off.rgb()) {
      return *look;
    }
  }
  auto look = std::make_unique<DigitCells>();
  look->size = size;
  look->digits = digits;
  look->background = background.rgb();
  look->on = on.rgb();
  look->off = off.rgb();
  const CellLayout layout = cellLayout(size, digits);
  look->cell_width = layout.width;
  for (int digit = 0; digit < 16; ++digit) {
    QImage image(look->cell_width, size.height(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawDigit(painter, layout.geometry, 0, digit, on, off);
    look->cells[static_cast<std::size_t>(digit)] = image;
  }
  looks.push_back(std::move(look));
  return *looks.back();
}

}  // namespace

bool TDigitalDisplay::composeFromCells(QImage& image) const {
  // Only a value of exactly as many hexadecimal digits as there are cells:
  // no padding, points, colons or blanks.
  if (digits_ <= 0 || value_.size() != digits_ || width() <= 0 || height() <= 0) return false;
  for (QChar ch : value_) {
    if (hexValue(ch) < 0) return false;
  }
  const DigitCells& look =
      digitCells(size(), digits_, bckgnd_color_, digit_on_color_, digit_off_color_);
  if (look.cell_width <= 0) return false;
  if (image.size() != size() || image.format() != QImage::Format_RGB32) {
    image = QImage(size(), QImage::Format_RGB32);
  }
  image.fill(bckgnd_color_);
  QPainter painter(&image);
  int x = cellLayout(size(), digits_).left;
  for (QChar ch : value_) {
    painter.drawImage(x, 0, look.cells[static_cast<std::size_t>(hexValue(ch))]);
    x += look.cell_width;
  }
  return true;
}

void TDigitalDisplay::paintEvent(QPaintEvent* /*event*/) {
  if (!composeFromCells(bitmap_)) bitmap_ = compose(size());
  // Copy the bitmap to the screen at the control's origin.
  QPainter painter(this);
  painter.drawImage(0, 0, bitmap_);
  if (showsChange(*this)) drawChangeFrame(painter, rect());
  if (showsFocus(*this)) drawFocusFrame(painter, rect(), palette());
}

void TDigitalDisplay::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QWidget::mousePressEvent(event);
}

void TDigitalDisplay::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QWidget::mouseReleaseEvent(event);
  if (click) emit clicked();
}

void TDigitalDisplay::keyPressEvent(QKeyEvent* event) {
  // Enter and Space on a display that edits when activated, as on a
  // push-button; a held key opens one edit, not one per repeat.
  const int key = event->key();
  if (editing_ == Editing::Activate && (event->modifiers() & ~Qt::KeypadModifier) == 0 &&
      (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
    event->accept();
    if (!event->isAutoRepeat()) emit clicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TDigitalDisplay::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void TDigitalDisplay::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

}  // namespace orben
