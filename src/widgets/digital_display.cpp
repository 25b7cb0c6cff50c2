#include "widgets/digital_display.h"
#include "widgets/accessibility.h"
#include "widgets/change_announcer.h"
#include "widgets/focus_frame.h"
#include "widgets/hex_char.h"

#include "panel/segment_display.h"

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

// The segments' geometry is the panel's (segments::), shared with every
// front end that draws a display; here it becomes Qt polygons.
QPolygon qtPolygon(const segments::Polygon& points) {
  QPolygon polygon;
  polygon.reserve(static_cast<int>(points.size()));
  for (const segments::Point& p : points) polygon << QPoint(p.x, p.y);
  return polygon;
}

segments::Alignment segmentAlignment(TDigitalDisplay::DisplayAlignment alignment) {
  switch (alignment) {
    case TDigitalDisplay::Left:
      return segments::Alignment::Left;
    case TDigitalDisplay::Centre:
      return segments::Alignment::Centre;
    case TDigitalDisplay::Right:
      break;
  }
  return segments::Alignment::Right;
}

void drawSegment(QPainter& painter, const QPolygon& polygon, const QColor& color) {
  // Outline and fill, both in the segment's colour.
  painter.setPen(QPen(color, 1));
  painter.setBrush(color);
  painter.drawPolygon(polygon);
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
  return QString::fromStdString(segments::paddedText(value_.toStdString(), digits_,
                                                     segmentAlignment(alignment_), leading_zeros_));
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

  // The walk, left to right.
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  segments::forEachSegment(
      w, h, digits_, segmentAlignment(alignment_), leading_zeros_, value_.toStdString(),
      [&](const segments::Polygon& polygon, segments::Light light) {
        drawSegment(painter, qtPolygon(polygon),
                    light == segments::Light::On ? digit_on_color_ : digit_off_color_);
      });
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
  const segments::CellLayout layout = segments::cellLayout(size.width(), size.height(), digits);
  look->cell_width = layout.width;
  for (int digit = 0; digit < 16; ++digit) {
    QImage image(look->cell_width, size.height(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    segments::forEachDigitSegment(
        layout.geometry, 0, digit, [&](const segments::Polygon& polygon, segments::Light light) {
          drawSegment(painter, qtPolygon(polygon), light == segments::Light::On ? on : off);
        });
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
  int x = segments::cellLayout(width(), height(), digits_).left;
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
